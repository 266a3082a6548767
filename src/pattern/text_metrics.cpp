#include "pattern/text_metrics.h"

namespace nettor {

namespace {

constexpr double kUnitsPerEm = 2048.0;
constexpr double kAscent = 1854.0;
constexpr double kDescent = 434.0;

// Characters 32 (space) to 126 (tilde), thousandths of an em.
constexpr short kWidths[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // ' '..'/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556,                               // 0..9
    278, 278, 584, 584, 584, 556, 1015,                                             // ':'..'@'
    667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833,                // A..M
    722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611,                // N..Z
    278, 278, 278, 469, 556, 333,                                                   // '['..'`'
    556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833,                // a..m
    556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500,                // n..z
    334, 260, 334, 584};                                                            // '{'..'~'

} // namespace

double arialEmForCellHeight(double cellHeight)
{
    return cellHeight * kUnitsPerEm / (kAscent + kDescent);
}

double arialAscentForCellHeight(double cellHeight)
{
    return cellHeight * kAscent / (kAscent + kDescent);
}

double arialTextWidth(const std::string& text, double cellHeight)
{
    double thousandths = 0.0;
    for (unsigned char c : text) thousandths += (c >= 32 && c <= 126) ? kWidths[c - 32] : 556;
    return thousandths / 1000.0 * arialEmForCellHeight(cellHeight);
}

} // namespace nettor
