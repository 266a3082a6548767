#pragma once
// A bitmap file writer for the tests, written from the file layout alone:
// it knows nothing of the reader and produces every variant the reader must
// accept, plus the reference colours each pixel should decode to.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nettor::test {

using Rgb = std::array<std::uint8_t, 3>;

struct BmpSpec {
    int width = 1;
    int height = 1;              // always positive here; topDown stores it negated
    int bits = 24;
    std::uint32_t headerSize = 40;
    bool fileHeader = true;
    bool topDown = false;
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t masks[3] = {0, 0, 0};
    std::uint32_t colorsUsed = 0;  // the header field; the table has this many entries when set
    std::vector<Rgb> palette;      // written as the colour table (for bits <= 8 or colorsUsed)
    // One value per pixel, rows in stored order: a palette index for bits <= 8,
    // the packed pixel for 16 bits and bit fields, 0xRRGGBB otherwise.
    std::vector<std::uint32_t> values;
};

std::string encodeBmp(const BmpSpec& spec);

// The RGB bytes the reader should produce: rows in stored order, 3 per pixel.
std::vector<std::uint8_t> expectedPixels(const BmpSpec& spec);

// A spec with deterministic pseudo-random pixels for the given depth; seed
// varies the picture.
BmpSpec randomBmp(int width, int height, int bits, unsigned seed);

} // namespace nettor::test
