// The pattern view's one-sheet layout: the A4 sheet in its surround with the
// finished pattern on it. The pattern is recorded once at the view's zoom
// and painted into tiles as they come into view; a repaint draws the tiles
// kept, and only a change of the parts, the settings, the zoom or the
// view's size paints them again.
#include "app/pattern_view.h"

#include "app/painter_canvas.h"
#include "app/recorded_drawing_player.h"
#include "pattern/draw_pattern.h"
#include "session/app_state.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTileSide = 512;
// The tiles kept at most: two screens' worth of a large view.
constexpr std::size_t kTilesKept = 40;

int tileOf(int pixel)
{
    return pixel >= 0 ? pixel / kTileSide : -((-pixel + kTileSide - 1) / kTileSide);
}

} // namespace

void PatternView::dropSheetPicture()
{
    sheetPattern_.reset();
    sheetTiles_.clear();
}

void PatternView::paintSheet(QPainter& painter, const QRect& visible)
{
    if (sheetDrawing_ == SheetDrawing::Direct) {
        drawSheet(painter, nullptr);
        return;
    }
    const TilesSource source{{nettor::appState().model.get(), view_.zoom, view_.margin}, view_.width, view_.height,
                             view_.scrollWidth, view_.scrollHeight, viewport()->devicePixelRatioF()};
    if (!(source == tilesFor_)) {
        sheetTiles_.clear();
        tilesFor_ = source;
    }
    ++tileClock_;
    for (int ty = tileOf(visible.top()); ty <= tileOf(visible.bottom()); ++ty)
        for (int tx = tileOf(visible.left()); tx <= tileOf(visible.right()); ++tx)
            painter.drawImage(QPoint(tx * kTileSide, ty * kTileSide), sheetTile({tx, ty}));
}

const QImage& PatternView::sheetTile(QPoint tile)
{
    for (SheetTile& kept : sheetTiles_) {
        if (kept.tile == tile) {
            kept.lastUsed = tileClock_;
            return kept.image;
        }
    }
    if (sheetTiles_.size() >= kTilesKept) {
        // The tile shown longest ago makes room, never one of this paint.
        auto oldest = std::min_element(sheetTiles_.begin(), sheetTiles_.end(),
                                       [](const SheetTile& a, const SheetTile& b) { return a.lastUsed < b.lastUsed; });
        if (oldest->lastUsed != tileClock_) sheetTiles_.erase(oldest);
    }
    const double ratio = tilesFor_.pixelRatio;
    const int side = static_cast<int>(std::ceil(kTileSide * ratio));
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(viewport()->palette().color(QPalette::Window));
    {
        QPainter painter(&image);
        const QRect area(tile.x() * kTileSide, tile.y() * kTileSide, kTileSide, kTileSide);
        painter.translate(-area.topLeft());
        drawSheet(painter, &area);
    }
    sheetTiles_.push_back({tile, std::move(image), tileClock_});
    return sheetTiles_.back().image;
}

void PatternView::drawSheet(QPainter& painter, const QRect* area)
{
    const double m = view_.margin;
    const double z = view_.zoom;
    const int right = nettor::toDeviceUnits(m + nettor::kSheetPictureWidth * z);
    const int bottom = nettor::toDeviceUnits(m + nettor::kSheetPictureHeight * z);
    const int left = nettor::toDeviceUnits(m);
    const int top = left;
    const int w = std::max(view_.scrollWidth, view_.width);
    const int h = std::max(view_.scrollHeight, view_.height);
    const QColor surround = surroundColour();
    painter.fillRect(QRect(0, 0, left, h), surround);
    painter.fillRect(QRect(0, 0, w, top), surround);
    painter.fillRect(QRect(right, 0, std::max(0, w - right), h), surround);
    painter.fillRect(QRect(0, bottom, w, std::max(0, h - bottom)), surround);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(left, top, std::max(0, right - left - 1), std::max(0, bottom - top - 1)));

    PainterCanvas canvas(painter, z, z);
    if (!area) {
        nettor::appState().drawPattern(canvas, z, z, nettor::OutputTarget::Screen, m, m);
        return;
    }
    playRecordedDrawing(canvas, sheetPattern(), {area->left(), area->top(), area->right(), area->bottom()});
}

const nettor::RecordedDrawing& PatternView::sheetPattern()
{
    const SheetSource source{nettor::appState().model.get(), view_.zoom, view_.margin};
    if (!sheetPattern_ || !(source == sheetSource_)) {
        sheetPattern_ = nettor::appState().recordPattern(view_.zoom, view_.zoom, view_.margin, view_.margin,
                                                         textMeasureOn(viewport()));
        sheetSource_ = source;
    }
    return *sheetPattern_;
}
