#pragma once
// Print, Print preview and Print Setup. A pattern larger than one A4 page
// is split over pages of 18 x 26.7 cm windows of the sheet, left to right,
// then downwards (the page grid of the core); a job of more than one page
// carries registration marks. The page is always A4 portrait measured from
// the corner of the paper: paper size and orientation chosen in Print
// Setup do not change the grid. In the Pages layout each page of the layout
// is one sheet of its own paper, at true size.
#include <QObject>

#include <memory>

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

    // Prints the job's pages of the current pattern on printer: its page
    // range when one is chosen, the last page lowered to the page count.
    static void printJob(QPrinter& printer);

public slots:
    // Each does nothing until the unfolding is finished.
    void print();
    void preview();
    void printSetup();

private:
    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
};
