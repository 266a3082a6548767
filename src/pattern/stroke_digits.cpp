#include "pattern/stroke_digits.h"

#include <cmath>

namespace nettor {

namespace {

constexpr GlyphPoint up{-1, -1};

// Entries after the last point of a glyph are pen lifts.
const std::array<StrokeDigitGlyph, 10> kGlyphs = {{
    {{{0, 1}, {0, 7}, {1, 8}, {3, 8}, {4, 7}, {4, 1}, {3, 0}, {1, 0}, {0, 1}}},
    {{{1, 1}, {2, 0}, {2, 8}, up, {1, 8}, {3, 8}}},
    {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 3}, {0, 7}, {0, 8}, {4, 8}}},
    {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, up, {3, 4}, {4, 5}, {4, 7}, {3, 8},
      {1, 8}, {0, 7}}},
    {{{4, 6}, {0, 6}, {3, 0}, {3, 8}}},
    {{{0, 0}, {0, 4}, {3, 4}, {4, 5}, {4, 7}, {3, 8}, {0, 8}, up, {0, 1}, {4, 1}}},
    {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 7}, {1, 8}, {3, 8}, {4, 7}, {4, 4}, {3, 3}, {1, 3},
      {0, 4}}},
    {{{0, 2}, {0, 0}, {4, 0}, {2, 8}}},
    {{{0, 1}, {0, 3}, {1, 4}, {0, 5}, {0, 7}, {1, 8}, {3, 8}, {4, 7}, {4, 5}, {3, 4}, {4, 3},
      {4, 1}, {3, 0}, {1, 0}, {0, 1}, up, {1, 4}, {3, 4}}},
    {{{4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 8}}},
}};

// Aggregate initialisation leaves the unlisted entries at their default,
// which is the pen lift (-1, -1).
static_assert(GlyphPoint{}.x == -1 && GlyphPoint{}.y == -1);

} // namespace

const StrokeDigitGlyph& strokeDigitGlyph(int digit)
{
    if (digit < 0 || digit > 9) digit = 0;
    return kGlyphs[static_cast<std::size_t>(digit)];
}

std::vector<DigitStrokes> strokeNumberLayout(int number, double size)
{
    std::vector<DigitStrokes> digits;
    if (number <= 0) return digits;
    const int count = static_cast<int>(std::log10(static_cast<double>(number)) + 1.0);
    if (count <= 0) return digits;
    const double advance = 0.75 * size;
    const double half = count * advance * 0.5;
    const double lift = 1.2 * size;
    int remaining = number;
    for (int i = 1; i <= count; ++i) {
        const int digit = remaining % 10;
        remaining /= 10;
        DigitStrokes strokes;
        bool penDown = false;
        for (const GlyphPoint& p : strokeDigitGlyph(digit)) {
            if (p.isPenLift()) {
                penDown = false;
                continue;
            }
            if (!penDown) strokes.emplace_back();
            penDown = true;
            strokes.back().push_back({(p.x + 1) * size * 0.125 + half - i * advance,
                                      p.y * size * 0.125 - lift});
        }
        digits.push_back(std::move(strokes));
    }
    return digits;
}

} // namespace nettor
