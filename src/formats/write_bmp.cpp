#include "formats/write_bmp.h"

namespace nettor {

namespace {

void put16(std::string& s, std::uint32_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

} // namespace

std::uint64_t bitmapRowBytes(std::int64_t width, int bits)
{
    if (width <= 0 || bits <= 0) return 0;
    return ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4;
}

std::string encodeBitmapFile(std::int32_t width, std::int32_t height, const std::vector<std::uint8_t>& rgbTopDown,
                             int bits)
{
    if (width <= 0 || height <= 0 || (bits != 24 && bits != 32)) return {};
    if (rgbTopDown.size() != std::size_t(width) * std::size_t(height) * 3) return {};
    const std::uint64_t stride = bitmapRowBytes(width, bits);
    const std::uint64_t imageSize = stride * std::uint64_t(height);
    constexpr std::uint32_t headers = 14 + 40;
    if (imageSize > 0xFFFFFFFFull - headers) return {};

    std::string out;
    out.reserve(std::size_t(headers + imageSize));
    out += "BM";
    put32(out, std::uint32_t(headers + imageSize));
    put16(out, 0);
    put16(out, 0);
    put32(out, headers);
    put32(out, 40);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height)); // positive: bottom row first
    put16(out, 1);
    put16(out, std::uint32_t(bits));
    put32(out, 0); // uncompressed
    put32(out, std::uint32_t(imageSize));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0); // no colour table
    put32(out, 0);
    for (std::int32_t row = height - 1; row >= 0; --row) {
        const std::uint8_t* p = rgbTopDown.data() + std::size_t(row) * std::size_t(width) * 3;
        std::size_t written = 0;
        for (std::int32_t x = 0; x < width; ++x, p += 3) {
            out.push_back(static_cast<char>(p[2]));
            out.push_back(static_cast<char>(p[1]));
            out.push_back(static_cast<char>(p[0]));
            written += 3;
            if (bits == 32) {
                out.push_back(0);
                ++written;
            }
        }
        out.append(std::size_t(stride) - written, '\0');
    }
    return out;
}

} // namespace nettor
