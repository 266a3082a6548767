#include "formats/project_codes.h"

#include <zlib.h>

#include <array>

namespace nettor {

namespace {

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

} // namespace

std::string base64Encode(const std::vector<unsigned char>& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        for (int shift : {18, 12, 6, 0}) out.push_back(kBase64Digits[(v >> shift) & 63]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const unsigned v = (bytes[i] << 16) | (rest > 1 ? bytes[i + 1] << 8 : 0);
        out.push_back(kBase64Digits[(v >> 18) & 63]);
        out.push_back(kBase64Digits[(v >> 12) & 63]);
        out.push_back(rest > 1 ? kBase64Digits[(v >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

std::optional<std::vector<unsigned char>> base64Decode(std::string_view text)
{
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;
    std::vector<unsigned char> out;
    out.reserve(text.size() / 4 * 3 + 2);
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        const int v = base64Value(c);
        if (v < 0) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<unsigned char>((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

// Level 4 packs a large project about as well as the default level 6 (a
// few percent larger) in a quarter of the time.
constexpr int kProjectCompressionLevel = 4;

std::string compressProjectText(const std::string& text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                  static_cast<uLong>(text.size()), kProjectCompressionLevel) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

std::optional<std::string> decompressProjectBytes(std::string_view bytes, std::size_t maxSize, std::string& error)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        error = "The project could not be unpacked.";
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    std::array<char, 1 << 16> chunk{};
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) break;
        const std::size_t produced = chunk.size() - stream.avail_out;
        if (out.size() + produced > maxSize) {
            inflateEnd(&stream);
            error = "The project is larger than this program reads.";
            return std::nullopt;
        }
        out.append(chunk.data(), produced);
        if (result == Z_OK && produced == 0 && stream.avail_in == 0) {
            result = Z_BUF_ERROR; // the stream ends before its end mark
            break;
        }
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        error = result == Z_BUF_ERROR ? "The project file is cut short." : "The project file is damaged.";
        return std::nullopt;
    }
    return out;
}

} // namespace nettor
