// The pattern view's Pages layout: the pages side by side in rows, the
// pieces selected, dragged to another place or page, and turned. Every
// change goes to the session when the mouse is released; while dragging
// the view draws a copy of the layout with the piece where the mouse is.
#include "app/pattern_view.h"

#include "app/painter_canvas.h"
#include "pattern/pages_drawing.h"
#include "pattern/pages_flap_edit.h"
#include "pattern/pages_piece_split.h"
#include "pattern/pages_sheet.h"
#include "session/app_state.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFineTurnDeg = 5.0;
constexpr double kEdgeReachPixels = 5.0; // how near the mouse finds a cut

double angleAbout(nettor::MmPoint centre, nettor::MmPoint p)
{
    return std::atan2(p.y - centre.y, p.x - centre.x) * 180.0 / nettor::kPagesPi;
}

} // namespace

bool PatternView::pagesShown() const
{
    const nettor::AppState& state = nettor::appState();
    return state.model && state.status.finished && state.pagesShown();
}

void PatternView::arrangePages(bool reflow)
{
    const nettor::PagesLayout& layout = *nettor::appState().pagesLayout;
    const bool first = pixelsPerMm_ <= 0.0;
    if (first) pixelsPerMm_ = nettor::fittingPixelsPerMm(layout.paper, viewport()->width(), viewport()->height());
    // Other paper, or a new width: the pages flow again; otherwise they keep
    // their places, whatever the zoom.
    reflow = reflow || first || sheet_.paper.width != layout.paper.width || sheet_.paper.height != layout.paper.height;
    const int columns = sheet_.columns;
    sheet_ = nettor::arrangePages(layout, viewport()->width() / pixelsPerMm_);
    if (!reflow) sheet_.columns = std::max(1, columns);
    const nettor::MmPoint size = sheet_.size();
    const int w = static_cast<int>(std::ceil(size.x * pixelsPerMm_));
    const int h = static_cast<int>(std::ceil(size.y * pixelsPerMm_));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
}

nettor::MmPoint PatternView::sheetPoint(QPointF pos) const
{
    return {(pos.x() + horizontalScrollBar()->value()) / pixelsPerMm_,
            (pos.y() + verticalScrollBar()->value()) / pixelsPerMm_};
}

int PatternView::shownPage() const
{
    if (pixelsPerMm_ <= 0.0) return 1;
    const int page = sheet_.pageAt(sheetPoint(QPointF(viewport()->rect().center())));
    return std::clamp(page, 1, sheet_.pageCount);
}

QPointF PatternView::viewportPoint(int page, nettor::MmPoint onPage) const
{
    const nettor::MmPoint origin = sheet_.pageOrigin(page);
    return {(origin.x + onPage.x) * pixelsPerMm_ - horizontalScrollBar()->value(),
            (origin.y + onPage.y) * pixelsPerMm_ - verticalScrollBar()->value()};
}

void PatternView::zoomPages(double factor, QPointF about)
{
    // The sheet point under `about` stays there.
    const nettor::MmPoint fixed = sheetPoint(about);
    pixelsPerMm_ = nettor::zoomedPixelsPerMm(pixelsPerMm_, factor);
    arrangePages(); // the pages stay where they are, only larger or smaller
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(fixed.x * pixelsPerMm_ - about.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(fixed.y * pixelsPerMm_ - about.y())));
    viewport()->update();
}

void PatternView::paintPages(QPainter& painter)
{
    const nettor::AppState& state = nettor::appState();
    const QRect visible(horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(),
                        viewport()->height());
    if (drag_ && !drag_->background.isNull() && drag_->backgroundAt == visible.topLeft()) {
        // The parts that do not move as drawn when the drag began; only the
        // dragged one is drawn again.
        painter.drawPixmap(visible.topLeft(), drag_->background);
        const nettor::LaidOutPiece& moving = drag_->moving.pieces.front();
        paintPage(painter, drag_->moving, moving.page, visible, moving.page > sheet_.pageCount);
        paintPieceOutline(painter, drag_->moving, 0, selectionColour());
        return;
    }
    const nettor::PagesLayout& layout = drag_ && drag_->piece >= 0 ? drag_->layout : *state.pagesLayout;
    paintLayoutPages(painter, layout, state.misplaced, state.selectedPiece, visible);
    paintLitEdge(painter, layout); // over every outline
}

