#include "app/clipboard_export.h"

#include "app/painter_canvas.h"
#include "formats/pages_metafile.h"
#include "formats/pages_outputs.h"
#include "formats/pattern_metafile.h"
#include "formats/pattern_svg.h"
#include "pattern/draw_pattern.h"
#include "pattern/pages_drawing.h"
#include "session/app_state.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxImageSide = 16000;

} // namespace

QImage patternImage(nettor::Model& model, const nettor::Settings& settings, double dpi)
{
    const double widthCm = nettor::sheetWidthWithMarginsCm(model);
    const double heightCm = nettor::sheetHeightWithMarginsCm(model);
    if (!std::isfinite(widthCm) || !std::isfinite(heightCm) || !(widthCm > 0) || !(heightCm > 0))
        return {};
    const double largest = std::max(widthCm, heightCm) * nettor::kInchesPerCm * dpi;
    if (largest > kMaxImageSide) dpi *= kMaxImageSide / largest;
    const double upc = dpi * nettor::kInchesPerCm;
    QImage image(std::max(1, static_cast<int>(std::ceil(widthCm * upc))),
                 std::max(1, static_cast<int>(std::ceil(heightCm * upc))), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    {
        PainterCanvas canvas(painter, upc, upc);
        canvas.setMinimumLineWidth(PainterCanvas::paperLineWidth(upc));
        nettor::drawPattern(model, settings, canvas, upc, upc, nettor::OutputTarget::Clipboard, 0, 0);
    }
    return image;
}

QMimeData* patternMimeData(nettor::Model& model, const nettor::Settings& settings, double dpiX,
                           double dpiY)
{
    auto* data = new QMimeData;
    const auto emf = nettor::patternMetafile(model, settings, nettor::OutputTarget::Clipboard, dpiX, dpiY);
    data->setData(QStringLiteral("image/x-emf"),
                  QByteArray(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size())));
    data->setData(QStringLiteral("image/svg+xml"),
                  QByteArray::fromStdString(nettor::patternSvg(model, settings, nettor::OutputTarget::Clipboard)));
    const QImage image = patternImage(model, settings, kClipboardImageDpi);
    if (!image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        data->setData(QStringLiteral("image/png"), png);
    }
    return data;
}

QImage pageImage(const nettor::PagesLayout& layout, const nettor::Settings& settings, int page, double dpi)
{
    const double largest = std::max(layout.paper.width, layout.paper.height) / 25.4 * dpi;
    if (largest > kMaxImageSide) dpi *= kMaxImageSide / largest;
    const double upm = dpi / 25.4;
    QImage image(std::max(1, static_cast<int>(std::ceil(layout.paper.width * upm))),
                 std::max(1, static_cast<int>(std::ceil(layout.paper.height * upm))), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    {
        PainterCanvas canvas(painter, upm * 10.0, upm * 10.0);
        canvas.setMinimumLineWidth(PainterCanvas::paperLineWidth(upm * 10.0));
        nettor::drawLayoutPage(layout, settings, page, canvas, upm);
    }
    return image;
}

QMimeData* pageMimeData(const nettor::PagesLayout& layout, const nettor::Settings& settings, int page,
                        double dpiX, double dpiY)
{
    auto* data = new QMimeData;
    const auto emf = nettor::pageMetafile(layout, settings, page, dpiX, dpiY);
    data->setData(QStringLiteral("image/x-emf"),
                  QByteArray(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size())));
    data->setData(QStringLiteral("image/svg+xml"), QByteArray::fromStdString(nettor::pagesSvg(layout, settings, page)));
    const QImage image = pageImage(layout, settings, page, kClipboardImageDpi);
    if (!image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        data->setData(QStringLiteral("image/png"), png);
    }
    return data;
}

void copyPatternToClipboard(QWidget* window, int shownPage)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model || !state.status.finished) {
        nettor::showMessage("There is no unfolded patterns.");
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        nettor::showMessage("Can't open Clipboard.");
        return;
    }
    const double dpiX = window ? window->logicalDpiX() : 96.0;
    const double dpiY = window ? window->logicalDpiY() : 96.0;
    if (state.pagesShown()) {
        const int page = std::clamp(shownPage, 1, state.pagesLayout->pageCount);
        clipboard->setMimeData(pageMimeData(*state.pagesLayout, state.settings, page, dpiX, dpiY));
        return;
    }
    clipboard->setMimeData(patternMimeData(*state.model, state.settings, dpiX, dpiY));
}
