#include "pattern/draw_pattern.h"

#include "pattern/draw_stroke_number.h"
#include "pattern/drawn_marks.h"
#include "pattern/face_image_fill.h"
#include "pattern/flap_geometry.h"
#include "pattern/line_classification.h"
#include "pattern/page_grid.h"
#include "pattern/pattern_walk.h"
#include "pattern/sheet_coordinates.h"

#include <climits>
#include <cmath>
#include <exception>
#include <string>
#include <system_error>
#include <thread>

namespace nettor {

int toDeviceUnits(double value)
{
    if (!(value == value)) return 0; // NaN
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

constexpr double kCmPerPoint = 0.035277777777777776;

struct Device {
    Canvas& dc;
    double upcX, upcY, originX, originY;

    DevicePoint at(SheetPoint p) const
    {
        return {toDeviceUnits(originX + upcX * p.x), toDeviceUnits(originY + upcY * p.y)};
    }
    DeviceSpot spot(SheetPoint p) const { return {originX + upcX * p.x, originY + upcY * p.y}; }
    void line(SheetPoint a, SheetPoint b) const
    {
        const DevicePoint da = at(a), db = at(b);
        dc.moveTo(da.x, da.y);
        dc.lineTo(db.x, db.y);
    }
};

void drawPageMarks(Canvas& dc, const Model& model, double upcX, double upcY)
{
    dc.selectPen(Pen::solid(5, kBlack));
    const PageGrid grid = pageGrid(model);
    auto stroke = [&](double x0, double y0, double x1, double y1) {
        dc.moveTo(toDeviceUnits(upcX * x0), toDeviceUnits(upcY * y0));
        dc.lineTo(toDeviceUnits(upcX * x1), toDeviceUnits(upcY * y1));
    };
    const double left = kSheetMarginCm, right = kPageWidthCm - kSheetMarginCm;
    const double top = kSheetMarginCm, bottom = kPageHeightCm - kSheetMarginCm;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const double gx = column * kPageWidthCm, gy = row * kPageHeightCm;
            // Each cross reaches 1 cm towards the nearer page edge and 2 cm
            // into the page.
            for (const double cx : {left, right}) {
                for (const double cy : {top, bottom}) {
                    const double sx = cx == left ? 1.0 : -1.0;
                    const double sy = cy == top ? 1.0 : -1.0;
                    stroke(gx + cx - sx, gy + cy, gx + cx + 2 * sx, gy + cy);
                    stroke(gx + cx, gy + cy - sy, gx + cx, gy + cy + 2 * sy);
                }
            }
        }
    }
}

void drawFlaps(const Model& model, const Settings& settings, const Device& device, DrawnMarks& marks)
{
    const double h = flapHeightCm(model, settings);
    std::vector<DevicePoint> points; // one flap's, its room kept for the next
    forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
        if (!takeFlap(side, settings, marks)) return;
        const auto outline = flapOutline(sheetPoint(model, part, *side.point),
                                         sheetPoint(model, part, *side.next->point), h);
        if (!outline) return;
        points.clear();
        for (const SheetPoint& p : *outline) points.push_back(device.at(p));
        device.dc.selectBrush(Brush::stockWhite());
        device.dc.fillPolygon(points);
        device.dc.selectPen(Pen::stockBlack());
        device.dc.moveTo(points[0].x, points[0].y);
        for (int i = 1; i < 4; ++i) device.dc.lineTo(points[i].x, points[i].y);
    });
}

std::uint8_t colorComponent(float value)
{
    const double scaled = std::trunc(static_cast<double>(value) * 255.0);
    if (!(scaled > 0.0)) return 0;
    if (scaled > 255.0) return 255;
    return static_cast<std::uint8_t>(scaled);
}

const Material* faceMaterial(const Face& face)
{
    if (!face.object || face.materialIndex < 0) return nullptr;
    const auto index = static_cast<std::size_t>(face.materialIndex);
    return index < face.object->materials.size() ? &face.object->materials[index] : nullptr;
}

