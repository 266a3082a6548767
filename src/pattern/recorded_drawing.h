#pragma once
// A drawing on a canvas kept for drawing again: the pattern drawn once at a
// zoom, then played back on every repaint of the view, only the pieces of it
// that reach the area being painted. Lines drawn one after another with one
// pen are kept together in runs, so that they can go to the device in one
// call; pens, brushes and fonts selected again unchanged are left out.
#include "pattern/canvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nettor {

struct DeviceBox {
    int left = 0;
    int top = 0;
    int right = -1; // inclusive; right < left for an empty box
    int bottom = -1;

    bool empty() const { return right < left || bottom < top; }
    void add(DevicePoint p);
    // Whether the box, grown by margin on every side, meets other.
    bool meets(const DeviceBox& other, int margin) const;
};

struct RecordedStep {
    enum class Kind : std::uint8_t { Pen, Brush, Font, TransparentBackground, Lines, Polygon, FillPolygon, Text };
    Kind kind = Kind::Lines;
    std::uint32_t index = 0; // Pen, Brush, Font: into their lists; Text: into texts
    std::uint32_t first = 0; // Lines: the first end in points (two a line); polygons: the first corner
    std::uint32_t count = 0; // ends or corners; Text: none, its corner is points[first]
    DeviceBox box;           // what the step covers, without its pen's width
};

struct RecordedDrawing {
    std::vector<RecordedStep> steps;
    std::vector<DevicePoint> points;
    std::vector<Pen> pens;
    std::vector<Brush> brushes;
    std::vector<Font> fonts;
    std::vector<std::string> texts;
    // The widest pen and the tallest or widest text: how far any drawing
    // may reach beyond its step's box.
    int reach = 0;
};

// Records what is drawn on it. Text is measured by the measure function, as
// the device it will be played back on measures it.
class DrawingRecorder : public Canvas {
public:
    using Measure = std::function<TextExtent(const Font&, const std::string&)>;
    // The lines of one run at most, and how far it reaches across and down
    // at most (device units), so that a run covers a small area.
    static constexpr std::uint32_t kLinesPerRun = 256;
    static constexpr std::int64_t kRunSpan = 256;

    DrawingRecorder(double unitsPerCmX, double unitsPerCmY, Measure measure);

    double unitsPerCmX() const override { return unitsPerCmX_; }
    double unitsPerCmY() const override { return unitsPerCmY_; }
    void selectPen(const Pen& pen) override;
    void selectBrush(const Brush& brush) override;
    void selectFont(const Font& font) override;
    Pen currentPen() const override { return pen_; }
    void polygon(const std::vector<DevicePoint>& points) override;
    void fillPolygon(const std::vector<DevicePoint>& points) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void textOut(int x, int y, const std::string& text) override;
    TextExtent textExtent(const std::string& text) const override;
    void setTransparentBackground() override;

    RecordedDrawing take() { return std::move(drawing_); }
    // What this records is played after another drawing, so the device's
    // pen, brush and font are not known to be a fresh device's: the first
    // of each selected is kept even when it is a fresh device's own.
    void followAnother() { penKnown_ = brushKnown_ = fontKnown_ = false; }

private:
    void addPolygon(RecordedStep::Kind kind, const std::vector<DevicePoint>& points);

    double unitsPerCmX_;
    double unitsPerCmY_;
    Measure measure_;
    RecordedDrawing drawing_;
    // As a fresh device has them.
    Pen pen_ = Pen::stockBlack();
    Brush brush_ = Brush::stockWhite();
    Font font_;
    bool penKnown_ = true, brushKnown_ = true, fontKnown_ = true;
    DevicePoint position_;
    bool inRun_ = false; // the last step is a run of lines the next may join
};

// The drawing of first followed by that of second, which was recorded to
// follow another (DrawingRecorder::followAnother).
RecordedDrawing joinRecordings(RecordedDrawing first, const RecordedDrawing& second);

} // namespace nettor
