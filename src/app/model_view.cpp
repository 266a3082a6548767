#include "app/model_view.h"

#include "state/app_state.h"
#include "unfold/take_up_model.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

ModelView::ModelView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(40, 44, 52));
    setPalette(p);
    setMinimumSize(50, 50);
}

void ModelView::onUpdateHint(int number)
{
    if (number == 16) {
        // A new model is current: the 3D view takes it up for unfolding.
        if (nettor::Model* model = nettor::appState().model.get()) nettor::takeUpModel(*model);
    }
    if (number == 3 || number == 16 || number == 20) update();
}

namespace {

struct ViewDirection {
    // A rotation of 30 degrees about y, then 25 degrees about x.
    double cy = std::cos(0.52), sy = std::sin(0.52);
    double cx = std::cos(0.44), sx = std::sin(0.44);
    nettor::Vec3 apply(const nettor::Vec3& v) const
    {
        const double x1 = cy * v.x + sy * v.z;
        const double z1 = -sy * v.x + cy * v.z;
        const double y2 = cx * v.y - sx * z1;
        const double z2 = sx * v.y + cx * z1;
        return {x1, y2, z2};
    }
};

struct ProjectedFace {
    QPolygonF outline;
    double depth;
    double light;
};

} // namespace

void ModelView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const nettor::Model* model = nettor::appState().model.get();
    if (!model || model->faceCount == 0) return;

    const ViewDirection view;
    // Bounds of the vertices as they are now (preparation moves and scales them).
    nettor::Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const auto& object : model->objects) {
        for (const nettor::Vertex* v : object->vertices) {
            lo = {std::min(lo.x, v->position.x), std::min(lo.y, v->position.y), std::min(lo.z, v->position.z)};
            hi = {std::max(hi.x, v->position.x), std::max(hi.y, v->position.y), std::max(hi.z, v->position.z)};
        }
    }
    if (lo.x > hi.x) return;
    const nettor::Vec3 centre{(hi.x + lo.x) / 2, (hi.y + lo.y) / 2, (hi.z + lo.z) / 2};
    const nettor::Vec3 size = hi - lo;
    const double extent = std::max(length(size), 1e-12);
    const double scale = 0.85 * std::min(width(), height()) / extent;

    std::vector<ProjectedFace> faces;
    for (const auto& object : model->objects) {
        for (const nettor::Face* face : object->faces) {
            ProjectedFace pf{QPolygonF(), 0.0, 0.0};
            for (const nettor::HalfEdge* he : face->outerLoop.halfEdges) {
                const nettor::Vec3 p = view.apply(he->origin->position - centre);
                pf.outline << QPointF(width() / 2.0 + p.x * scale, height() / 2.0 - p.y * scale);
                pf.depth += p.z;
            }
            if (pf.outline.isEmpty()) continue;
            pf.depth /= pf.outline.size();
            const nettor::Vec3 n = view.apply({face->plane.a, face->plane.b, face->plane.c});
            pf.light = std::abs(n.z) * 0.7 + 0.3;
            faces.push_back(std::move(pf));
        }
    }
    // Far faces first, so the near ones cover them.
    std::sort(faces.begin(), faces.end(),
              [](const ProjectedFace& a, const ProjectedFace& b) { return a.depth < b.depth; });
    painter.setPen(QPen(QColor(20, 20, 20), 1.0));
    for (const ProjectedFace& f : faces) {
        const int shade = static_cast<int>(std::clamp(f.light, 0.0, 1.0) * 220);
        painter.setBrush(QColor(shade, shade * 9 / 10, shade * 7 / 10));
        painter.drawPolygon(f.outline);
    }
}
