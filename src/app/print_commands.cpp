#include "app/print_commands.h"

#include "app/painter_canvas.h"
#include "app/save_file.h"
#include "pattern/page_grid.h"
#include "pattern/print_page.h"
#include "state/app_state.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

namespace {

constexpr double kInchPerCm = 0.39370078740157477;
constexpr int kPdfDpi = 600;

bool finishedPattern()
{
    nettor::AppState& state = nettor::appState();
    return state.model && state.status.finished;
}

QPageLayout a4Portrait()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

} // namespace

PrintCommands::PrintCommands(QWidget* window)
    : QObject(window), window_(window), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    printer_->setPageLayout(a4Portrait());
    printer_->setFullPage(true);
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::paintPages(QPagedPaintDevice& device, double dpiX, double dpiY, int from, int to)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model) return;
    const nettor::PageGrid grid = nettor::pageGrid(*state.model);
    const int first = std::max(1, from);
    const int last = nettor::lastPrintPage(grid, to);
    const double upcX = dpiX * kInchPerCm, upcY = dpiY * kInchPerCm;
    QPainter painter(&device);
    if (!painter.isActive()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    for (int page = first; page <= last; ++page) {
        if (page > first) device.newPage();
        PainterCanvas canvas(painter, upcX, upcY);
        nettor::drawPrintPage(*state.model, state.settings, canvas, upcX, upcY, page);
    }
}

void PrintCommands::paintOnPrinter(QPrinter* printer)
{
    if (!finishedPattern()) return;
    const int pages = nettor::pageGrid(*nettor::appState().model).pages();
    int from = 1, to = pages;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        from = printer->fromPage();
        to = printer->toPage();
    }
    // Whatever the dialog's paper, the drawing assumes A4 from the paper's corner.
    printer->setFullPage(true);
    paintPages(*printer, printer->resolution(), printer->resolution(), from, to);
}

void PrintCommands::print()
{
    if (!finishedPattern()) return;
    const int pages = nettor::pageGrid(*nettor::appState().model).pages();
    printer_->setFromTo(1, pages);
    QPrintDialog dialog(printer_.get(), window_);
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pages > 1);
    if (dialog.exec() != QDialog::Accepted) return;
    paintOnPrinter(printer_.get());
}

void PrintCommands::preview()
{
    if (!finishedPattern()) return;
    const int pages = nettor::pageGrid(*nettor::appState().model).pages();
    printer_->setFromTo(1, pages);
    printer_->setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("printPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &PrintCommands::paintOnPrinter);
    dialog.exec();
}

void PrintCommands::printSetup()
{
    QPageSetupDialog dialog(printer_.get(), window_);
    dialog.exec();
}

bool PrintCommands::writePdf(const QString& path)
{
    if (!finishedPattern()) return false;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(a4Portrait());
        pdf.setResolution(kPdfDpi);
        pdf.setCreator(QStringLiteral("Nettor"));
        paintPages(pdf, kPdfDpi, kPdfDpi, 1, nettor::pageGrid(*nettor::appState().model).pages());
    }
    return saveFileAtomically(path, [&](std::ostream& out) { out.write(bytes.constData(), bytes.size()); });
}

void PrintCommands::saveAsPdf()
{
    if (!finishedPattern()) return;
    SaveDialogSpec spec;
    spec.title = tr("Save unfolded pattern as PDF");
    spec.filter = QStringLiteral("pdf Files(*.pdf)");
    spec.defaultSuffix = QStringLiteral("pdf");
    spec.suggestedPath = QStringLiteral(".pdf");
    const QString path = chooseSaveFile(window_, spec);
    if (!path.isEmpty()) writePdf(path);
}
