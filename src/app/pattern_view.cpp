#include "app/pattern_view.h"

#include "app/painter_canvas.h"
#include "model/mesh.h"
#include "pattern/draw_pattern.h"
#include "pattern/growing_part_view.h"
#include "session/app_state.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

nettor::Model* currentModel()
{
    return nettor::appState().model.get();
}

} // namespace

PatternView::PatternView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setMinimumSize(0, 0);
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
    viewport()->setMouseTracking(true); // the cut under the mouse is lit on the pages
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void PatternView::takeClientSize()
{
    view_.width = std::max(1, viewport()->width());
    view_.height = std::max(1, viewport()->height());
}

void PatternView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (!fitted_) {
        // The first update: the sheet fits the pane as it is laid out.
        takeClientSize();
        nettor::resetSheetView(view_);
        fitted_ = true;
        applyScrollSize();
    }
}

void PatternView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    takeClientSize();
    if (pagesShown()) arrangePages(true);
    else applyScrollSize();
}

void PatternView::wheelEvent(QWheelEvent* event)
{
    if (!pagesShown()) {
        event->accept(); // taken and ignored
        return;
    }
    // The pages scroll; with Ctrl they zoom about the cursor.
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps) zoomPages(std::pow(nettor::kPagesZoomStep, steps), event->position());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PatternView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PatternView::applyScrollSize()
{
    horizontalScrollBar()->setPageStep(view_.width);
    verticalScrollBar()->setPageStep(view_.height);
    horizontalScrollBar()->setRange(0, std::max(0, view_.scrollWidth - view_.width));
    verticalScrollBar()->setRange(0, std::max(0, view_.scrollHeight - view_.height));
}

bool PatternView::done(const std::string& refusal)
{
    if (!refusal.empty()) {
        nettor::showMessage(refusal);
        return false;
    }
    applyScrollSize();
    viewport()->update();
    return true;
}

void PatternView::followGrowingPart()
{
    nettor::Model* model = currentModel();
    if (!model || model->parts.empty() || nettor::appState().status.busy) return;
    nettor::UnfoldedPart& part = *model->parts.back();
    const int from = &part == followedPart_ ? followedFaces_ : 0;
    nettor::followGrowingPart(part, model->patternScale, view_, from);
    followedPart_ = &part;
    followedFaces_ = static_cast<int>(part.faces.size());
    applyScrollSize();
}

void PatternView::patternChanged()
{
    dropSheetPicture();
    viewport()->update();
}

void PatternView::onUpdateHint(int number)
{
    // Whatever the hint, the parts may have changed with it.
    dropSheetPicture();
    nettor::AppState& state = nettor::appState();
    nettor::Model* model = currentModel();
    using nettor::ViewChange;
    switch (static_cast<ViewChange>(number)) {
    case ViewChange::SettingsChanged:
    case ViewChange::UnfoldingFinished:
        if (model && state.status.finished) nettor::updateScrollSize(view_, *model);
        applyScrollSize();
        if (pagesShown()) arrangePages();
        viewport()->update();
        break;
    case ViewChange::ScaleUpRequested:
        if (model) done(nettor::scaleUp(view_, *model, state.displayedScale));
        break;
    case ViewChange::ScaleDownRequested:
        if (model) done(nettor::scaleDown(view_, *model, state.displayedScale));
        break;
    case ViewChange::ZoomInRequested:
        if (pagesShown()) zoomPages(nettor::kPagesZoomStep, QPointF(viewport()->rect().center()));
        else if (model) done(nettor::zoomIn(view_, *model));
        break;
    case ViewChange::ZoomOutRequested:
        if (pagesShown()) zoomPages(1.0 / nettor::kPagesZoomStep, QPointF(viewport()->rect().center()));
        else if (model) done(nettor::zoomOut(view_, *model));
        break;
    case ViewChange::LayoutChanged:
        drag_.reset();
        if (pagesShown()) arrangePages();
        else applyScrollSize();
        viewport()->update();
        break;
    case ViewChange::LayoutSelectionChanged:
        if (pagesShown()) revealSelectedPiece();
        viewport()->update();
        break;
    case ViewChange::ModelReplaced:
        drag_.reset();
        pixelsPerMm_ = 0.0; // the next pages fit the view
        takeClientSize();
        nettor::resetSheetView(view_);
        fitted_ = true;
        followedPart_ = nullptr;
        followedFaces_ = 0;
        applyScrollSize();
        viewport()->update();
        break;
    case ViewChange::PartGrew:
        followGrowingPart();
        viewport()->update();
        break;
    case ViewChange::PartShrank:
        followedPart_ = nullptr;
        followedFaces_ = 0;
        viewport()->update();
        break;
    case ViewChange::ScaleRequested:
        if (model) done(nettor::applyRequestedScale(view_, *model, state.requestedScale, state.displayedScale));
        break;
    default:
        break;
    }
}

void PatternView::paintEvent(QPaintEvent* event)
{
    const nettor::AppState& state = nettor::appState();
    const nettor::Model* model = currentModel();
    // Nothing while the engine changes the parts, nor before a part exists.
    if (!model || state.status.busy || state.status.invertAllowed) return;
    QPainter painter(viewport());
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scrolled);
    if (state.status.finished && pagesShown())
        paintPages(painter);
    else if (state.status.finished)
        paintSheet(painter, event->rect().translated(scrolled));
    else if (!model->parts.empty())
        paintGrowingPart(painter);
}

void PatternView::paintGrowingPart(QPainter& painter)
{
    const nettor::Model* model = currentModel();
    PainterCanvas canvas(painter, 1.0, 1.0);
    canvas.selectPen(nettor::Pen::stockBlack());
    nettor::drawGrowingPart(*model->parts.back(), model->patternScale, canvas);
}
