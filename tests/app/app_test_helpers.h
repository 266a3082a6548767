#pragma once
// Helpers for the window tests: model files written from generated shapes,
// and reading the pattern view's pixels back.
#include "model/mesh.h"
#include "pattern/flap_geometry.h"
#include "pattern/sheet_coordinates.h"
#include "pattern/sheet_view.h"
#include "session/app_state.h"
#include "support/model_builders.h"
#include "unfold/take_up_model.h"

#include <QAbstractButton>
#include <QFile>
#include <QObject>
#include <QtTest>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <cmath>

namespace apptest {

// A radio button or check box reacts only to clicks on its indicator and
// label, not on the empty rest of a wide button: click where its indicator is.
inline void clickIndicator(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

inline QString writeObj(const QTemporaryDir& dir, const QString& name, const nettor::test::MeshSpec& spec)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(QByteArray::fromStdString(nettor::test::toObjText(spec)));
    return path;
}

// A flat strip of n triangles: n faces that unfold into one part.
inline nettor::test::MeshSpec stripSpec(int n)
{
    nettor::test::MeshSpec spec;
    for (int i = 0; i <= n / 2 + 1; ++i) {
        spec.vertices.push_back({double(i), 0, 0});
        spec.vertices.push_back({double(i), 1, 0});
    }
    for (int k = 0; k < n; ++k) {
        const int i = k / 2;
        if (k % 2 == 0)
            spec.faces.push_back({2 * i, 2 * i + 2, 2 * i + 1});
        else
            spec.faces.push_back({2 * i + 1, 2 * i + 2, 2 * i + 3});
    }
    return spec;
}

inline bool isDark(QRgb c)
{
    return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110;
}

inline bool darkNear(const QImage& image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < image.width() && py < image.height() && isDark(image.pixel(px, py)))
                return true;
        }
    return false;
}

struct CutLineSample {
    int sides = 0; // cut sides drawn as plain cut lines (no flap on them)
    int dark = 0;  // of those, the ones with dark pixels at their middle
};

// Looks at the middle of every cut side that carries no flap (those are
// drawn with the solid cut pen) in an image of the view's client area,
// unscrolled. The flaps are those the view drew with the session's settings.
inline CutLineSample sampleCutLines(const QImage& image, const nettor::Model& model, const nettor::SheetView& view)
{
    CutLineSample s;
    const nettor::DrawnMarks flaps = nettor::chooseFlaps(model, nettor::appState().settings);
    for (const auto& part : model.parts) {
        for (const nettor::Face* f : part->faces) {
            for (const nettor::HalfEdge* h : f->outerLoop.halfEdges) {
                const nettor::EdgeState st = h->edge->state;
                if (st != nettor::EdgeState::Cut && st != nettor::EdgeState::MarkedCut) continue;
                if (flaps.hasFlap(*h)) continue;
                const nettor::SheetPoint a = nettor::sheetPoint(model, *part, *h->point);
                const nettor::SheetPoint b = nettor::sheetPoint(model, *part, *h->next->point);
                const double len = std::hypot(b.x - a.x, b.y - a.y) * view.zoom;
                if (len < 2) continue; // too short to find on screen
                const int x = static_cast<int>(view.margin + view.zoom * (a.x + b.x) / 2);
                const int y = static_cast<int>(view.margin + view.zoom * (a.y + b.y) / 2);
                if (x >= image.width() || y >= image.height()) continue;
                ++s.sides;
                s.dark += darkNear(image, x, y);
            }
        }
    }
    return s;
}

} // namespace apptest
