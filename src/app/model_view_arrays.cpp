// The 3D view's main pass from the core's arrays: the faces batch by batch,
// each batch in its material and with its image, then the lines batch by
// batch in their widths, unlit and coloured end by end. While unfolding,
// only what can be seen from the eye is handed to OpenGL.
#include "app/model_view.h"

#include "model/mesh.h"
#include "session/app_state.h"

#include <QOpenGLFunctions_1_1>

const nettor::ModelArrays& ModelView::currentArrays(const nettor::Model& model)
{
    const nettor::AppState& state = nettor::appState();
    ArraysSource source;
    source.model = &model;
    source.options = {state.showTexture, state.status.finished, state.settings.edgeColor != 0};
    source.image = model.textureImage.get();
    source.imageSerial = model.textureImage ? model.textureImage->serial : 0;
    source.images = model.images.size();
    if (!arrays_ || !(source == arraysSource_)) {
        arrays_ = nettor::buildModelArrays(model, source.options);
        arraysSource_ = source;
        visibleFrom_.reset();
        // A new model's index is built with its first picture, before the
        // first pick waits for it.
        pickIndex(model);
    }
    return *arrays_;
}

// A software renderer such as llvmpipe draws what it has been given only
// once it is flushed, on its own threads, while the calling thread goes on
// preparing what comes next. Flushing every so many primitives lets the two
// overlap instead of taking turns; much smaller steps cost more in
// switching than they save. A hardware driver takes the flushes in its
// stride. About 10,000 primitives a step suits llvmpipe on two cores.
void ModelView::drawInSteps(GLenum mode, const std::uint32_t* elements, std::uint32_t first, std::uint32_t count)
{
    const std::uint32_t corners = mode == GL_TRIANGLES ? 3 : 2;
    while (count >= corners) {
        const std::uint32_t n = std::min(count / corners, primitivesAStep_ - drawnSinceFlush_) * corners;
        if (elements)
            gl_->glDrawElements(mode, static_cast<GLsizei>(n), GL_UNSIGNED_INT, elements + first);
        else
            gl_->glDrawArrays(mode, static_cast<GLint>(first), static_cast<GLsizei>(n));
        first += n;
        count -= n;
        drawnSinceFlush_ += n / corners;
        if (drawnSinceFlush_ >= primitivesAStep_) {
            gl_->glFlush();
            drawnSinceFlush_ = 0;
        }
    }
}

void ModelView::drawArrays(const nettor::Model& model)
{
    const bool finished = nettor::appState().status.finished;
    if (!finished && nettor::appState().settings.reservedFlag) return;
    const nettor::ModelArrays& arrays = currentArrays(model);
    drawnSinceFlush_ = 0;
    if (finished) {
        gl_->glDisable(GL_CULL_FACE);
        gl_->glLineWidth(1.0f);
    }
    // While unfolding, what cannot be seen from the eye is not drawn.
    const nettor::VisibleElements* visible = nullptr;
    if (!finished) {
        const VisibleFrom from{camera_.eyePosition(), camera_.nearReach(), gl_->glIsEnabled(GL_CULL_FACE) == GL_TRUE};
        if (visibleFrom_ != from) {
            nettor::findVisibleElements(arrays, from.eye, from.clearance, from.culled, visible_);
            visibleFrom_ = from;
        }
        visible = &visible_;
    }
    gl_->glEnable(GL_POLYGON_OFFSET_FILL);
    gl_->glPolygonOffset(1.0f, 1.0f);

    gl_->glEnable(GL_LIGHTING);
    gl_->glEnableClientState(GL_VERTEX_ARRAY);
    gl_->glEnableClientState(GL_NORMAL_ARRAY);
    gl_->glVertexPointer(3, GL_FLOAT, 0, arrays.facePositions.data());
    gl_->glNormalPointer(GL_FLOAT, 0, arrays.faceNormals.data());
    gl_->glTexCoordPointer(2, GL_FLOAT, 0, arrays.faceTexCoords.data());
    for (std::size_t b = 0; b < arrays.faceBatches.size(); ++b) {
        const nettor::FaceBatch& batch = arrays.faceBatches[b];
        if (applyAppearance(batch.look)) gl_->glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        else gl_->glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        if (visible)
            drawInSteps(GL_TRIANGLES, visible->faceCorners.data(), visible->faceRanges[b].first,
                        visible->faceRanges[b].count);
        else
            drawInSteps(GL_TRIANGLES, nullptr, batch.first, batch.count);
    }
    gl_->glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl_->glDisableClientState(GL_NORMAL_ARRAY);
    gl_->glDisable(GL_LIGHTING);
    gl_->glDisable(GL_TEXTURE_2D);

    gl_->glEnableClientState(GL_COLOR_ARRAY);
    gl_->glVertexPointer(3, GL_FLOAT, 0, arrays.linePositions.data());
    gl_->glColorPointer(3, GL_FLOAT, 0, arrays.lineColours.data());
    for (std::size_t b = 0; b < arrays.lineBatches.size(); ++b) {
        const nettor::LineBatch& batch = arrays.lineBatches[b];
        gl_->glLineWidth(batch.width);
        if (visible)
            drawInSteps(GL_LINES, visible->lineEnds.data(), visible->lineRanges[b].first, visible->lineRanges[b].count);
        else
            drawInSteps(GL_LINES, nullptr, batch.first, batch.count);
    }
    gl_->glDisableClientState(GL_COLOR_ARRAY);
    gl_->glDisableClientState(GL_VERTEX_ARRAY);
    textures_.endFrame(*gl_);
}