void drawFaces(const Model& model, const Settings& settings, const Device& device)
{
    std::vector<DevicePoint> points; // one face's, its room kept for the next
    for (const auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face) continue;
            points.clear();
            bool placed = true;
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                if (!h || !h->point) {
                    placed = false;
                    break;
                }
                points.push_back(device.at(sheetPoint(model, *part, *h->point)));
            }
            if (!placed || points.empty()) continue;
            const Material* material = settings.colorMode ? faceMaterial(*face) : nullptr;
            if (material) {
                const Color c{colorComponent(material->ambient[0]),
                              colorComponent(material->ambient[1]),
                              colorComponent(material->ambient[2])};
                device.dc.selectBrush(Brush::solid(c));
                device.dc.selectPen(Pen::solid(1, c));
            } else {
                device.dc.selectBrush(Brush::stockWhite());
                device.dc.selectPen(Pen::stockWhite());
            }
            device.dc.polygon(points);
        }
    }
}

// Faces whose material has an image are filled with it over their colour.
// The image reaches past the face's cut lines, except where a flap drawn
// before lies, and a little over its folds.
void drawFaceImages(const Model& model, const Device& device, const DrawnMarks& marks)
{
    const double unitsPerMm = 0.1 * std::sqrt(device.upcX * device.upcY);
    for (const auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face || !printedImage(*face)) continue;
            std::vector<DeviceSpot> corners;
            std::vector<double> reach;
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                if (!h || !h->point || !h->next || !h->next->point || !h->edge) break;
                corners.push_back(device.spot(sheetPoint(model, *part, *h->point)));
                const Edge& e = *h->edge;
                const bool outline = e.edgeId != -1 || !e.halfEdge1 || !e.halfEdge2;
                reach.push_back((outline && !marks.hasFlap(*h) ? kImageBleedMm : kImageSeamMm) * unitsPerMm);
            }
            fillFaceWithImage(device.dc, *face, corners, reach);
        }
    }
}

Pen foldPen(FoldLineStyle style)
{
    switch (style) {
    case FoldLineStyle::Dot: return Pen::dotted(1, kBlack);
    case FoldLineStyle::None: return Pen::null();
    case FoldLineStyle::Line: break;
    }
    return Pen::solid(1, kBlack);
}

void drawLines(const Model& model, const Settings& settings, const Device& device, DrawnMarks& marks)
{
    marks.clearDrawn();
    const Pen cutPen = Pen::solid(1, kBlack);
    const Pen ridgePen = foldPen(foldLineStyle(LineKind::Ridge, settings));
    const Pen valleyPen = foldPen(foldLineStyle(LineKind::Valley, settings));
    forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
        const LineKind kind = classifyLine(side, settings, marks);
        if (kind == LineKind::Skip) return;
        device.dc.selectPen(kind == LineKind::Cut     ? cutPen
                            : kind == LineKind::Ridge ? ridgePen
                                                      : valleyPen);
        device.line(sheetPoint(model, part, *side.point),
                    sheetPoint(model, part, *side.next->point));
        marks.markDrawn(*side.edge);
    });
}

void drawNumbers(const Model& model, const Settings& settings, const Device& device, int fontHeight)
{
    Canvas& dc = device.dc;
    dc.setTransparentBackground();
    dc.selectPen(Pen::solid(2, kBlack));
    forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
        const Edge& e = *side.edge;
        if (e.edgeId == -1) return;
        const SheetPoint p0 = sheetPoint(model, part, *side.point);
        const SheetPoint p1 = sheetPoint(model, part, *side.next->point);
        const double length = std::hypot(p1.x - p0.x, p1.y - p0.y);
        if (!(length > 0.0)) return; // a side of no length has no direction to follow
        const double c = (p1.x - p0.x) / length;
        const double s = (p1.y - p0.y) / length;
        const SheetPoint m{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
        double e10 = std::asin(s) * 572.9577951289617;
        if (p1.x - p0.x > 0) e10 = 1800 - e10;
        if (settings.useOriginalFont) {
            drawStrokeNumber(dc, e.edgeId, device.upcY * settings.edgeIdFontSize * 0.02822222222222222,
                             device.originX + device.upcX * m.x, device.originY + device.upcY * m.y,
                             e10 * 0.1);
        } else {
            Font font;
            font.faceName = "Arial";
            font.height = fontHeight;
            font.escapement = toDeviceUnits(e10);
            dc.selectFont(font);
            const std::string text = std::to_string(e.edgeId);
            const TextExtent extent = dc.textExtent(text);
            const double g = extent.height * 1.1 / device.upcY;
            const SheetPoint ref{m.x + extent.width * c / (2 * device.upcX) - g * s,
                                 m.y + extent.width * s / (2 * device.upcX) + g * c};
            const DevicePoint at = device.at(ref);
            dc.textOut(at.x, at.y, text);
        }
    });
}

