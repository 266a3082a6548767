#pragma once
// A canvas that writes one page as Encapsulated PostScript at true size.
// Device units are tenths of a PostScript point with the origin at the
// page's top-left corner and y growing downwards. Text is set in Helvetica
// (Arial's metrics, see text_metrics.h); no line is drawn thinner than one
// point, and dotted pens are dashed 0.14 cm on, 0.14 cm off.
#include "pattern/canvas.h"

#include <sstream>
#include <string>

namespace nettor {

inline constexpr double kEpsCanvasUnitsPerMm = 720.0 / 25.4;

class EpsCanvas : public Canvas {
public:
    EpsCanvas(double widthMm, double heightMm);

    double unitsPerCmX() const override { return 10 * kEpsCanvasUnitsPerMm; }
    double unitsPerCmY() const override { return 10 * kEpsCanvasUnitsPerMm; }
    void selectPen(const Pen& pen) override;
    void selectBrush(const Brush& brush) override { brush_ = brush; }
    void selectFont(const Font& font) override { font_ = font; }
    Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<DevicePoint>& points) override;
    void fillPolygon(const std::vector<DevicePoint>& points) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    TextExtent textExtent(const std::string& text) const override;
    void setTransparentBackground() override {}

    std::string document();

private:
    void flushPath();
    void strokeState();
    void path(const std::vector<DevicePoint>& points);

    double widthMm_, heightMm_;
    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    DevicePoint position_;
    std::ostringstream body_;
    bool pathOpen_ = false;
    DevicePoint pathEnd_;
    std::string strokeState_;
};

// Text as a PostScript string literal.
std::string postScriptString(const std::string& text);

} // namespace nettor
