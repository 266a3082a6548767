#pragma once
// Image files written in code for the tests of the image decoding and of
// the materials' textures (PNG, JPEG, TGA and BMP through stb_image_write).
#include <cstdint>
#include <functional>
#include <string>

namespace nettor::test {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
};

// pixel(x, y) gives the colour at column x of row y, the top row being 0.
using PixelAt = std::function<Rgb8(int x, int y)>;

std::string encodePng(int width, int height, const PixelAt& pixel);
std::string encodeJpeg(int width, int height, const PixelAt& pixel);
std::string encodeTga(int width, int height, const PixelAt& pixel);
std::string encodeBmp24(int width, int height, const PixelAt& pixel);

// Writes bytes to a file; false when it cannot be written.
bool writeFile(const std::string& path, const std::string& bytes);

} // namespace nettor::test
