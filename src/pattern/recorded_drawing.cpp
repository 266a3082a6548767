#include "pattern/recorded_drawing.h"

#include <algorithm>
#include <climits>

namespace nettor {

namespace {

RecordedStep makeStep(RecordedStep::Kind kind, std::size_t index, std::size_t first = 0, std::size_t count = 0)
{
    RecordedStep step;
    step.kind = kind;
    step.index = static_cast<std::uint32_t>(index);
    step.first = static_cast<std::uint32_t>(first);
    step.count = static_cast<std::uint32_t>(count);
    return step;
}

} // namespace

void DeviceBox::add(DevicePoint p)
{
    if (empty()) {
        left = right = p.x;
        top = bottom = p.y;
        return;
    }
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
}

bool DeviceBox::meets(const DeviceBox& other, int margin) const
{
    if (empty() || other.empty()) return false;
    // In 64 bits: device units reach the ends of the integer range.
    const std::int64_t m = margin;
    return std::int64_t{left} - m <= other.right && std::int64_t{right} + m >= other.left &&
           std::int64_t{top} - m <= other.bottom && std::int64_t{bottom} + m >= other.top;
}

DrawingRecorder::DrawingRecorder(double unitsPerCmX, double unitsPerCmY, Measure measure)
    : unitsPerCmX_(unitsPerCmX), unitsPerCmY_(unitsPerCmY), measure_(std::move(measure))
{
}

void DrawingRecorder::selectPen(const Pen& pen)
{
    if (penKnown_ && pen == pen_) return; // the device has it already
    penKnown_ = true;
    pen_ = pen;
    drawing_.steps.push_back(makeStep(RecordedStep::Kind::Pen, drawing_.pens.size()));
    drawing_.pens.push_back(pen);
    drawing_.reach = std::max(drawing_.reach, pen.width + 1);
    inRun_ = false;
}

void DrawingRecorder::selectBrush(const Brush& brush)
{
    if (brushKnown_ && brush == brush_) return;
    brushKnown_ = true;
    brush_ = brush;
    drawing_.steps.push_back(makeStep(RecordedStep::Kind::Brush, drawing_.brushes.size()));
    drawing_.brushes.push_back(brush);
    inRun_ = false;
}

void DrawingRecorder::selectFont(const Font& font)
{
    if (fontKnown_ && font == font_) return;
    fontKnown_ = true;
    font_ = font;
    drawing_.steps.push_back(makeStep(RecordedStep::Kind::Font, drawing_.fonts.size()));
    drawing_.fonts.push_back(font);
    inRun_ = false;
}

void DrawingRecorder::setTransparentBackground()
{
    drawing_.steps.push_back(makeStep(RecordedStep::Kind::TransparentBackground, 0));
    inRun_ = false;
}

void DrawingRecorder::addPolygon(RecordedStep::Kind kind, const std::vector<DevicePoint>& points)
{
    if (points.empty()) return;
    RecordedStep step = makeStep(kind, 0, drawing_.points.size(), points.size());
    for (const DevicePoint& p : points) step.box.add(p);
    drawing_.points.insert(drawing_.points.end(), points.begin(), points.end());
    drawing_.steps.push_back(step);
    inRun_ = false;
}

void DrawingRecorder::polygon(const std::vector<DevicePoint>& points)
{
    addPolygon(RecordedStep::Kind::Polygon, points);
}

void DrawingRecorder::fillPolygon(const std::vector<DevicePoint>& points)
{
    addPolygon(RecordedStep::Kind::FillPolygon, points);
}

void DrawingRecorder::moveTo(int x, int y)
{
    position_ = {x, y};
}

void DrawingRecorder::lineTo(int x, int y)
{
    const DevicePoint from = position_;
    position_ = {x, y};
    if (pen_.style == PenStyle::Null) return;
    // A run ends at its length, or where the line would take it wider or
    // taller than its span.
    bool fits = inRun_ && drawing_.steps.back().count < 2 * kLinesPerRun;
    if (fits) {
        DeviceBox grown = drawing_.steps.back().box;
        grown.add(from);
        grown.add(position_);
        fits = std::int64_t{grown.right} - grown.left <= kRunSpan && std::int64_t{grown.bottom} - grown.top <= kRunSpan;
    }
    if (!fits) {
        drawing_.steps.push_back(makeStep(RecordedStep::Kind::Lines, 0, drawing_.points.size()));
        inRun_ = true;
    }
    RecordedStep& run = drawing_.steps.back();
    drawing_.points.push_back(from);
    drawing_.points.push_back(position_);
    run.count += 2;
    run.box.add(from);
    run.box.add(position_);
}

void DrawingRecorder::textOut(int x, int y, const std::string& text)
{
    // Turned about its corner by any angle, the text stays within its
    // width and height of that corner.
    const TextExtent extent = textExtent(text);
    const int r = std::max(0, extent.width) + std::max(0, extent.height);
    RecordedStep step = makeStep(RecordedStep::Kind::Text, drawing_.texts.size(), drawing_.points.size());
    auto grown = [](int v, int by) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{v} + by, INT_MIN, INT_MAX));
    };
    step.box = {grown(x, -r), grown(y, -r), grown(x, r), grown(y, r)};
    drawing_.points.push_back({x, y});
    drawing_.texts.push_back(text);
    drawing_.steps.push_back(step);
    inRun_ = false;
}

TextExtent DrawingRecorder::textExtent(const std::string& text) const
{
    return measure_ ? measure_(font_, text) : TextExtent{};
}

RecordedDrawing joinRecordings(RecordedDrawing first, const RecordedDrawing& second)
{
    const auto offset = [](std::size_t n) { return static_cast<std::uint32_t>(n); };
    const std::uint32_t points = offset(first.points.size()), pens = offset(first.pens.size()),
                        brushes = offset(first.brushes.size()), fonts = offset(first.fonts.size()),
                        texts = offset(first.texts.size());
    first.steps.reserve(first.steps.size() + second.steps.size());
    for (RecordedStep step : second.steps) {
        switch (step.kind) {
        case RecordedStep::Kind::Pen: step.index += pens; break;
        case RecordedStep::Kind::Brush: step.index += brushes; break;
        case RecordedStep::Kind::Font: step.index += fonts; break;
        case RecordedStep::Kind::TransparentBackground: break;
        case RecordedStep::Kind::Text:
            step.index += texts;
            step.first += points;
            break;
        case RecordedStep::Kind::Lines:
        case RecordedStep::Kind::Polygon:
        case RecordedStep::Kind::FillPolygon: step.first += points; break;
        }
        first.steps.push_back(step);
    }
    first.points.insert(first.points.end(), second.points.begin(), second.points.end());
    first.pens.insert(first.pens.end(), second.pens.begin(), second.pens.end());
    first.brushes.insert(first.brushes.end(), second.brushes.begin(), second.brushes.end());
    first.fonts.insert(first.fonts.end(), second.fonts.begin(), second.fonts.end());
    first.texts.insert(first.texts.end(), second.texts.begin(), second.texts.end());
    first.reach = std::max(first.reach, second.reach);
    return first;
}

} // namespace nettor
