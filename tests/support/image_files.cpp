#include "support/image_files.h"

#include <fstream>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace nettor::test {

namespace {

std::vector<unsigned char> rgbRows(int width, int height, const PixelAt& pixel)
{
    std::vector<unsigned char> rows;
    rows.reserve(std::size_t(width) * std::size_t(height) * 3u);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb8 c = pixel(x, y);
            rows.insert(rows.end(), {c.r, c.g, c.b});
        }
    }
    return rows;
}

void appendTo(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
}

} // namespace

std::string encodePng(int width, int height, const PixelAt& pixel)
{
    const auto rows = rgbRows(width, height, pixel);
    std::string out;
    stbi_write_png_to_func(appendTo, &out, width, height, 3, rows.data(), width * 3);
    return out;
}

std::string encodeJpeg(int width, int height, const PixelAt& pixel)
{
    const auto rows = rgbRows(width, height, pixel);
    std::string out;
    stbi_write_jpg_to_func(appendTo, &out, width, height, 3, rows.data(), 95);
    return out;
}

std::string encodeTga(int width, int height, const PixelAt& pixel)
{
    const auto rows = rgbRows(width, height, pixel);
    std::string out;
    stbi_write_tga_to_func(appendTo, &out, width, height, 3, rows.data());
    return out;
}

std::string encodeBmp24(int width, int height, const PixelAt& pixel)
{
    const auto rows = rgbRows(width, height, pixel);
    std::string out;
    stbi_write_bmp_to_func(appendTo, &out, width, height, 3, rows.data());
    return out;
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(f);
}

} // namespace nettor::test
