#pragma once
// Print, Print preview, Print Setup and Save as PDF. A pattern larger than
// one A4 page is split over pages of 18 x 26.7 cm windows of the sheet,
// left to right, then downwards (the page grid of the core); a job of more
// than one page carries registration marks. The page is always A4 portrait
// measured from the corner of the paper: paper size and orientation chosen
// in Print Setup do not change the grid.
#include <QObject>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

class PrintCommands : public QObject {
    Q_OBJECT
public:
    explicit PrintCommands(QWidget* window);
    ~PrintCommands() override;

    // The printer the commands share, so that Print Setup's choice holds
    // for the next Print.
    QPrinter& printer() { return *printer_; }

    // Draws pages from..to (1-based, the last lowered to the page count) of
    // the current pattern on a device whose pages are A4 portrait with the
    // origin at the corner of the paper, at dpi dots per inch.
    static void paintPages(QPagedPaintDevice& device, double dpiX, double dpiY, int from, int to);

    // Every page of the job as a PDF file, written through QSaveFile.
    static bool writePdf(const QString& path);

public slots:
    // Each does nothing until the unfolding is finished.
    void print();
    void preview();
    void printSetup();
    // The save dialog (filter "pdf Files(*.pdf)", default extension "pdf"),
    // then writePdf.
    void saveAsPdf();

private:
    void paintOnPrinter(QPrinter* printer);

    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
};
