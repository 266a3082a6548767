#include "unfold/placement.h"

#include <cmath>

namespace nettor {

PatternPoint placeThirdCorner(const PatternPoint& a, const PatternPoint& b, double dAB, double dBQ,
                              double dQA, bool left)
{
    if (!(dAB > 0.0)) return {a.x + dQA, a.y};
    const double m = (dAB * dAB + dQA * dQA - dBQ * dBQ) / (2.0 * dAB);
    const double square = dQA * dQA - m * m;
    double h = square > 0.0 ? std::sqrt(square) : 0.0;
    if (!left) h = -h;
    const double ux = b.x - a.x;
    const double uy = b.y - a.y;
    return {a.x + (m * ux + h * -uy) / dAB, a.y + (m * uy + h * ux) / dAB};
}

} // namespace nettor
