#include "app/painter_canvas.h"

#include "model/mesh.h"
#include "pattern/text_metrics.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace {

QColor toQColor(nettor::Color c)
{
    return QColor(c.r, c.g, c.b);
}

QPolygon toQPolygon(const std::vector<nettor::DevicePoint>& points)
{
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const nettor::DevicePoint& p : points) polygon << QPoint(p.x, p.y);
    return polygon;
}

// The union of the outline's polygons.
QPainterPath outlinePath(const std::vector<std::vector<nettor::DeviceSpot>>& outline)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const auto& polygon : outline) {
        QPolygonF q;
        q.reserve(static_cast<qsizetype>(polygon.size()));
        for (const nettor::DeviceSpot& p : polygon) q << QPointF(p.x, p.y);
        path.addPolygon(q);
        path.closeSubpath();
    }
    return path;
}

QPen toQPen(const nettor::Pen& pen, int minimumWidth)
{
    if (pen.style == nettor::PenStyle::Null) return QPen(Qt::NoPen);
    QPen q(toQColor(pen.color));
    q.setWidth(std::max({1, pen.width, minimumWidth}));
    q.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::FlatCap);
    q.setJoinStyle(Qt::RoundJoin);
    if (pen.style == nettor::PenStyle::Dot) q.setDashPattern({3.0, 3.0});
    return q;
}

} // namespace

const QImage& CanvasImages::of(const nettor::TextureImage& image)
{
    if (const auto found = images_.find(image.serial); found != images_.end()) return found->second;
    QImage converted;
    const auto row = static_cast<qsizetype>(image.width) * 3;
    if (image.width > 0 && image.height > 0 &&
        image.pixels.size() >= static_cast<std::size_t>(row) * static_cast<std::size_t>(image.height))
        // Rows as they are, bottom row first: y in the image is v.
        converted = QImage(image.pixels.data(), image.width, image.height, row, QImage::Format_RGB888).copy();
    return images_.emplace(image.serial, std::move(converted)).first->second;
}

PainterCanvas::PainterCanvas(QPainter& painter, double unitsPerCmX, double unitsPerCmY)
    : painter_(painter), unitsPerCmX_(unitsPerCmX), unitsPerCmY_(unitsPerCmY)
{
    painter_.save();
    painter_.setPen(toQPen(pen_, 0));
    painter_.setBrush(toQColor(brush_.color));
    qfont_ = qtFont(font_);
}

void PainterCanvas::setMinimumLineWidth(int deviceUnits)
{
    minimumLineWidth_ = std::max(0, deviceUnits);
    painter_.setPen(toQPen(pen_, minimumLineWidth_));
}

int PainterCanvas::paperLineWidth(double unitsPerCm)
{
    // One unit of the EPS files: the thinnest line that prints clearly.
    return static_cast<int>(std::lround(0.035 * unitsPerCm));
}

PainterCanvas::~PainterCanvas()
{
    painter_.restore();
}