// What comes before the lines: page marks, flaps, faces and their images.
// The flaps' decisions are left in marks.
void drawBeforeLines(const Model& model, const Settings& settings, const Device& device, OutputTarget target,
                     int pageCount, DrawnMarks& marks)
{
    if (target == OutputTarget::Printer && pageCount != 1)
        drawPageMarks(device.dc, model, device.upcX, device.upcY);
    if (settings.createFlaps) drawFlaps(model, settings, device, marks);
    drawFaces(model, settings, device);
    if (settings.printTextures && target != OutputTarget::Screen) drawFaceImages(model, device, marks);
}

// The lines and the numbers, with the flaps' decisions in marks.
void drawLinesAndNumbers(const Model& model, const Settings& settings, const Device& device, DrawnMarks& marks)
{
    const int fontHeight = toDeviceUnits(device.upcY * settings.edgeIdFontSize * kCmPerPoint);
    drawLines(model, settings, device, marks);
    if (settings.showEdgeIds && fontHeight > 2) drawNumbers(model, settings, device, fontHeight);
}

} // namespace

void drawPattern(const Model& model, const Settings& settings, Canvas& dc, double unitsPerCmX,
                 double unitsPerCmY, OutputTarget target, double originX, double originY,
                 int pageCount)
{
    const Pen previousPen = dc.currentPen();
    const Device device{dc, unitsPerCmX, unitsPerCmY, originX, originY};
    DrawnMarks marks(model);
    drawBeforeLines(model, settings, device, target, pageCount, marks);
    drawLinesAndNumbers(model, settings, device, marks);
    dc.selectPen(previousPen);
}

RecordedDrawing recordPattern(const Model& model, const Settings& settings, double unitsPerCmX,
                              double unitsPerCmY, OutputTarget target, double originX, double originY,
                              const DrawingRecorder::Measure& measure, int facesForTwoThreads)
{
    DrawingRecorder before(unitsPerCmX, unitsPerCmY, nullptr), after(unitsPerCmX, unitsPerCmY, measure);
    after.followAnother();
    const Pen previousPen = before.currentPen();
    std::exception_ptr failure;
    auto drawBefore = [&] {
        try {
            DrawnMarks marks(model);
            drawBeforeLines(model, settings, Device{before, unitsPerCmX, unitsPerCmY, originX, originY}, target, 1,
                            marks);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    // The first half reads the model only and measures no text: it goes to
    // a second thread, while this one chooses the flaps again (the lines
    // need their decisions) and draws the lines and numbers.
    {
        std::jthread helper; // joined when this block is left, whatever this half throws
        if (model.faceCount >= facesForTwoThreads && std::thread::hardware_concurrency() >= 2) {
            try {
                helper = std::jthread(drawBefore);
            } catch (const std::system_error&) {
                // No thread to be had: all on this one.
            }
        }
        if (!helper.joinable()) drawBefore();
        DrawnMarks marks = chooseFlaps(model, settings);
        drawLinesAndNumbers(model, settings, Device{after, unitsPerCmX, unitsPerCmY, originX, originY}, marks);
        after.selectPen(previousPen);
    }
    if (failure) std::rethrow_exception(failure);
    return joinRecordings(before.take(), after.take());
}

} // namespace nettor
