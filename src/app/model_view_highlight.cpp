// The finished model between the two views: the edge lit on the pages drawn
// in the 3D view as thick lines on both its sides, the faces of the piece
// selected on the pages as a translucent overlay, both over the main pass;
// the edge the pointer rests on and a click on a face, handed to the session.
#include "app/model_view.h"

#include "app/pattern_view.h"
#include "model/mesh.h"
#include "scene/pick.h"
#include "session/app_state.h"

#include <QOpenGLFunctions_1_1>

namespace {

constexpr double kSideReachPixels = 6.0; // how near the pointer finds an edge

// The corner as the finished model is drawn: its copy, moved into the face
// so that the cuts show as gaps.
nettor::Vec3 drawnCorner(const nettor::HalfEdge& h)
{
    if (const nettor::CornerCopy* c = h.cornerCopy) return {c->x, c->y, c->z};
    return h.origin->position;
}

} // namespace

void ModelView::drawHighlights()
{
    const nettor::AppState& state = nettor::appState();
    if (!gl_ || !state.model || !state.status.finished) return;
    const std::vector<const nettor::Face*> faces = state.selectedFaces();
    if (!state.litEdge && faces.empty()) return;
    gl_->glDisable(GL_LIGHTING);
    gl_->glDisable(GL_TEXTURE_2D);
    gl_->glDisable(GL_CULL_FACE);
    gl_->glDisable(GL_POLYGON_OFFSET_FILL);
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glDepthFunc(GL_LEQUAL);
    if (!faces.empty()) {
        // The main pass pushed the faces back a little: the overlay, at the
        // faces' own depth, lies in front of them and behind nearer faces.
        const QColor c = PatternView::selectionColour();
        gl_->glEnable(GL_BLEND);
        gl_->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        gl_->glDepthMask(GL_FALSE);
        // The frame stays opaque: the window shows it over nothing.
        gl_->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        gl_->glColor4d(c.redF(), c.greenF(), c.blueF(), 0.45);
        for (const nettor::Face* face : faces) {
            gl_->glBegin(GL_POLYGON);
            for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) {
                const nettor::Vec3 p = drawnCorner(*h);
                gl_->glVertex3d(p.x, p.y, p.z);
            }
            gl_->glEnd();
        }
        gl_->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl_->glDepthMask(GL_TRUE);
        gl_->glDisable(GL_BLEND);
    }
    if (const nettor::Edge* edge = state.litEdge) {
        const QColor c = PatternView::litEdgeColour();
        gl_->glLineWidth(5.0f);
        gl_->glColor3d(c.redF(), c.greenF(), c.blueF());
        gl_->glBegin(GL_LINES);
        for (const nettor::HalfEdge* side : {edge->halfEdge1, edge->halfEdge2}) {
            if (!side || !side->next) continue;
            const nettor::Vec3 a = drawnCorner(*side), b = drawnCorner(*side->next);
            gl_->glVertex3d(a.x, a.y, a.z);
            gl_->glVertex3d(b.x, b.y, b.z);
        }
        gl_->glEnd();
        gl_->glLineWidth(1.0f);
    }
}

void ModelView::pointAt(int x, int y)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model || !state.status.finished || !state.pagesShown()) return;
    const nettor::ViewSnapshot view = readSnapshot();
    // Through the view's index of faces: this runs on every move of the mouse.
    const nettor::Face* face = pickIndex(*state.model).pickFace(view, toDevice(x), toDevice(y));
    state.pointAtModelSide(face ? nettor::sideOfFaceNear(*face, view, toDevice(x), toDevice(y),
                                                         kSideReachPixels * devicePixelRatioF())
                                : nullptr);
}

void ModelView::finishedClick(int x, int y)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model || !state.pagesShown()) return;
    const nettor::ViewSnapshot view = readSnapshot();
    nettor::Face* face = pickIndex(*state.model).pickFace(view, toDevice(x), toDevice(y));
    nettor::HalfEdge* side =
        face ? nettor::sideOfFaceNear(*face, view, toDevice(x), toDevice(y), kSideReachPixels * devicePixelRatioF())
             : nullptr;
    state.finishedModelClick(face, side);
}

void ModelView::leaveEvent(QEvent* event)
{
    nettor::appState().pointAtModelSide(nullptr);
    QOpenGLWidget::leaveEvent(event);
}
