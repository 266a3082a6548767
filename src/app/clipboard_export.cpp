#include "app/clipboard_export.h"

#include "app/painter_canvas.h"
#include "app/save_file.h"
#include "formats/pattern_metafile.h"
#include "formats/svg_canvas.h"
#include "pattern/draw_pattern.h"
#include "pattern/sheet_coordinates.h"
#include "state/app_state.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kInchPerCm = 0.39370078740157477;
constexpr double kSvgUnitsPerCm = 100.0;
constexpr int kMaxImageSide = 16000;

double sheetWidthCm(const nettor::Model& m)
{
    return m.sheetWidth * m.patternScale + 2 * nettor::kSheetMarginCm;
}

double sheetHeightCm(const nettor::Model& m)
{
    return m.sheetHeight * m.patternScale + 2 * nettor::kSheetMarginCm;
}

bool finishedPattern()
{
    nettor::AppState& state = nettor::appState();
    return state.model && state.status.finished;
}

} // namespace

QImage patternImage(nettor::Model& model, const nettor::Settings& settings, double dpi)
{
    const double widthCm = sheetWidthCm(model), heightCm = sheetHeightCm(model);
    if (!(widthCm > 0) || !(heightCm > 0) || !std::isfinite(widthCm) || !std::isfinite(heightCm))
        return {};
    const double largest = std::max(widthCm, heightCm) * kInchPerCm * dpi;
    if (largest > kMaxImageSide) dpi *= kMaxImageSide / largest;
    const double upc = dpi * kInchPerCm;
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

    nettor::SvgCanvas svg(sheetWidthCm(model), sheetHeightCm(model), kSvgUnitsPerCm);
    nettor::drawPattern(model, settings, svg, kSvgUnitsPerCm, kSvgUnitsPerCm, nettor::OutputTarget::Clipboard,
                        0, 0);
    data->setData(QStringLiteral("image/svg+xml"), QByteArray::fromStdString(svg.document()));

    const QImage image = patternImage(model, settings, kClipboardImageDpi);
    if (!image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        data->setData(QStringLiteral("image/png"), png);
        data->setImageData(image);
    }
    return data;
}

void copyPatternToClipboard(QWidget* window)
{
    if (!finishedPattern()) {
        nettor::showMessage("There is no unfolded patterns.");
        return;
    }
    nettor::AppState& state = nettor::appState();
    const double dpiX = window ? window->logicalDpiX() : 96.0, dpiY = window ? window->logicalDpiY() : 96.0;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        nettor::showMessage("Can't open Clipboard.");
        return;
    }
    clipboard->setMimeData(patternMimeData(*state.model, state.settings, dpiX, dpiY));
}

bool writePatternEmfFile(const QString& path, double dpiX, double dpiY)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model) return false;
    return saveFileAtomically(path, [&](std::ostream& out) {
        const auto bytes = nettor::patternMetafile(*state.model, state.settings,
                                                   nettor::OutputTarget::MetafileFile, dpiX, dpiY);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    });
}

void savePatternAsEmf(QWidget* window)
{
    if (!finishedPattern()) return;
    SaveDialogSpec spec;
    spec.title = QObject::tr("Save unfolded pattern as EMF");
    spec.filter = QStringLiteral("emf Files(*.emf)");
    spec.defaultSuffix = QStringLiteral("emf");
    spec.suggestedPath = QStringLiteral(".emf");
    const QString path = chooseSaveFile(window, spec);
    if (path.isEmpty()) return;
    writePatternEmfFile(path, window ? window->logicalDpiX() : 96.0, window ? window->logicalDpiY() : 96.0);
}
