#include "formats/svg_canvas.h"

#include "pattern/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace nettor {

namespace {
constexpr double kDotDashCm = 0.14;
constexpr double kMinStrokeCm = 0.035; // one PostScript unit of the EPS files
}

std::string svgColor(Color c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
}

std::string svgEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

SvgCanvas::SvgCanvas(double widthCm, double heightCm, double unitsPerCm)
    : widthCm_(widthCm), heightCm_(heightCm), unitsPerCm_(unitsPerCm > 0 ? unitsPerCm : 100.0)
{
}

void SvgCanvas::selectPen(const Pen& pen)
{
    if (!(pen == pen_)) flushPath();
    pen_ = pen;
}

std::string SvgCanvas::strokeAttributes(const Pen& pen) const
{
    if (pen.style == PenStyle::Null) return " stroke=\"none\"";
    std::ostringstream a;
    const double width = std::max<double>(pen.width, kMinStrokeCm * unitsPerCm_);
    a << " stroke=\"" << svgColor(pen.color) << "\" stroke-width=\"" << width << "\"";
    if (pen.style == PenStyle::Dot) {
        const double dash = kDotDashCm * unitsPerCm_;
        a << " stroke-dasharray=\"" << dash << " " << dash << "\"";
    }
    return a.str();
}

void SvgCanvas::polygonElement(const std::vector<DevicePoint>& points, bool outlined)
{
    flushPath();
    if (points.empty()) return;
    body_ << "<polygon points=\"";
    for (std::size_t i = 0; i < points.size(); ++i)
        body_ << (i ? " " : "") << points[i].x << "," << points[i].y;
    body_ << "\" fill=\"" << svgColor(brush_.color) << "\""
          << (outlined ? strokeAttributes(pen_) : std::string(" stroke=\"none\"")) << "/>\n";
}

void SvgCanvas::polygon(const std::vector<DevicePoint>& points) { polygonElement(points, true); }

void SvgCanvas::fillPolygon(const std::vector<DevicePoint>& points)
{
    polygonElement(points, false);
}

void SvgCanvas::moveTo(int x, int y) { position_ = {x, y}; }

void SvgCanvas::lineTo(int x, int y)
{
    if (pen_.style != PenStyle::Null) {
        if (!pathOpen_) {
            path_.str({});
            pathOpen_ = true;
            path_ << "M" << position_.x << " " << position_.y;
        } else if (!(pathEnd_ == position_)) {
            path_ << "M" << position_.x << " " << position_.y;
        }
        path_ << "L" << x << " " << y;
        pathEnd_ = {x, y};
    }
    position_ = {x, y};
}

void SvgCanvas::flushPath()
{
    if (!pathOpen_) return;
    body_ << "<path d=\"" << path_.str() << "\" fill=\"none\"" << strokeAttributes(pen_)
          << " stroke-linecap=\"butt\"/>\n";
    pathOpen_ = false;
}

void SvgCanvas::textOut(int x, int y, const std::string& text)
{
    flushPath();
    const double em = arialEmForCellHeight(font_.height);
    const double ascent = arialAscentForCellHeight(font_.height);
    // The escapement turns counter-clockwise on the device, whose y axis
    // points down, so SVG's rotation angle is its negative.
    body_ << "<text transform=\"translate(" << x << " " << y << ") rotate(" << -font_.escapement / 10.0
          << ")\" x=\"0\" y=\"" << ascent << "\" font-family=\"" << svgEscape(font_.faceName)
          << ", Liberation Sans, sans-serif\" font-size=\"" << em << "\" fill=\"#000000\">"
          << svgEscape(text) << "</text>\n";
}

TextExtent SvgCanvas::textExtent(const std::string& text) const
{
    return {static_cast<int>(std::lround(arialTextWidth(text, font_.height))), font_.height};
}

void SvgCanvas::beginGroup(const std::string& id, const std::string& layerLabel)
{
    flushPath();
    body_ << "<g id=\"" << svgEscape(id) << "\"";
    if (!layerLabel.empty()) {
        layers_ = true;
        body_ << " inkscape:groupmode=\"layer\" inkscape:label=\"" << svgEscape(layerLabel) << "\"";
    }
    body_ << ">\n";
}

void SvgCanvas::endGroup()
{
    flushPath();
    body_ << "</g>\n";
}

std::string SvgCanvas::document()
{
    flushPath();
    std::ostringstream out;
    const double w = widthCm_ * unitsPerCm_, h = heightCm_ * unitsPerCm_;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\""
        << (layers_ ? " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"" : "")
        << " version=\"1.1\" width=\"" << widthCm_
        << "cm\" height=\"" << heightCm_ << "cm\" viewBox=\"0 0 " << w << " " << h << "\">\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << w << "\" height=\"" << h << "\" fill=\"#ffffff\"/>\n"
        << body_.str() << "</svg>\n";
    return out.str();
}

} // namespace nettor
