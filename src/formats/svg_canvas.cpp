#include "formats/svg_canvas.h"

#include "formats/image_embedding.h"
#include "formats/project_codes.h"
#include "model/mesh.h"
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

void SvgCanvas::outlinePath(const std::vector<std::vector<DeviceSpot>>& outline)
{
    for (const auto& polygon : outline) {
        for (std::size_t i = 0; i < polygon.size(); ++i) body_ << (i ? "L" : "M") << polygon[i].x << " " << polygon[i].y;
        body_ << "Z";
    }
}

void SvgCanvas::imageColourFill(const std::vector<std::vector<DeviceSpot>>& outline, Color colour)
{
    if (outline.empty()) return;
    flushPath();
    body_ << "<path d=\"";
    outlinePath(outline);
    body_ << "\" fill=\"" << svgColor(colour) << "\" stroke=\"none\"/>\n";
}

void SvgCanvas::imageFill(const TextureImage& image, const std::vector<std::vector<DeviceSpot>>& outline,
                          const std::vector<ImageMapping>& mappings)
{
    if (outline.empty() || mappings.empty()) return;
    flushPath();
    auto [at, added] = imageNumbers_.emplace(&image, static_cast<int>(imageNumbers_.size()) + 1);
    if (added) {
        // The image in the unit square of its texture coordinates, v upwards.
        std::string bytes, type = "image/jpeg";
        if (passableJpeg(image)) {
            bytes = image.encoded;
        } else {
            bytes = pngFile(image);
            type = "image/png";
        }
        imageDefinitions_ << "<image id=\"texture-" << at->second
                          << "\" x=\"0\" y=\"0\" width=\"1\" height=\"1\" preserveAspectRatio=\"none\""
                             " transform=\"matrix(1 0 0 -1 0 1)\" xlink:href=\"data:"
                          << type << ";base64," << base64Encode(std::vector<unsigned char>(bytes.begin(), bytes.end()))
                          << "\"/>\n";
    }
    const int clip = ++clipCount_;
    body_ << "<clipPath id=\"face-clip-" << clip << "\"><path d=\"";
    outlinePath(outline);
    body_ << "\"/></clipPath>\n<g clip-path=\"url(#face-clip-" << clip << ")\">\n";
    for (const ImageMapping& m : mappings)
        body_ << "<use xlink:href=\"#texture-" << at->second << "\" transform=\"matrix(" << m.a << " " << m.b << " "
              << m.c << " " << m.d << " " << m.e << " " << m.f << ")\"/>\n";
    body_ << "</g>\n";
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
        << (imageNumbers_.empty() ? "" : " xmlns:xlink=\"http://www.w3.org/1999/xlink\"")
        << " version=\"1.1\" width=\"" << widthCm_
        << "cm\" height=\"" << heightCm_ << "cm\" viewBox=\"0 0 " << w << " " << h << "\">\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << w << "\" height=\"" << h << "\" fill=\"#ffffff\"/>\n";
    if (!imageNumbers_.empty()) out << "<defs>\n" << imageDefinitions_.str() << "</defs>\n";
    out << body_.str() << "</svg>\n";
    return out.str();
}

} // namespace nettor
