#pragma once
// Windows bitmaps (with the "BM" file header or bare) decoded into the RGB
// texture image of a model.
#include "model/mesh.h"
#include "state/ui_listener.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace nettor {

enum class BitmapError {
    None,
    CannotOpen,      // the file cannot be read (or is empty)
    UnknownFormat,   // a bitmap header size other than 12 or 40 bytes
    ConversionError, // damaged, inconsistent or unsupported contents
    OutOfMemory,
};

struct DecodedBitmap {
    BitmapError error = BitmapError::None;
    std::unique_ptr<TextureImage> image; // set exactly when error is None
};

// The largest width and height accepted (and the largest texture size).
inline constexpr std::int32_t maxBitmapSide = 16384;

// Decodes the bytes of a bitmap file. Every header value is checked against
// the data before any pixel memory is taken; the pixel rows keep the order
// the file stores them in (bottom row first for the usual bitmap).
// pixelLimit caps width x height (as if memory ran out beyond it).
DecodedBitmap decodeBitmap(std::string_view bytes,
                           std::uint64_t pixelLimit = std::uint64_t(maxBitmapSide) * maxBitmapSide);

// The text the user is shown for a failure; path fills in the open failure.
std::string bitmapErrorMessage(BitmapError error, const std::string& path);

// Reads and decodes a bitmap file. On failure the user is told why (through
// the reporter, when there is one) and nothing is returned.
std::unique_ptr<TextureImage> loadBitmap(const std::string& path, UiListener* reporter);

} // namespace nettor
