#include "pattern/pages_drawing.h"

#include "pattern/draw_pattern.h"
#include "pattern/draw_stroke_number.h"
#include "pattern/face_image_fill.h"
#include "pattern/line_classification.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>
#include <vector>

namespace nettor {

namespace {

constexpr double kMmPerPoint = 0.35277777777777778;

struct Device {
    Canvas& dc;
    const LaidOutPiece* piece = nullptr;
    double upm;

    DevicePoint at(MmPoint pageMm) const { return {toDeviceUnits(upm * pageMm.x), toDeviceUnits(upm * pageMm.y)}; }
    DevicePoint local(MmPoint localMm) const { return at(piece->onPage(localMm)); }
    DeviceSpot spot(MmPoint localMm) const
    {
        const MmPoint p = piece->onPage(localMm);
        return {upm * p.x, upm * p.y};
    }
};

const Material* faceMaterial(const Face& face)
{
    if (!face.object || face.materialIndex < 0) return nullptr;
    const auto index = static_cast<std::size_t>(face.materialIndex);
    return index < face.object->materials.size() ? &face.object->materials[index] : nullptr;
}

std::uint8_t component(float value)
{
    const double scaled = std::trunc(static_cast<double>(value) * 255.0);
    if (!(scaled > 0.0)) return 0;
    return scaled > 255.0 ? 255 : static_cast<std::uint8_t>(scaled);
}

Pen foldPen(FoldLineStyle style)
{
    return style == FoldLineStyle::Dot ? Pen::dotted(1, kBlack) : Pen::solid(1, kBlack);
}

bool placedSide(const HalfEdge& side) { return side.edge && side.point && side.next && side.next->point; }

bool flapped(const LaidOutPiece& piece, const HalfEdge& side)
{
    for (const LayoutFlap& flap : piece.flaps)
        if (flap.side == &side) return true;
    return false;
}

// A face whose material has an image is filled with it over its colour. The
// image reaches past the face's cut lines but not onto its flaps, and a
// little over its folds.
void fillWithImage(const PagesLayout& layout, const LaidOutPiece& piece, const Face& face, Device& device)
{
    if (!printedImage(face)) return;
    std::vector<DeviceSpot> corners;
    std::vector<double> reach;
    for (const HalfEdge* side : face.outerLoop.halfEdges) {
        if (!side || !placedSide(*side)) return;
        corners.push_back(device.spot(layout.local(*side->point)));
        const bool cut = !layout.joined(*side) && !flapped(piece, *side);
        reach.push_back((cut ? kImageBleedMm : kImageSeamMm) * device.upm);
    }
    fillFaceWithImage(device.dc, face, corners, reach);
}

// The height in mm of an edge number: the settings' font size, made smaller
// where the side is too short to hold the digits or the face too narrow to
// hold them beside the side, so that numbers never run over one another.
double numberHeightMm(const Settings& settings, int number, double sideMm, double faceInradiusMm)
{
    const double digits = static_cast<double>(std::to_string(number).size());
    const double fromFont = settings.edgeIdFontSize * kMmPerPoint;
    const double fromSide = sideMm * 0.6 / (0.6 * digits);
    const double fromFace = faceInradiusMm * 0.6;
    return std::max(0.0, std::min({fromFont, fromSide, fromFace}));
}

// The radius of the largest circle about the face's centre of area that the
// face holds, near enough: twice its area over its perimeter.
double faceInradiusMm(const std::vector<MmPoint>& polygon)
{
    double area2 = 0.0, perimeter = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const MmPoint& a = polygon[i];
        const MmPoint& b = polygon[(i + 1) % polygon.size()];
        area2 += a.x * b.y - b.x * a.y;
        perimeter += std::hypot(b.x - a.x, b.y - a.y);
    }
    return perimeter > 0.0 ? std::abs(area2) / perimeter : 0.0;
}

void drawNumber(const Settings& settings, Device& device, int number, MmPoint p0, MmPoint p1, double inradiusMm)
{
    Canvas& dc = device.dc;
    const double length = std::hypot(p1.x - p0.x, p1.y - p0.y);
    if (!(length > 0.0)) return;
    const double heightMm = numberHeightMm(settings, number, length, inradiusMm);
    if (!(heightMm > 0.0)) return;
    const double c = (p1.x - p0.x) / length, s = (p1.y - p0.y) / length;
    const MmPoint m{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
    double e10 = std::asin(std::clamp(s, -1.0, 1.0)) * 572.9577951289617;
    if (p1.x - p0.x > 0) e10 = 1800 - e10;
    if (settings.useOriginalFont) {
        drawStrokeNumber(dc, number, device.upm * heightMm * 0.8,
                         device.upm * m.x, device.upm * m.y, e10 * 0.1);
        return;
    }
    Font font;
    font.height = toDeviceUnits(device.upm * heightMm);
    font.escapement = toDeviceUnits(e10);
    dc.selectFont(font);
    const std::string text = std::to_string(number);
    const TextExtent extent = dc.textExtent(text);
    // Centred along the side and set off from it into the face.
    const double g = extent.height * 1.1 / device.upm;
    const MmPoint ref{m.x + extent.width * c / (2 * device.upm) - g * s,
                      m.y + extent.width * s / (2 * device.upm) + g * c};
    const DevicePoint at = device.at(ref);
    dc.textOut(at.x, at.y, text);
}

} // namespace

const char* pageLayerId(PageLayer layer)
{
    switch (layer) {
    case PageLayer::Faces: return "faces";
    case PageLayer::Flaps: return "flaps";
    case PageLayer::ValleyFolds: return "valley-folds";
    case PageLayer::RidgeFolds: return "ridge-folds";
    case PageLayer::CutLines: return "cut-lines";
    case PageLayer::Numbers: return "numbers";
    }
    return "layer";
}

const char* pageLayerLabel(PageLayer layer)
{
    switch (layer) {
    case PageLayer::Faces: return "Faces";
    case PageLayer::Flaps: return "Flaps";
    case PageLayer::ValleyFolds: return "Valley folds";
    case PageLayer::RidgeFolds: return "Ridge folds";
    case PageLayer::CutLines: return "Cut lines";
    case PageLayer::Numbers: return "Numbers";
    }
    return "Layer";
}

PageLine pageLine(const PagesLayout& layout, const LaidOutPiece& piece, const HalfEdge& side,
                  const Settings& settings)
{
    const Edge& e = *side.edge;
    auto fold = [&] { return e.isRidge == 1 ? PageLine::Ridge : PageLine::Valley; };
    if (layout.joined(side)) {
        // Drawn once, from the edge's first side.
        if (side.edge->halfEdge1 != &side && side.edge->halfEdge1) return PageLine::Skip;
        if (settings.omitFlatEdges && e.foldAngle > kFlatFoldAngle) return PageLine::Skip;
        return fold();
    }
    return flapped(piece, side) ? fold() : PageLine::Cut;
}

void drawLayoutPage(const PagesLayout& layout, const Settings& settings, int page, Canvas& dc,
                    double unitsPerMm, const std::function<void(PageLayer, bool)>& layer)
{
    const Pen previousPen = dc.currentPen();
    Device device{dc, nullptr, unitsPerMm};
    auto pieces = [&](auto&& fn) {
        for (const LaidOutPiece& piece : layout.pieces) {
            if (piece.page != page) continue;
            device.piece = &piece;
            fn(piece);
        }
    };
    auto begin = [&](PageLayer l) {
        if (layer) layer(l, true);
    };
    auto end = [&](PageLayer l) {
        if (layer) layer(l, false);
    };

    begin(PageLayer::Faces);
    pieces([&](const LaidOutPiece& piece) {
        for (const Face* face : piece.faces) {
            std::vector<DevicePoint> points;
            for (const MmPoint& p : layout.facePolygon(*face)) points.push_back(device.local(p));
            const Material* material = settings.colorMode ? faceMaterial(*face) : nullptr;
            if (material) {
                const Color c{component(material->ambient[0]), component(material->ambient[1]),
                              component(material->ambient[2])};
                dc.selectBrush(Brush::solid(c));
                dc.selectPen(Pen::solid(1, c));
            } else {
                dc.selectBrush(Brush::stockWhite());
                dc.selectPen(Pen::stockWhite());
            }
            dc.polygon(points);
        }
    });
    if (settings.printTextures)
        pieces([&](const LaidOutPiece& piece) {
            for (const Face* face : piece.faces) fillWithImage(layout, piece, *face, device);
        });
    end(PageLayer::Faces);

    begin(PageLayer::Flaps);
    pieces([&](const LaidOutPiece& piece) {
        for (const LayoutFlap& flap : piece.flaps) {
            std::vector<DevicePoint> points;
            for (const MmPoint& p : flap.corners) points.push_back(device.local(p));
            dc.selectBrush(Brush::stockWhite());
            dc.fillPolygon(points);
            dc.selectPen(Pen::solid(1, kBlack));
            dc.moveTo(points[0].x, points[0].y);
            for (int i = 1; i < 4; ++i) dc.lineTo(points[static_cast<std::size_t>(i)].x, points[static_cast<std::size_t>(i)].y);
        }
    });
    end(PageLayer::Flaps);

    const struct {
        PageLayer layer;
        PageLine line;
    } lineLayers[] = {{PageLayer::ValleyFolds, PageLine::Valley},
                      {PageLayer::RidgeFolds, PageLine::Ridge},
                      {PageLayer::CutLines, PageLine::Cut}};
    for (const auto& kind : lineLayers) {
        begin(kind.layer);
        Pen pen = Pen::solid(1, kBlack);
        if (kind.line != PageLine::Cut) {
            const FoldLineStyle style = foldLineStyle(kind.line == PageLine::Ridge ? LineKind::Ridge : LineKind::Valley, settings);
            pen = style == FoldLineStyle::None ? Pen::null() : foldPen(style);
        }
        if (pen.style != PenStyle::Null) {
            dc.selectPen(pen);
            pieces([&](const LaidOutPiece& piece) {
                for (const Face* face : piece.faces)
                    for (const HalfEdge* side : face->outerLoop.halfEdges) {
                        if (!side || !placedSide(*side) || pageLine(layout, piece, *side, settings) != kind.line) continue;
                        const DevicePoint a = device.local(layout.local(*side->point));
                        const DevicePoint b = device.local(layout.local(*side->next->point));
                        dc.moveTo(a.x, a.y);
                        dc.lineTo(b.x, b.y);
                    }
            });
        }
        end(kind.layer);
    }

    begin(PageLayer::Numbers);
    dc.setTransparentBackground();
    dc.selectPen(Pen::solid(2, kBlack));
    pieces([&](const LaidOutPiece& piece) {
        for (const Face* face : piece.faces) {
            double inradius = -1.0; // measured once the face has a number to carry
            for (const HalfEdge* side : face->outerLoop.halfEdges) {
                if (!side || !placedSide(*side)) continue;
                const int number = layout.edgeNumber(*side->edge);
                if (number < 0) continue;
                if (inradius < 0.0) inradius = faceInradiusMm(layout.facePolygon(*face));
                drawNumber(settings, device, number, piece.onPage(layout.local(*side->point)),
                           piece.onPage(layout.local(*side->next->point)), inradius);
            }
        }
    });
    end(PageLayer::Numbers);
    dc.selectPen(previousPen);
}

} // namespace nettor
