#include "model/stable_store.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace nettor {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

void* allocateStoreChunk(std::size_t bytes)
{
    if (bytes >= kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
        if (!p) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
        return p;
    }
    void* p = std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}

void releaseStoreChunk(void* chunk, std::size_t /*bytes*/)
{
    std::free(chunk);
}

} // namespace nettor