void PatternView::paintLayoutPages(QPainter& painter, const nettor::PagesLayout& layout,
                                   const std::vector<char>& misplaced, int selected, const QRect& visible)
{
    painter.fillRect(visible, surroundColour());
    // A piece dragged beyond the last page shows the new page it would get.
    int pages = sheet_.pageCount;
    for (const nettor::LaidOutPiece& piece : layout.pieces) pages = std::max(pages, piece.page);
    for (int page = 1; page <= pages; ++page) paintPage(painter, layout, page, visible, true);
    for (std::size_t i = 0; i < misplaced.size() && i < layout.pieces.size(); ++i)
        if (misplaced[i]) paintPieceOutline(painter, layout, static_cast<int>(i), misplacedColour());
    if (selected >= 0) {
        paintPieceOutline(painter, layout, selected, selectionColour());
        // Misplaced and selected: both colours, in dashes.
        const auto at = static_cast<std::size_t>(selected);
        if (at < misplaced.size() && misplaced[at])
            paintPieceOutline(painter, layout, selected, misplacedColour(), Qt::DashLine);
    }
}

void PatternView::paintPage(QPainter& painter, const nettor::PagesLayout& layout, int page, const QRect& visible,
                            bool withPaper)
{
    const double px = pixelsPerMm_;
    const nettor::MmPoint origin = sheet_.pageOrigin(page);
    const QRectF paper(origin.x * px, origin.y * px, layout.paper.width * px, layout.paper.height * px);
    if (withPaper) {
        if (!paper.toAlignedRect().intersects(visible)) return;
        const double m = layout.settings.marginMm;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(paper);
        painter.setPen(QPen(QColor(205, 205, 205), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(paper.adjusted(m * px, m * px, -m * px, -m * px));
    }
    painter.save();
    painter.translate(std::round(origin.x * px), std::round(origin.y * px));
    {
        PainterCanvas canvas(painter, px * 10.0, px * 10.0);
        // The view shows the pattern's lines; the textures are for paper.
        nettor::Settings shown = nettor::appState().settings;
        shown.printTextures = 0;
        nettor::drawLayoutPage(layout, shown, page, canvas, px);
    }
    painter.restore();
}

void PatternView::renderDragBackground()
{
    PieceDrag& drag = *drag_;
    nettor::PagesLayout rest = drag.layout;
    rest.pieces.erase(rest.pieces.begin() + drag.piece);
    std::vector<char> misplaced = nettor::appState().misplaced;
    if (drag.piece < static_cast<int>(misplaced.size())) misplaced.erase(misplaced.begin() + drag.piece);
    drag.backgroundAt = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    drag.background = QPixmap(viewport()->size());
    QPainter painter(&drag.background);
    painter.translate(-drag.backgroundAt);
    paintLayoutPages(painter, rest, misplaced, -1, QRect(drag.backgroundAt, viewport()->size()));
}

void PatternView::paintPieceOutline(QPainter& painter, const nettor::PagesLayout& layout, int piece,
                                    const QColor& colour, Qt::PenStyle style)
{
    if (piece < 0 || piece >= static_cast<int>(layout.pieces.size())) return;
    const nettor::LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(piece)];
    const nettor::MmPoint origin = sheet_.pageOrigin(p.page);
    QPolygonF outline;
    for (const nettor::MmPoint& q : layout.outline(p))
        outline << QPointF((origin.x + q.x) * pixelsPerMm_, (origin.y + q.y) * pixelsPerMm_);
    painter.setPen(QPen(colour, 2, style));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(outline);
}

void PatternView::paintLitEdge(QPainter& painter, const nettor::PagesLayout& layout)
{
    const nettor::Edge* edge = nettor::appState().litEdge;
    if (!edge) return;
    painter.setPen(QPen(litEdgeColour(), 4, Qt::SolidLine, Qt::RoundCap));
    for (const nettor::HalfEdge* side : {edge->halfEdge1, edge->halfEdge2}) {
        const int piece = side ? nettor::pieceOfSide(layout, *side) : -1;
        if (piece < 0 || !side->point || !side->next || !side->next->point) continue;
        const nettor::LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(piece)];
        const nettor::MmPoint origin = sheet_.pageOrigin(p.page);
        const nettor::MmPoint a = p.onPage(layout.local(*side->point)), b = p.onPage(layout.local(*side->next->point));
        painter.drawLine(QPointF((origin.x + a.x) * pixelsPerMm_, (origin.y + a.y) * pixelsPerMm_),
                         QPointF((origin.x + b.x) * pixelsPerMm_, (origin.y + b.y) * pixelsPerMm_));
    }
}

