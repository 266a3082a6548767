#include "support/bmp_encoder.h"

#include <bit>

namespace nettor::test {

namespace {

void put16(std::string& s, std::uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::uint32_t at(const BmpSpec& spec, int x, int y) { return spec.values[std::size_t(y) * spec.width + x]; }

std::string packedRows(const BmpSpec& spec)
{
    std::string out;
    for (int y = 0; y < spec.height; ++y) {
        std::string row;
        std::uint32_t acc = 0;
        int accBits = 0;
        for (int x = 0; x < spec.width; ++x) {
            const std::uint32_t v = at(spec, x, y);
            if (spec.bits < 8) {
                acc = (acc << spec.bits) | v;
                accBits += spec.bits;
                if (accBits == 8) {
                    row.push_back(char(acc));
                    acc = 0;
                    accBits = 0;
                }
            } else if (spec.bits == 8) {
                row.push_back(char(v));
            } else if (spec.bits == 16) {
                put16(row, v);
            } else if (spec.bits == 24) {
                row.push_back(char(v & 0xFF));         // blue
                row.push_back(char((v >> 8) & 0xFF));  // green
                row.push_back(char((v >> 16) & 0xFF)); // red
            } else if (spec.compression == 3) {
                put32(row, v);
            } else {
                row.push_back(char(v & 0xFF));
                row.push_back(char((v >> 8) & 0xFF));
                row.push_back(char((v >> 16) & 0xFF));
                row.push_back(char(0x5A)); // unused byte, must be ignored
            }
        }
        if (accBits > 0) row.push_back(char(acc << (8 - accBits)));
        while (row.size() % 4) row.push_back(char(0));
        out += row;
    }
    return out;
}

// Run-length data: runs where neighbours repeat, literal groups elsewhere,
// end of line after each row but the last, end of bitmap after the last.
std::string runLengthRows(const BmpSpec& spec)
{
    const bool nibbles = spec.compression == 2;
    std::string out;
    for (int y = 0; y < spec.height; ++y) {
        int x = 0;
        while (x < spec.width) {
            int run = 1;
            while (x + run < spec.width && run < 255 && at(spec, x + run, y) == at(spec, x, y)) ++run;
            if (run >= 2 || spec.width - x < 3) {
                const std::uint32_t v = at(spec, x, y);
                out.push_back(char(run));
                out.push_back(char(nibbles ? (v << 4) | v : v));
                x += run;
                continue;
            }
            int lit = 0;
            while (x + lit < spec.width && lit < 254 &&
                   !(x + lit + 1 < spec.width && at(spec, x + lit + 1, y) == at(spec, x + lit, y)))
                ++lit;
            if (lit < 3) lit = std::min(3, spec.width - x);
            out.push_back(char(0));
            out.push_back(char(lit));
            std::string bytes;
            for (int i = 0; i < lit; ++i) {
                const std::uint32_t v = at(spec, x + i, y);
                if (!nibbles) bytes.push_back(char(v));
                else if (i % 2 == 0) bytes.push_back(char(v << 4));
                else bytes.back() = char(bytes.back() | v);
            }
            if (bytes.size() % 2) bytes.push_back(char(0));
            out += bytes;
            x += lit;
        }
        out.push_back(char(0));
        out.push_back(char(y + 1 < spec.height ? 0 : 1));
    }
    return out;
}

std::uint8_t scaleChannel(std::uint32_t v, std::uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t c = (v & mask) >> shift;
    return std::uint8_t((c * 255 + max / 2) / max);
}

} // namespace

std::string encodeBmp(const BmpSpec& spec)
{
    std::string header;
    std::size_t tableEntries = spec.colorsUsed;
    if (tableEntries == 0 && spec.bits <= 8) tableEntries = std::size_t(1) << spec.bits;
    if (spec.headerSize == 12) {
        put32(header, 12);
        put16(header, std::uint32_t(spec.width));
        put16(header, std::uint32_t(spec.height));
        put16(header, 1);
        put16(header, std::uint32_t(spec.bits));
    } else {
        put32(header, 40);
        put32(header, std::uint32_t(spec.width));
        put32(header, std::uint32_t(spec.topDown ? -spec.height : spec.height));
        put16(header, 1);
        put16(header, std::uint32_t(spec.bits));
        put32(header, spec.compression);
        put32(header, 0); // image size: may be 0 for uncompressed data
        put32(header, 2835);
        put32(header, 2835);
        put32(header, spec.colorsUsed);
        put32(header, 0);
        if (spec.compression == 3)
            for (std::uint32_t m : spec.masks) put32(header, m);
    }
    for (std::size_t i = 0; i < tableEntries; ++i) {
        const Rgb c = i < spec.palette.size() ? spec.palette[i] : Rgb{0, 0, 0};
        header.push_back(char(c[2]));
        header.push_back(char(c[1]));
        header.push_back(char(c[0]));
        if (spec.headerSize != 12) header.push_back(char(0));
    }
    const std::string pixels = spec.compression == 1 || spec.compression == 2 ? runLengthRows(spec) : packedRows(spec);
    if (!spec.fileHeader) return header + pixels;
    std::string file = "BM";
    put32(file, std::uint32_t(14 + header.size() + pixels.size()));
    put32(file, 0);
    put32(file, std::uint32_t(14 + header.size()));
    return file + header + pixels;
}

std::vector<std::uint8_t> expectedPixels(const BmpSpec& spec)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : spec.values) {
        Rgb c{0, 0, 0};
        if (spec.bits <= 8) {
            if (v < spec.palette.size() && (spec.colorsUsed == 0 || v < spec.colorsUsed)) c = spec.palette[v];
        } else if (spec.compression == 3) {
            c = {scaleChannel(v, spec.masks[0]), scaleChannel(v, spec.masks[1]), scaleChannel(v, spec.masks[2])};
        } else if (spec.bits == 16) {
            c = {scaleChannel(v, 0x7C00), scaleChannel(v, 0x03E0), scaleChannel(v, 0x001F)};
        } else {
            c = {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
        }
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

BmpSpec randomBmp(int width, int height, int bits, unsigned seed)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    std::uint32_t state = seed * 2654435761u + 12345u;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    if (bits <= 8) {
        const std::uint32_t colours = 1u << bits;
        for (std::uint32_t i = 0; i < colours; ++i)
            spec.palette.push_back({std::uint8_t(next()), std::uint8_t(next()), std::uint8_t(next())});
    }
    for (int i = 0; i < width * height; ++i) {
        std::uint32_t v = next();
        if (bits <= 8) v %= (1u << bits);
        else if (bits == 16) v &= 0x7FFF;
        else v &= 0xFFFFFF;
        // Repeat some neighbours so run-length forms get runs as well as literals.
        if (i > 0 && (next() % 3 == 0)) v = spec.values.back();
        spec.values.push_back(v);
    }
    return spec;
}

} // namespace nettor::test