QFont PainterCanvas::qtFont(const nettor::Font& font)
{
    QFont q(QString::fromStdString(font.faceName));
    // Arial's metric twin where Arial itself is missing.
    q.setFamilies({QString::fromStdString(font.faceName), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arimo"), QStringLiteral("sans-serif")});
    // A positive height is the cell height, a negative one the em size.
    const double em = font.height >= 0 ? nettor::arialEmForCellHeight(font.height) : -double(font.height);
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
    q.setWeight(QFont::Weight(std::clamp(font.weight, 1, 1000)));
    return q;
}

void PainterCanvas::selectPen(const nettor::Pen& pen)
{
    pen_ = pen;
    painter_.setPen(toQPen(pen, minimumLineWidth_));
}

void PainterCanvas::selectBrush(const nettor::Brush& brush)
{
    brush_ = brush;
    painter_.setBrush(toQColor(brush.color));
}

void PainterCanvas::selectFont(const nettor::Font& font)
{
    if (font == font_) return;
    font_ = font;
    qfont_ = qtFont(font);
}

void PainterCanvas::polygon(const std::vector<nettor::DevicePoint>& points)
{
    if (points.empty()) return;
    painter_.drawPolygon(toQPolygon(points));
}

void PainterCanvas::fillPolygon(const std::vector<nettor::DevicePoint>& points)
{
    if (points.empty()) return;
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.drawPolygon(toQPolygon(points));
    painter_.restore();
}

void PainterCanvas::polygon(const nettor::DevicePoint* points, std::size_t count)
{
    if (count == 0) return;
    QVarLengthArray<QPoint, 16> corners;
    for (std::size_t i = 0; i < count; ++i) corners.append(QPoint(points[i].x, points[i].y));
    painter_.drawPolygon(corners.constData(), static_cast<int>(corners.size()));
}

void PainterCanvas::fillPolygon(const nettor::DevicePoint* points, std::size_t count)
{
    if (count == 0) return;
    const QPen pen = painter_.pen();
    painter_.setPen(Qt::NoPen);
    polygon(points, count);
    painter_.setPen(pen);
}

void PainterCanvas::lines(const nettor::DevicePoint* ends, std::size_t count)
{
    if (pen_.style == nettor::PenStyle::Null || count < 2) return;
    QVarLengthArray<QLine, 256> batch;
    for (std::size_t i = 0; i + 1 < count; i += 2)
        batch.append(QLine(ends[i].x, ends[i].y, ends[i + 1].x, ends[i + 1].y));
    painter_.drawLines(batch.constData(), static_cast<int>(batch.size()));
    position_ = ends[count - 1];
}

void PainterCanvas::moveTo(int x, int y)
{
    position_ = {x, y};
}

void PainterCanvas::lineTo(int x, int y)
{
    if (pen_.style != nettor::PenStyle::Null)
        painter_.drawLine(QPoint(position_.x, position_.y), QPoint(x, y));
    position_ = {x, y};
}

void PainterCanvas::textOut(int x, int y, const std::string& text)
{
    const QString qtext = QString::fromStdString(text);
    const QFontMetricsF metrics(qfont_, painter_.device());
    painter_.save();
    painter_.translate(x, y);
    // The escapement turns counter-clockwise on a device whose y axis points
    // down; QPainter turns clockwise there.
    painter_.rotate(-font_.escapement / 10.0);
    if (!transparent_) {
        painter_.fillRect(QRectF(0.0, 0.0, metrics.horizontalAdvance(qtext), metrics.height()),
                          Qt::white);
    }
    painter_.setFont(qfont_);
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(0.0, metrics.ascent()), qtext);
    painter_.restore();
}

void PainterCanvas::imageColourFill(const std::vector<std::vector<nettor::DeviceSpot>>& outline, nettor::Color colour)
{
    if (!outline.empty()) painter_.fillPath(outlinePath(outline), toQColor(colour));
}

void PainterCanvas::imageFill(const nettor::TextureImage& image,
                              const std::vector<std::vector<nettor::DeviceSpot>>& outline,
                              const std::vector<nettor::ImageMapping>& mappings)
{
    const QImage& picture = images_->of(image);
    if (picture.isNull() || outline.empty() || mappings.empty()) return;
    const QPainterPath clip = outlinePath(outline);
    painter_.save();
    painter_.setClipPath(clip, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    const QTransform device = painter_.worldTransform();
    for (const nettor::ImageMapping& m : mappings) {
        painter_.setWorldTransform(QTransform(m.a, m.b, m.c, m.d, m.e, m.f) * device);
        painter_.drawImage(QRectF(0.0, 0.0, 1.0, 1.0), picture);
    }
    painter_.restore();
}

nettor::TextExtent PainterCanvas::textExtent(const std::string& text) const
{
    return textExtentOn(painter_.device(), qfont_, text);
}

nettor::TextExtent PainterCanvas::textExtentOn(QPaintDevice* device, const QFont& font, const std::string& text)
{
    const QFontMetricsF metrics(font, device);
    const double width = metrics.horizontalAdvance(QString::fromStdString(text));
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(metrics.height()))};
}