void PatternView::revealSelectedPiece()
{
    const nettor::AppState& state = nettor::appState();
    if (state.selectionToReveal == revealed_) return;
    revealed_ = state.selectionToReveal;
    const nettor::PagesLayout& layout = *state.pagesLayout;
    if (state.selectedPiece < 0 || state.selectedPiece >= static_cast<int>(layout.pieces.size())) return;
    const nettor::LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(state.selectedPiece)];
    const nettor::MmPoint origin = sheet_.pageOrigin(p.page);
    QRectF box;
    for (const nettor::MmPoint& q : layout.outline(p)) {
        const QPointF at((origin.x + q.x) * pixelsPerMm_, (origin.y + q.y) * pixelsPerMm_);
        box = box.isNull() ? QRectF(at, QSizeF(1, 1)) : box.united(QRectF(at, QSizeF(1, 1)));
    }
    if (box.isNull()) return;
    const QRectF shown(horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(),
                       viewport()->height());
    if (shown.contains(box)) return;
    // The piece's middle to the middle of the view, as far as the pages reach.
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(box.center().x() - viewport()->width() / 2.0)));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(box.center().y() - viewport()->height() / 2.0)));
}

const nettor::HalfEdge* PatternView::cutSideUnder(QPointF pos) const
{
    const nettor::PagesLayout& layout = *nettor::appState().pagesLayout;
    const nettor::MmPoint at = sheetPoint(pos);
    const int page = sheet_.pageAt(at);
    if (page > layout.pageCount) return nullptr;
    const nettor::MmPoint origin = sheet_.pageOrigin(page);
    return nettor::cutSideAt(layout, page, {at.x - origin.x, at.y - origin.y}, kEdgeReachPixels / pixelsPerMm_);
}

void PatternView::hover(QPointF pos)
{
    const nettor::HalfEdge* side = cutSideUnder(pos);
    nettor::appState().lightEdge(side ? side->edge : nullptr);
}

void PatternView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!pagesShown()) {
        QAbstractScrollArea::contextMenuEvent(event);
        return;
    }
    const nettor::HalfEdge* side = cutSideUnder(event->pos());
    if (!side) return;
    const nettor::PagesLayout& layout = *nettor::appState().pagesLayout;
    const bool flapped = nettor::hasLayoutFlap(layout, *side) || nettor::hasLayoutFlap(layout, *side->twin);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("cutEdgeMenu"));
    QAction* flip = menu.addAction(tr("Move the flap to the other side"));
    QAction* hide = menu.addAction(tr("Hide the flap"));
    QAction* show = menu.addAction(tr("Show a flap on this side"));
    flip->setEnabled(flapped);
    hide->setEnabled(flapped);
    show->setEnabled(!flapped);
    QAction* chosen = menu.exec(event->globalPos());
    nettor::AppState& state = nettor::appState();
    if (chosen == flip) state.flipFlap(side);
    else if (chosen == hide) state.hideFlap(side);
    else if (chosen == show) state.showFlap(side);
}

void PatternView::mousePressEvent(QMouseEvent* event)
{
    if (!pagesShown() || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    nettor::AppState& state = nettor::appState();
    const nettor::PagesLayout& layout = *state.pagesLayout;
    const nettor::MmPoint at = sheetPoint(event->position());
    const int page = sheet_.pageAt(at);
    const nettor::MmPoint origin = sheet_.pageOrigin(page);
    const int piece = page <= layout.pageCount ? nettor::pieceAt(layout, page, {at.x - origin.x, at.y - origin.y}) : -1;
    state.selectPiece(piece);
    drag_.reset();
    if (piece < 0) {
        // Nothing to drag; a click on an edge between faces still counts.
        PieceDrag click;
        click.start = at;
        drag_ = std::move(click);
        return;
    }
    const nettor::LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(piece)];
    PieceDrag drag;
    drag.piece = piece;
    drag.turning = event->modifiers() & Qt::ShiftModifier;
    drag.start = at;
    drag.startOffset = p.offset;
    drag.startPage = p.page;
    drag.startRotation = p.rotationDeg;
    const nettor::MmPoint centre = p.onPage(nettor::pieceCentre(layout, p));
    drag.startAngle = angleAbout({origin.x + centre.x, origin.y + centre.y}, at);
    drag.flapSide = nettor::flapAt(layout, page, {at.x - origin.x, at.y - origin.y}).side;
    drag.layout = layout;
    drag.moving = layout;
    drag.moving.pieces = {p};
    drag_ = std::move(drag);
}

