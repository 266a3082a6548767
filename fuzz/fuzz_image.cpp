// Fuzz target: the image decoding of the materials' textures (PNG, JPEG,
// TGA, BMP, GIF) on arbitrary bytes. Pictures within the limits but of more
// than four million pixels are left out, so that a header promising a huge
// picture costs a refusal instead of seconds; those beyond the limits are
// decoded, as they must be refused from the header alone.
#include "formats/image_decode.h"
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nettor;
    const std::string_view bytes = fuzz::bytes(data, size);
    std::int32_t width = 0, height = 0;
    if (imageHeaderSize(bytes, width, height)) {
        const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
        const bool withinLimits = width <= maxImageSide && height <= maxImageSide && pixels * 4u <= maxImageBytes;
        if (withinLimits && pixels > (1u << 22)) return 0;
    }
    const DecodedImage d = decodeImage(bytes);
    fuzz::require((d.image != nullptr) == (d.error == ImageError::None));
    fuzz::require(d.image != nullptr || !d.message.empty());
    if (d.image) {
        fuzz::require(d.image->width >= 1 && d.image->width <= maxImageSide);
        fuzz::require(d.image->height >= 1 && d.image->height <= maxImageSide);
        fuzz::require(d.image->pixels.size() == std::size_t(d.image->width) * std::size_t(d.image->height) * 3);
    }
    return 0;
}
