// The 3D view's main pass in immediate mode, face by face and edge by edge
// between glBegin and glEnd: the reference the arrays' pictures are
// compared with.
#include "app/model_view.h"

#include "model/mesh.h"
#include "scene/face_appearance.h"
#include "session/app_state.h"

#include <QOpenGLFunctions_1_1>

void ModelView::drawModel(const nettor::Model& model)
{
    if (nettor::appState().settings.reservedFlag) return;
    gl_->glEnable(GL_POLYGON_OFFSET_FILL);
    gl_->glPolygonOffset(1.0f, 1.0f);
    const bool showTexture = nettor::appState().showTexture;
    applyAppearance(nettor::FaceAppearance{}); // the default colour, untextured
    for (const auto& object : model.objects) {
        gl_->glEnable(GL_LIGHTING);
        for (const nettor::Face* face : object->faces) {
            const bool textured = applyAppearance(nettor::modelFaceAppearance(model, *face, showTexture, false));
            gl_->glNormal3d(face->plane.a, face->plane.b, face->plane.c);
            gl_->glBegin(GL_POLYGON);
            for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) {
                if (textured && h->texCoord) gl_->glTexCoord2d(h->texCoord->u, h->texCoord->v);
                const nettor::Vec3& p = h->origin->position;
                gl_->glVertex3d(p.x, p.y, p.z);
            }
            gl_->glEnd();
        }
        gl_->glDisable(GL_LIGHTING);
        gl_->glDisable(GL_TEXTURE_2D);
        for (const nettor::Edge* edge : object->edges) drawEdge(*edge);
    }
    textures_.endFrame(*gl_);
}

void ModelView::drawFinishedModel(const nettor::Model& model)
{
    gl_->glDisable(GL_CULL_FACE);
    gl_->glEnable(GL_POLYGON_OFFSET_FILL);
    gl_->glPolygonOffset(1.0f, 1.0f);
    gl_->glLineWidth(1.0f);
    const bool showTexture = nettor::appState().showTexture;
    for (const auto& object : model.objects) {
        for (const nettor::Face* face : object->faces) {
            gl_->glEnable(GL_LIGHTING);
            gl_->glNormal3d(face->plane.a, face->plane.b, face->plane.c);
            const bool textured = applyAppearance(nettor::modelFaceAppearance(model, *face, showTexture, true));
            // Through the corner copies, which completion moved inward, so
            // that the cuts show as gaps.
            auto corner = [](const nettor::HalfEdge* h) {
                if (const nettor::CornerCopy* c = h->cornerCopy) return nettor::Vec3{c->x, c->y, c->z};
                return h->origin->position;
            };
            gl_->glBegin(GL_POLYGON);
            for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) {
                if (textured && h->texCoord) gl_->glTexCoord2d(h->texCoord->u, h->texCoord->v);
                const nettor::Vec3 p = corner(h);
                gl_->glVertex3d(p.x, p.y, p.z);
            }
            gl_->glEnd();
            gl_->glColor3d(0.0, 0.0, 0.0);
            gl_->glDisable(GL_LIGHTING);
            gl_->glDisable(GL_TEXTURE_2D);
            gl_->glBegin(GL_LINE_LOOP);
            for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) {
                const nettor::Vec3 p = corner(h);
                gl_->glVertex3d(p.x, p.y, p.z);
            }
            gl_->glEnd();
        }
    }
    textures_.endFrame(*gl_);
}

void ModelView::drawEdge(const nettor::Edge& edge)
{
    if (!edge.vertex1 || !edge.vertex2) return;
    const nettor::EdgeLook look = nettor::edgeLook(edge, nettor::appState().settings.edgeColor);
    gl_->glLineWidth(look.width);
    gl_->glColor3f(look.red, look.green, look.blue);
    gl_->glBegin(GL_LINES);
    gl_->glVertex3d(edge.vertex1->position.x, edge.vertex1->position.y, edge.vertex1->position.z);
    gl_->glVertex3d(edge.vertex2->position.x, edge.vertex2->position.y, edge.vertex2->position.z);
    gl_->glEnd();
}
