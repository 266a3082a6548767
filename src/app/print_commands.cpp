#include "app/print_commands.h"

#include "pattern/pages_drawing.h"

#include "app/painter_canvas.h"
#include "pattern/page_grid.h"
#include "pattern/print_page.h"
#include "session/app_state.h"

#include <QPageLayout>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

bool finishedPattern()
{
    nettor::AppState& state = nettor::appState();
    return state.model && state.status.finished;
}

int jobPageCount()
{
    const nettor::AppState& state = nettor::appState();
    if (state.pagesShown()) return state.pagesLayout->pageCount;
    return nettor::pageGrid(*state.model).pages();
}

// The Pages layout: one sheet of its paper for each page, at true size, no
// tiling and no registration marks. The printer's paper is the layout's
// for this job only.
void printPagesJob(QPrinter& printer)
{
    const nettor::AppState& state = nettor::appState();
    const nettor::PagesLayout& layout = *state.pagesLayout;
    int first = 1, last = layout.pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage() > 0 ? printer.toPage() : layout.pageCount;
    }
    last = std::clamp(last, 1, layout.pageCount);
    first = std::clamp(first, 1, last);
    const QPageLayout previous = printer.pageLayout();
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(layout.paper.width, layout.paper.height), QPageSize::Millimeter),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    {
        QPainter painter(&printer);
        if (!painter.isActive()) {
            nettor::showMessage("Can't print the unfolded pattern.");
        } else {
            painter.setRenderHint(QPainter::Antialiasing);
            const double upm = printer.logicalDpiX() / 25.4;
            CanvasImages images; // the job's texture images, for all its pages
            for (int page = first; page <= last; ++page) {
                if (page > first) printer.newPage();
                PainterCanvas canvas(painter, upm * 10.0, upm * 10.0);
                canvas.shareImages(images);
                canvas.setMinimumLineWidth(PainterCanvas::paperLineWidth(upm * 10.0));
                nettor::drawLayoutPage(layout, state.settings, page, canvas, upm);
            }
        }
    }
    printer.setPageLayout(previous);
}

} // namespace

PrintCommands::PrintCommands(QWidget* window)
    : QObject(window), window_(window), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    printer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    printer_->setFullPage(true);
    printer_->setDocName(QStringLiteral("Nettor pattern"));
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::printJob(QPrinter& printer)
{
    if (!finishedPattern()) return;
    nettor::AppState& state = nettor::appState();
    if (state.pagesShown()) {
        printPagesJob(printer);
        return;
    }
    const nettor::PageGrid grid = nettor::pageGrid(*state.model);
    int first = 1;
    int last = grid.pages();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage() > 0 ? printer.toPage() : grid.pages();
    }
    last = nettor::lastPrintPage(grid, last);
    first = std::clamp(first, 1, last);
    // Whatever the dialog's paper, the drawing is measured from the paper's corner.
    printer.setFullPage(true);
    const double upcX = printer.logicalDpiX() * nettor::kInchesPerCm;
    const double upcY = printer.logicalDpiY() * nettor::kInchesPerCm;
    QPainter painter(&printer);
    if (!painter.isActive()) {
        nettor::showMessage("Can't print the unfolded pattern.");
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    // Nothing reaches past the paper: the preview shows its pages side by
    // side and would otherwise show a page's overhang on its neighbour.
    const QRectF paper(0, 0, nettor::kPageWidthCm * upcX, nettor::kPageHeightCm * upcY);
    CanvasImages images; // the job's texture images, for all its pages
    for (int page = first; page <= last; ++page) {
        if (page > first) printer.newPage();
        painter.setClipRect(paper);
        PainterCanvas canvas(painter, upcX, upcY);
        canvas.shareImages(images);
        canvas.setMinimumLineWidth(PainterCanvas::paperLineWidth(std::min(upcX, upcY)));
        nettor::drawPrintPage(*state.model, state.settings, canvas, upcX, upcY, page);
    }
}

void PrintCommands::print()
{
    if (!finishedPattern()) return;
    const int pages = jobPageCount();
    printer_->setPrintRange(QPrinter::AllPages);
    printer_->setFromTo(1, pages);
    QPrintDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pages > 1);
    if (dialog.exec() != QDialog::Accepted) return;
    printJob(*printer_);
}

void PrintCommands::preview()
{
    if (!finishedPattern()) return;
    printer_->setPrintRange(QPrinter::AllPages);
    printer_->setFromTo(1, jobPageCount());
    QPrintPreviewDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.resize(900, 700);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [](QPrinter* printer) { printJob(*printer); });
    dialog.exec();
}

void PrintCommands::printSetup()
{
    // The print dialog without a page range: it chooses the printer and,
    // through its properties, the paper and the other options, and prints
    // nothing. The next Print starts from what it chose.
    QPrintDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("printSetupDialog"));
    dialog.setWindowTitle(tr("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(tr("OK"));
    dialog.exec();
}
