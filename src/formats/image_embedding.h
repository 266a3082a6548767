#pragma once
// Texture images as the PDF and SVG writers embed them: a JPEG file as it
// was read, when its bytes decode to exactly the image's pixels and are of
// a kind every viewer takes; otherwise the pixels themselves, top row first,
// compressed (a zlib stream for PDF, a PNG file for SVG).
#include "model/mesh.h"

#include <optional>
#include <string>
#include <string_view>

namespace nettor {

// Whether the image's encoded bytes decode to exactly its pixels.
bool encodedMatchesPixels(const TextureImage& image);

// The number of colour components (1 or 3) of a baseline or progressive
// JPEG file of 8-bit samples whose three components, if it has three, are
// YCbCr as every reader takes them; none for anything else.
std::optional<int> plainJpegComponents(std::string_view bytes);

// The image's JPEG file and its component count, when it may be embedded
// as it is; none otherwise.
std::optional<int> passableJpeg(const TextureImage& image);

// The pixels as RGB rows, top row first.
std::string rgbRowsTopFirst(const TextureImage& image);

// The bytes in a zlib stream.
std::string zlibStream(std::string_view bytes);

// The image as a PNG file (8-bit RGB).
std::string pngFile(const TextureImage& image);

} // namespace nettor
