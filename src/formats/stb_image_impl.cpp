// The image decoder library's implementation, compiled once and on its own.
// Its allocations go through counting functions, so that tests can see the
// largest block it ever asked for.
#include "formats/image_decode.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<std::size_t> largestDecoderBlock{0};

void noteBlock(std::size_t size)
{
    std::size_t seen = largestDecoderBlock.load();
    while (size > seen && !largestDecoderBlock.compare_exchange_weak(seen, size)) {
    }
}

void* stbCountedMalloc(std::size_t size)
{
    noteBlock(size);
    return std::malloc(size);
}

void* stbCountedRealloc(void* p, std::size_t size)
{
    noteBlock(size);
    return std::realloc(p, size);
}

} // namespace

#define STBI_MALLOC(sz) stbCountedMalloc(sz)
#define STBI_REALLOC(p, newsz) stbCountedRealloc(p, newsz)
#define STBI_FREE(p) std::free(p)
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace nettor {

std::size_t largestDecoderAllocation() { return largestDecoderBlock.load(); }
void resetDecoderAllocationRecord() { largestDecoderBlock.store(0); }

} // namespace nettor
