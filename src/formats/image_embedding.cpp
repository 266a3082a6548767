#include "formats/image_embedding.h"

#include "formats/image_decode.h"

#include <zlib.h>

#include <cstring>

namespace nettor {

namespace {

unsigned embeddingByte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }

void appendBigEndian32(std::string& out, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void appendPngChunk(std::string& out, const char* kind, std::string_view data)
{
    appendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(kind, 4);
    out.append(data.data(), data.size());
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(out.size() - start));
    appendBigEndian32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

bool encodedMatchesPixels(const TextureImage& image)
{
    if (image.encoded.empty()) return false;
    const DecodedImage decoded = decodeImage(image.encoded);
    return decoded.image && decoded.image->width == image.width && decoded.image->height == image.height &&
           decoded.image->pixels == image.pixels;
}

std::optional<int> plainJpegComponents(std::string_view b)
{
    if (b.size() < 4 || embeddingByte(b, 0) != 0xFF || embeddingByte(b, 1) != 0xD8) return std::nullopt;
    std::size_t at = 2;
    int adobeTransform = -1; // none given
    while (at + 4 <= b.size()) {
        if (embeddingByte(b, at) != 0xFF) return std::nullopt;
        const unsigned marker = embeddingByte(b, at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const std::size_t length = (embeddingByte(b, at + 2) << 8) | embeddingByte(b, at + 3);
        if (length < 2 || at + 2 + length > b.size()) return std::nullopt;
        const std::string_view segment = b.substr(at + 4, length - 2);
        if (marker == 0xEE && segment.substr(0, 5) == "Adobe")
            adobeTransform = segment.size() >= 12 ? static_cast<int>(embeddingByte(segment, 11)) : 99;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) { // baseline, extended, progressive
            if (segment.size() < 6 || embeddingByte(segment, 0) != 8) return std::nullopt;
            const int components = static_cast<int>(embeddingByte(segment, 5));
            if (components != 1 && components != 3) return std::nullopt;
            // Three components other than YCbCr are read apart by viewers.
            if (components == 3 && adobeTransform != -1 && adobeTransform != 1) return std::nullopt;
            return components;
        }
        if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
            marker == 0xDA)
            return std::nullopt; // lossless or arithmetic coding, or data before the frame header
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<int> passableJpeg(const TextureImage& image)
{
    const std::optional<int> components = plainJpegComponents(image.encoded);
    if (!components || !encodedMatchesPixels(image)) return std::nullopt;
    return components;
}

std::string rgbRowsTopFirst(const TextureImage& image)
{
    const std::size_t row = std::size_t(image.width) * 3u;
    const std::size_t rows = static_cast<std::size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() < row * rows) return {};
    std::string out(row * rows, '\0');
    for (std::size_t y = 0; y < rows; ++y)
        std::memcpy(out.data() + y * row, image.pixels.data() + (rows - 1 - y) * row, row);
    return out;
}

std::string zlibStream(std::string_view bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

std::string pngFile(const TextureImage& image)
{
    const std::string rows = rgbRowsTopFirst(image);
    if (rows.empty()) return {};
    const std::size_t row = std::size_t(image.width) * 3u;
    // Each row behind its filter byte: none.
    std::string filtered;
    filtered.reserve(rows.size() + static_cast<std::size_t>(image.height));
    for (std::size_t at = 0; at < rows.size(); at += row) {
        filtered.push_back('\0');
        filtered.append(rows, at, row);
    }
    std::string header;
    appendBigEndian32(header, static_cast<std::uint32_t>(image.width));
    appendBigEndian32(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter set, no interlace
    std::string out("\x89PNG\r\n\x1a\n", 8);
    appendPngChunk(out, "IHDR", header);
    appendPngChunk(out, "IDAT", zlibStream(filtered));
    appendPngChunk(out, "IEND", {});
    return out;
}

} // namespace nettor
