#include "pattern/textured_pattern.h"

#include "model/face_texture.h"
#include "pattern/drawn_marks.h"
#include "pattern/pattern_walk.h"

#include <cmath>

namespace nettor {

namespace {

constexpr double kMinFlapSide = 1e-6;
constexpr double kInitialSheetPixels = 500.0;
constexpr double kMinSheetPixels = 10.0;

double flapFactor(std::int32_t size)
{
    switch (static_cast<FlapSize>(size)) {
    case FlapSize::Large: return 0.18;
    case FlapSize::Small: return 0.05;
    default: return 0.1;
    }
}

struct Mapping {
    double s = 1.0;
    double offX = 0.0;
    double offY = 0.0;
    double sign = 1.0;

    explicit Mapping(const Model& model)
        : s(texturedPixelsPerUnit(model)),
          offX(-model.sheetWidth * s / 2),
          offY(-model.sheetHeight * s / 2),
          sign(model.textureInverted ? -1.0 : 1.0)
    {
    }
    // Sheet pixels of a pattern point, without the centring offsets.
    void unshifted(const UnfoldedPart& part, const PatternPoint& p, double& x, double& y) const
    {
        x = (part.offsetX + p.x) * s;
        y = (part.offsetY + p.y) * s;
    }
    // Window position of sheet pixels (x, y): centred, y up, mirrored if asked.
    void toWindow(double x, double y, double& wx, double& wy) const
    {
        wx = sign * (x + offX);
        wy = -(y + offY);
    }
    TexturedSegment segment(double x0, double y0, double x1, double y1) const
    {
        TexturedSegment out;
        toWindow(x0, y0, out.x0, out.y0);
        toWindow(x1, y1, out.x1, out.y1);
        return out;
    }
};

} // namespace

double texturedPixelsPerUnit(const Model& model)
{
    return model.unitScale != 0.0 ? model.textureScale / model.unitScale : 0.0;
}

TexturedPicture buildTexturedPattern(const Model& model, const Settings& settings,
                                     const TexturedPatternOptions& options)
{
    TexturedPicture picture;
    picture.lineAlpha = 1.0 - options.lineTransparency;
    const Mapping map(model);
    DrawnMarks marks(model);

    if (settings.createFlaps) {
        const double h = flapFactor(settings.flapSize) * model.averageEdgeLength * map.s;
        forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
            const Edge& e = *side.edge;
            if (e.edgeId == -1 || (marks.drawn(e) && !settings.flapsBothSides)) return;
            double ax, ay, bx, by;
            map.unshifted(part, *side.point, ax, ay);
            map.unshifted(part, *side.next->point, bx, by);
            const double length = std::hypot(bx - ax, by - ay);
            if (!(length >= kMinFlapSide)) return;
            const double dx = (bx - ax) / length, dy = (by - ay) / length;
            const double nx = dy, ny = -dx;
            const double p1x = ax + h * (dx + nx), p1y = ay + h * (dy + ny);
            const double p2x = bx + h * (nx - dx), p2y = by + h * (ny - dy);
            picture.flapLines.push_back(map.segment(ax, ay, p1x, p1y));
            picture.flapLines.push_back(map.segment(p1x, p1y, p2x, p2y));
            picture.flapLines.push_back(map.segment(p2x, p2y, bx, by));
            marks.markDrawn(e);
        });
    }

    for (const auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face) continue;
            std::vector<TexturedCorner> polygon;
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                if (!h || !h->point) continue;
                TexturedCorner c;
                double x, y;
                map.unshifted(*part, *h->point, x, y);
                map.toWindow(x, y, c.x, c.y);
                if (h->texCoord) {
                    c.hasTexCoord = true;
                    c.u = h->texCoord->u;
                    c.v = h->texCoord->v;
                }
                polygon.push_back(c);
            }
            if (polygon.size() >= 3) {
                picture.faces.push_back(std::move(polygon));
                picture.faceImages.push_back(faceImage(model, *face));
            }
        }
    }

    marks.clearDrawn();
    forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
        const Edge& e = *side.edge;
        const bool outline = e.edgeId != -1 || !e.halfEdge1 || !e.halfEdge2;
        if (outline ? !options.showSilhouette : (!model.textureShowEdges || marks.drawn(e))) return;
        marks.markDrawn(e);
        double ax, ay, bx, by;
        map.unshifted(part, *side.point, ax, ay);
        map.unshifted(part, *side.next->point, bx, by);
        picture.lines.push_back(map.segment(ax, ay, bx, by));
    });
    return picture;
}

void resetTextureScale(Model& model)
{
    if (model.sheetHeight > 0.0) model.textureScale = model.unitScale * kInitialSheetPixels / model.sheetHeight;
}

bool dragTextureScale(Model& model, int dx, int dy)
{
    const double previous = model.textureScale;
    const double next = previous * (1.0 + 0.01 * (double(dx) + double(dy)));
    const double sheetPixels = model.unitScale != 0.0 ? model.sheetHeight * next / model.unitScale : 0.0;
    if (!(sheetPixels >= kMinSheetPixels)) return false;
    model.textureScale = next;
    return next != previous;
}

} // namespace nettor
