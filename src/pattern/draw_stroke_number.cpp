#include "pattern/draw_stroke_number.h"

#include "pattern/draw_pattern.h"
#include "pattern/stroke_digits.h"

#include <cmath>

namespace nettor {

void drawStrokeNumber(Canvas& dc, int number, double size, double anchorX, double anchorY,
                      double angleDegrees)
{
    const double theta = angleDegrees * -0.01745329252;
    const double cosT = std::cos(theta);
    const double sinT = std::sin(theta);
    for (const DigitStrokes& digit : strokeNumberLayout(number, size)) {
        for (const auto& stroke : digit) {
            bool first = true;
            for (const StrokeOffset& o : stroke) {
                const int x = toDeviceUnits(anchorX + o.u * cosT - o.v * sinT);
                const int y = toDeviceUnits(anchorY + o.v * cosT + o.u * sinT);
                if (first) dc.moveTo(x, y);
                else dc.lineTo(x, y);
                first = false;
            }
        }
    }
}

} // namespace nettor
