#pragma once
// Windows bitmap files written from RGB pixels: a 14-byte file header, a
// 40-byte bitmap header, no colour table and bottom-up rows of
// ((width x bits + 31) / 32) x 4 bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace nettor {

// Bytes of one stored row, padding included.
std::uint64_t bitmapRowBytes(std::int64_t width, int bits);

// The file for a width x height picture given as RGB bytes, top row first
// (3 per pixel, no padding), stored with 24 or 32 bits per pixel. Empty when
// the sizes do not match the pixels or the depth is not 24 or 32.
std::string encodeBitmapFile(std::int32_t width, std::int32_t height, const std::vector<std::uint8_t>& rgbTopDown,
                             int bits = 32);

} // namespace nettor
