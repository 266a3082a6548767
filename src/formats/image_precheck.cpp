#include "formats/image_precheck.h"

#include <cstdint>

namespace nettor {

namespace {

unsigned byteOf(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }

// The codes of one DHT segment's tables, each at most 256 and inside it.
bool huffmanSegmentSound(std::string_view segment)
{
    std::size_t at = 0;
    while (at < segment.size()) {
        if (segment.size() - at < 17) return false;
        unsigned codes = 0;
        for (std::size_t i = 1; i <= 16; ++i) codes += byteOf(segment, at + i);
        if (codes > 256 || segment.size() - at - 17 < codes) return false;
        at += 17 + codes;
    }
    return true;
}

} // namespace

bool jpegTablesSound(std::string_view b)
{
    // The decoder takes any run of 0xFF fill bytes before the start marker.
    std::size_t at = 0;
    while (at < b.size() && byteOf(b, at) == 0xFF) ++at;
    if (at == 0 || at >= b.size() || byteOf(b, at) != 0xD8) return true;
    ++at;
    while (at + 1 < b.size()) {
        if (byteOf(b, at) != 0xFF) { // entropy-coded data between markers
            ++at;
            continue;
        }
        const unsigned marker = byteOf(b, at + 1);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        at += 2;
        // Stuffed bytes, restarts and markers without a segment.
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD9) break;
        if (at + 2 > b.size()) break;
        const std::size_t length = (std::size_t(byteOf(b, at)) << 8) | byteOf(b, at + 1);
        if (length < 2) return marker != 0xC4;
        const std::size_t end = at + length;
        if (marker == 0xC4 && !huffmanSegmentSound(b.substr(at + 2, (end <= b.size() ? end : b.size()) - (at + 2))))
            return false;
        at = end;
    }
    return true;
}

std::optional<std::string> pngWithoutEmptyData(std::string_view b)
{
    if (b.size() < 8 || b.substr(0, 8) != std::string_view("\x89PNG\r\n\x1a\n", 8)) return std::nullopt;
    std::string out(b.substr(0, 8));
    bool dropped = false;
    std::size_t at = 8;
    while (b.size() - at >= 12) {
        const std::uint32_t length = (std::uint32_t(byteOf(b, at)) << 24) | (std::uint32_t(byteOf(b, at + 1)) << 16) |
                                     (std::uint32_t(byteOf(b, at + 2)) << 8) | byteOf(b, at + 3);
        if (length > b.size() - at - 12) break;
        const std::string_view chunk = b.substr(at, 12 + std::size_t(length));
        if (length == 0 && chunk.substr(4, 4) == "IDAT") dropped = true;
        else out.append(chunk);
        at += chunk.size();
    }
    if (!dropped) return std::nullopt;
    out.append(b.substr(at));
    return out;
}

} // namespace nettor
