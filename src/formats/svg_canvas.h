#pragma once
// A canvas that writes an SVG document. Device units are SVG user units; the
// document is sized in centimetres so that one centimetre of the sheet is one
// centimetre on paper. Text becomes <text> in Arial with its rotation, sized
// by the Arial approximation of text_metrics.h. Dotted pens are dashed
// 0.14 cm on, 0.14 cm off (as the EPS writer's dash of 4 units), and no line
// is drawn thinner than 0.035 cm (the EPS files' line width), so that the
// thin pens of a high-resolution canvas stay visible on paper. Texture
// images are embedded once each among the definitions (a JPEG file as it
// is, else a PNG of the pixels) and laid into each face they fill by a
// transform, inside a clip path of the face.
#include "pattern/canvas.h"

#include <ostream>
#include <sstream>
#include <string>
#include <unordered_map>

namespace nettor {

class SvgCanvas : public Canvas {
public:
    // A white page of widthCm x heightCm at unitsPerCm device units per cm.
    SvgCanvas(double widthCm, double heightCm, double unitsPerCm = 100.0);

    double unitsPerCmX() const override { return unitsPerCm_; }
    double unitsPerCmY() const override { return unitsPerCm_; }
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
    void imageFill(const TextureImage& image, const std::vector<std::vector<DeviceSpot>>& outline,
                   const std::vector<ImageMapping>& mappings) override;
    void imageColourFill(const std::vector<std::vector<DeviceSpot>>& outline, Color colour) override;

    // A group around the marks drawn until endGroup; with a label it is an
    // Inkscape layer of that name.
    void beginGroup(const std::string& id, const std::string& layerLabel = {});
    void endGroup();

    // The complete document.
    std::string document();
    void write(std::ostream& out) { out << document(); }

private:
    void flushPath();
    std::string strokeAttributes(const Pen& pen) const;
    void polygonElement(const std::vector<DevicePoint>& points, bool outlined);
    void outlinePath(const std::vector<std::vector<DeviceSpot>>& outline);

    double widthCm_, heightCm_, unitsPerCm_;
    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    DevicePoint position_;
    std::ostringstream body_;
    std::ostringstream path_; // pending line segments in the current pen
    bool pathOpen_ = false;
    DevicePoint pathEnd_;
    bool layers_ = false; // the document declares the Inkscape namespace
    std::unordered_map<const TextureImage*, int> imageNumbers_; // from 1
    std::ostringstream imageDefinitions_;
    int clipCount_ = 0;
};

// "#rrggbb".
std::string svgColor(Color c);
// Text with &, <, >, " escaped.
std::string svgEscape(const std::string& text);

} // namespace nettor
