// Fuzz target: the bitmap reader on arbitrary bytes. Images are capped at a
// million pixels so that a header promising a huge run-length picture costs
// a refusal instead of seconds.
#include "formats/read_bmp.h"
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nettor;
    const DecodedBitmap d = decodeBitmap(fuzz::bytes(data, size), 1u << 20);
    fuzz::require((d.image != nullptr) == (d.error == BitmapError::None));
    if (d.image) {
        fuzz::require(d.image->width >= 1 && d.image->width <= maxBitmapSide);
        fuzz::require(d.image->height >= 1 && d.image->height <= maxBitmapSide);
        fuzz::require(d.image->pixels.size() == std::size_t(d.image->width) * std::size_t(d.image->height) * 3);
    }
    return 0;
}
