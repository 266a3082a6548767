#pragma once
// A canvas that records every drawing call with the pen, brush and font in
// effect, for tests of drawing decisions.
#include "pattern/canvas.h"

#include <string>
#include <vector>

namespace nettor::test {

struct RecordedLine {
    DevicePoint from, to;
    Pen pen;
};

struct RecordedPolygon {
    std::vector<DevicePoint> points;
    Brush brush;
    Pen pen;      // the outline pen; unused for a fill-only polygon
    bool outlined = false;
};

struct RecordedImageFill {
    const TextureImage* image = nullptr;
    std::vector<std::vector<DeviceSpot>> outline;
    std::vector<ImageMapping> mappings;
};

struct RecordedText {
    DevicePoint at;
    std::string text;
    Font font;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(double unitsPerCm = 100.0) : upc_(unitsPerCm) {}

    double unitsPerCmX() const override { return upc_; }
    double unitsPerCmY() const override { return upc_; }
    void selectPen(const Pen& pen) override { pen_ = pen; }
    void selectBrush(const Brush& brush) override { brush_ = brush; }
    void selectFont(const Font& font) override { font_ = font; }
    Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<DevicePoint>& points) override
    {
        polygons.push_back({points, brush_, pen_, true});
    }
    void fillPolygon(const std::vector<DevicePoint>& points) override
    {
        polygons.push_back({points, brush_, pen_, false});
    }
    void moveTo(int x, int y) override { position_ = {x, y}; }
    void lineTo(int x, int y) override
    {
        lines.push_back({position_, {x, y}, pen_});
        position_ = {x, y};
    }
    void textOut(int x, int y, const std::string& text) override
    {
        texts.push_back({{x, y}, text, font_});
    }
    // Every character is 0.6 of the font height wide.
    TextExtent textExtent(const std::string& text) const override
    {
        return {static_cast<int>(text.size()) * font_.height * 6 / 10, font_.height};
    }
    void setTransparentBackground() override { transparent = true; }
    void imageFill(const TextureImage& image, const std::vector<std::vector<DeviceSpot>>& outline,
                   const std::vector<ImageMapping>& mappings) override
    {
        imageFills.push_back({&image, outline, mappings});
    }
    void imageColourFill(const std::vector<std::vector<DeviceSpot>>& outline, Color colour) override
    {
        colourFills.push_back({outline, colour});
    }

    // Lines drawn with a pen of this style (null-pen lines are recorded too,
    // as a device would receive them).
    std::vector<RecordedLine> linesWith(PenStyle style) const;
    // Lines whose ends are these two points, in either direction.
    std::vector<RecordedLine> linesBetween(DevicePoint a, DevicePoint b) const;

    std::vector<RecordedLine> lines;
    std::vector<RecordedPolygon> polygons;
    std::vector<RecordedText> texts;
    std::vector<RecordedImageFill> imageFills;
    std::vector<std::pair<std::vector<std::vector<DeviceSpot>>, Color>> colourFills;
    bool transparent = false;

private:
    double upc_;
    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    DevicePoint position_;
};

} // namespace nettor::test
