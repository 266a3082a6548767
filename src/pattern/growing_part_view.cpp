#include "pattern/growing_part_view.h"

#include "model/mesh.h"
#include "pattern/draw_pattern.h"
#include "pattern/sheet_view.h"

#include <algorithm>
#include <cfloat>

namespace nettor {

bool followGrowingPart(UnfoldedPart& part, double patternScale, SheetView& view, int firstFace)
{
    bool redraw = false;
    const int count = static_cast<int>(part.faces.size());
    for (int i = std::max(0, firstFace); i < count; ++i) {
        if (i == 0) {
            part.viewOriginX = view.width / 2;
            part.viewOriginY = view.height / 2;
            part.minX = part.minY = DBL_MAX;
            part.maxX = part.maxY = -DBL_MAX;
            redraw = true;
        }
        for (const HalfEdge* h : part.faces[static_cast<std::size_t>(i)]->outerLoop.halfEdges) {
            for (const PatternPoint* p : {h->point, h->next ? h->next->point : nullptr}) {
                if (!p) continue;
                const double x = p->x * patternScale + part.viewOriginX;
                const double y = p->y * patternScale + part.viewOriginY;
                part.minX = std::min(part.minX, x);
                part.minY = std::min(part.minY, y);
                part.maxX = std::max(part.maxX, x);
                part.maxY = std::max(part.maxY, y);
            }
        }
        if (part.minX < 0.0 || part.minY < 0.0) {
            const double dx = view.width * 0.25 - part.minX;
            const double dy = view.height * 0.25 - part.minY;
            part.viewOriginX += dx;
            part.maxX += dx;
            part.viewOriginY += dy;
            part.maxY += dy;
            part.minX = view.width * 0.25;
            part.minY = view.height * 0.25;
            redraw = true;
        }
        // Doubling until the box fits keeps a part that leapt far out in sight.
        while (part.maxX > view.scrollWidth || part.maxY > view.scrollHeight) {
            if (view.scrollWidth > (1 << 29) || view.scrollHeight > (1 << 29)) break;
            view.scrollWidth = std::max(1, view.scrollWidth * 2);
            view.scrollHeight = std::max(1, view.scrollHeight * 2);
            redraw = true;
        }
    }
    return redraw;
}

void drawGrowingPart(const UnfoldedPart& part, double patternScale, Canvas& dc)
{
    for (const Face* face : part.faces) {
        for (const HalfEdge* h : face->outerLoop.halfEdges) {
            if (!h->point || !h->next || !h->next->point) continue;
            dc.moveTo(toDeviceUnits(h->point->x * patternScale + part.viewOriginX),
                      toDeviceUnits(h->point->y * patternScale + part.viewOriginY));
            dc.lineTo(toDeviceUnits(h->next->point->x * patternScale + part.viewOriginX),
                      toDeviceUnits(h->next->point->y * patternScale + part.viewOriginY));
        }
    }
}

} // namespace nettor
