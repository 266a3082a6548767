#pragma once
// Texture images of the common formats (PNG, JPEG, TGA, BMP, GIF; of GIF the
// first frame) decoded into the RGB rows of a TextureImage, bottom row
// first like every texture image of the model. Any size is taken up to the
// limits below, which are checked on the header before any pixel memory is
// taken.
#include "model/mesh.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace nettor {

inline constexpr std::int32_t maxImageSide = 16384;
inline constexpr std::uint64_t maxImageBytes = std::uint64_t(256) << 20; // decoded, 4 bytes a pixel

enum class ImageError {
    None,
    CannotOpen,   // the file cannot be read
    Unrecognised, // not an image of a known format
    TooLarge,     // beyond maxImageSide or maxImageBytes
    Damaged,      // the decoder gave up on the contents
};

struct DecodedImage {
    ImageError error = ImageError::None;
    std::string message; // what went wrong, for the user; empty on success
    std::unique_ptr<TextureImage> image;
};

// Decodes the bytes of an image file. The image keeps the bytes as its
// encoded form; source is left empty.
DecodedImage decodeImage(std::string_view bytes);

// Reads and decodes an image file; the image's source is the path.
DecodedImage loadImageFile(const std::string& path);

// Width and height as the header gives them, without decoding; false when
// the bytes are no image of a known format.
bool imageHeaderSize(std::string_view bytes, std::int32_t& width, std::int32_t& height);

// The largest single block the decoder library has asked for since the
// last reset (for tests of the size limits).
std::size_t largestDecoderAllocation();
void resetDecoderAllocationRecord();

} // namespace nettor