void PatternView::clickAt(QPointF pos, const nettor::HalfEdge* flapSide)
{
    nettor::AppState& state = nettor::appState();
    // Cut Edge splits a piece at the fold clicked, Connect Edge joins the
    // pieces on both sides of a cut; elsewhere a click on a flap moves it
    // to the other side of its cut.
    if (state.pickMode == 0 || state.pickMode == 2) {
        const nettor::PagesLayout& layout = *state.pagesLayout;
        const nettor::MmPoint at = sheetPoint(pos);
        const int page = sheet_.pageAt(at);
        const nettor::MmPoint origin = sheet_.pageOrigin(page);
        const nettor::MmPoint onPage{at.x - origin.x, at.y - origin.y};
        const double reach = kEdgeReachPixels / pixelsPerMm_;
        if (state.pickMode == 0) {
            if (const nettor::HalfEdge* fold = nettor::foldSideAt(layout, page, onPage, reach)) {
                state.splitPieceAt(fold);
                return;
            }
        } else if (const nettor::HalfEdge* cut = nettor::cutSideAt(layout, page, onPage, reach)) {
            // The cuts the layout made and the model's own; a join refused
            // leaves everything as it was, the flap too.
            state.joinPiecesAt(cut);
            return;
        }
    }
    if (flapSide) state.flipFlap(flapSide);
}

void PatternView::dragTo(QPointF pos, bool fineSteps)
{
    PieceDrag& drag = *drag_;
    if (drag.piece < 0) return;
    nettor::LaidOutPiece& p = drag.layout.pieces[static_cast<std::size_t>(drag.piece)];
    const nettor::MmPoint at = sheetPoint(pos);
    if (!drag.moved) {
        drag.moved = true;
        renderDragBackground();
    }
    if (drag.turning) {
        const nettor::MmPoint origin = sheet_.pageOrigin(p.page);
        nettor::LaidOutPiece start = p;
        start.rotationDeg = drag.startRotation;
        start.offset = drag.startOffset;
        const nettor::MmPoint centre = start.onPage(nettor::pieceCentre(drag.layout, start));
        double turn = angleAbout({origin.x + centre.x, origin.y + centre.y}, at) - drag.startAngle;
        if (fineSteps) turn = std::round(turn / kFineTurnDeg) * kFineTurnDeg;
        drag.turnDeg = turn;
        p.offset = nettor::offsetAfterTurn(drag.layout, start, drag.startRotation + turn);
        p.rotationDeg = drag.startRotation + turn;
    } else {
        // The piece follows the mouse onto the page under it.
        const int page = sheet_.pageAt(at);
        const nettor::MmPoint from = sheet_.pageOrigin(drag.startPage), to = sheet_.pageOrigin(page);
        p.page = page;
        p.offset = {drag.startOffset.x + at.x - drag.start.x + from.x - to.x,
                    drag.startOffset.y + at.y - drag.start.y + from.y - to.y};
    }
    nettor::LaidOutPiece& moving = drag.moving.pieces.front();
    moving.page = p.page;
    moving.offset = p.offset;
    moving.rotationDeg = p.rotationDeg;
    viewport()->update();
}

void PatternView::mouseMoveEvent(QMouseEvent* event)
{
    if (!pagesShown()) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    if (!drag_ || !(event->buttons() & Qt::LeftButton)) {
        if (event->buttons() == Qt::NoButton) hover(event->position());
        return;
    }
    dragTo(event->position(), event->modifiers() & Qt::ControlModifier);
}

void PatternView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!drag_ || event->button() != Qt::LeftButton || !pagesShown()) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    PieceDrag drag = std::move(*drag_);
    drag_.reset();
    if (!drag.moved) {
        clickAt(event->position(), drag.flapSide);
        viewport()->update();
        return;
    }
    const nettor::LaidOutPiece& p = drag.layout.pieces[static_cast<std::size_t>(drag.piece)];
    nettor::AppState& state = nettor::appState();
    if (drag.turning) state.turnPiece(drag.piece, drag.turnDeg);
    else state.movePiece(drag.piece, p.page, p.offset);
    viewport()->update();
}

void PatternView::keyPressEvent(QKeyEvent* event)
{
    nettor::AppState& state = nettor::appState();
    if (pagesShown() && event->key() == Qt::Key_R && !(event->modifiers() & ~Qt::KeypadModifier) &&
        state.selectedPiece >= 0) {
        state.turnPiece(state.selectedPiece, 90.0);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
