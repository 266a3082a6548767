#include "formats/pages_eps_canvas.h"

#include "pattern/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <locale>

namespace nettor {

namespace {

constexpr int kMinLineUnits = 10;                                 // one point
constexpr double kDashUnits = 1.4 * kEpsCanvasUnitsPerMm;         // 0.14 cm

std::string num(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.4f", std::isfinite(v) ? v : 0.0);
    std::string s = buffer;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string rgb(Color c)
{
    return num(c.r / 255.0) + " " + num(c.g / 255.0) + " " + num(c.b / 255.0);
}

} // namespace

std::string postScriptString(const std::string& text)
{
    std::string out = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return out + ")";
}

EpsCanvas::EpsCanvas(double widthMm, double heightMm) : widthMm_(widthMm), heightMm_(heightMm)
{
    body_.imbue(std::locale::classic());
}

void EpsCanvas::selectPen(const Pen& pen)
{
    if (!(pen == pen_)) flushPath();
    pen_ = pen;
}

void EpsCanvas::strokeState()
{
    std::string state = num(std::max(pen_.width, kMinLineUnits)) + " setlinewidth " +
                        (pen_.style == PenStyle::Dot ? "[" + num(kDashUnits) + " " + num(kDashUnits) + "] 0 setdash "
                                                     : std::string("[] 0 setdash ")) +
                        rgb(pen_.color) + " setrgbcolor";
    if (state != strokeState_) body_ << state << "\n";
    strokeState_ = state;
}

void EpsCanvas::path(const std::vector<DevicePoint>& points)
{
    body_ << "newpath";
    for (std::size_t i = 0; i < points.size(); ++i)
        body_ << " " << points[i].x << " " << points[i].y << (i ? " l" : " m");
    body_ << " closepath\n";
}

void EpsCanvas::polygon(const std::vector<DevicePoint>& points)
{
    flushPath();
    if (points.empty()) return;
    path(points);
    body_ << "gsave " << rgb(brush_.color) << " setrgbcolor fill grestore\n";
    strokeState_.clear();
    if (pen_.style == PenStyle::Null) {
        body_ << "newpath\n";
        return;
    }
    strokeState();
    body_ << "stroke\n";
}

void EpsCanvas::fillPolygon(const std::vector<DevicePoint>& points)
{
    flushPath();
    if (points.empty()) return;
    path(points);
    body_ << rgb(brush_.color) << " setrgbcolor fill\n";
    strokeState_.clear();
}

void EpsCanvas::moveTo(int x, int y) { position_ = {x, y}; }

void EpsCanvas::lineTo(int x, int y)
{
    if (pen_.style != PenStyle::Null) {
        if (!pathOpen_) {
            strokeState();
            body_ << "newpath " << position_.x << " " << position_.y << " m";
            pathOpen_ = true;
        } else if (!(pathEnd_ == position_)) {
            body_ << " " << position_.x << " " << position_.y << " m";
        }
        body_ << " " << x << " " << y << " l";
        pathEnd_ = {x, y};
    }
    position_ = {x, y};
}

void EpsCanvas::flushPath()
{
    if (!pathOpen_) return;
    body_ << " stroke\n";
    pathOpen_ = false;
}

void EpsCanvas::textOut(int x, int y, const std::string& text)
{
    flushPath();
    const double em = arialEmForCellHeight(font_.height);
    const double ascent = arialAscentForCellHeight(font_.height);
    // y grows downwards here, so the text is drawn in a flipped frame and a
    // counter-clockwise escapement turns the other way.
    body_ << "gsave " << x << " " << y << " translate " << num(-font_.escapement / 10.0) << " rotate 1 -1 scale "
          << "/Helvetica findfont " << num(em) << " scalefont setfont 0 0 0 setrgbcolor 0 " << num(-ascent)
          << " moveto " << postScriptString(text) << " show grestore\n";
    strokeState_.clear();
}

TextExtent EpsCanvas::textExtent(const std::string& text) const
{
    return {static_cast<int>(std::lround(arialTextWidth(text, font_.height))), font_.height};
}

std::string EpsCanvas::document()
{
    flushPath();
    const double w = widthMm_ * 72.0 / 25.4, h = heightMm_ * 72.0 / 25.4;
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "%!PS-Adobe-3.0 EPSF-3.0\n"
        << "%%BoundingBox: 0 0 " << static_cast<long>(std::ceil(w)) << " " << static_cast<long>(std::ceil(h)) << "\n"
        << "%%HiResBoundingBox: 0 0 " << num(w) << " " << num(h) << "\n"
        << "%%Creator: Nettor\n"
        << "%%LanguageLevel: 2\n"
        << "%%EndComments\n"
        << "%%BeginProlog\n/m {moveto} bind def /l {lineto} bind def\n%%EndProlog\n"
        << "gsave\n0 " << num(h) << " translate 0.1 -0.1 scale 1 setlinejoin 0 setlinecap\n"
        << body_.str() << "grestore\nshowpage\n%%EOF\n";
    return out.str();
}

} // namespace nettor
