// The pattern's way out of the window: Copy with its three clipboard forms,
// Save as EMF and as PDF (the bytes nettor-cli writes), and the print job
// with its preview, page grid and page range.
#include "app/clipboard_export.h"
#include "app/document.h"
#include "app/information_panel.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "app/print_commands.h"
#include "file_dialog_driver.h"
#include "formats/pattern_svg.h"
#include "pattern/page_grid.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"

#include <QClipboard>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 le32(const QByteArray& bytes, int at)
{
    quint32 v = 0;
    std::memcpy(&v, bytes.constData() + at, 4);
    return v;
}

// The page count pdfinfo reads, or -1 without pdfinfo.
int pdfPages(const QString& path)
{
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) return -1;
    QProcess info;
    info.start("pdfinfo", {path});
    if (!info.waitForFinished(30000)) return -2;
    for (const QByteArray& line : info.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -3;
}

// Dark pixels of a page of a PDF file, rendered at 30 dpi, from x0 to x1
// cm across, in the band between the rows of registration marks (4 cm from
// the top and the bottom); -1 without pdftoppm.
int linesInBand(const QString& pdf, int page, double x0, double x1)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) return -1;
    QProcess render;
    render.start("pdftoppm", {"-r", "30", "-png", "-f", QString::number(page), "-l", QString::number(page),
                              "-singlefile", pdf, pdf + "_page"});
    if (!render.waitForFinished(30000)) return -2;
    const QImage image(pdf + "_page.png");
    const double perCm = 30 / 2.54;
    int dark = 0;
    for (int y = int(4 * perCm); y < image.height() - int(4 * perCm); ++y)
        for (int x = int(x0 * perCm); x < std::min(image.width(), int(x1 * perCm)); ++x)
            if (qGray(image.pixel(x, y)) < 160) ++dark;
    return dark;
}

int darkPixels(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark;
    return dark;
}

} // namespace

class TestOutputCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void init()
    {
        QSettings().clear();
        nettor::appState().settings = nettor::Settings{};
        frame = std::make_unique<MainWindow>(&document);
        document.setMessageSink([this](const QString& m) { messages << m; });
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj")));
        messages.clear();
    }
    void cleanup()
    {
        frame.reset();
        nettor::appState().replaceModel(nullptr);
    }

    void copyPutsMetafileSvgAndImageOnTheClipboard()
    {
        QVERIFY(!frame->action(nettor::Command::CopyPattern)->isEnabled());
        copyPatternToClipboard(frame.get());
        QCOMPARE(messages, QStringList{"There is no unfolded patterns."});
        messages.clear();

        unfoldCurrent();
        QApplication::clipboard()->clear();
        QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(" | ")));
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QVERIFY2(data->hasFormat("image/x-emf"), qPrintable(data->formats().join(",")));
        QVERIFY(data->hasFormat("image/svg+xml"));
        QVERIFY(data->hasFormat("image/png"));

        // A whole metafile: header first, its size and record count agree
        // with the records, end-of-file last.
        const QByteArray emf = data->data("image/x-emf");
        QVERIFY(emf.size() > 200);
        QCOMPARE(le32(emf, 0), 1u);
        QCOMPARE(le32(emf, 40), 0x464D4520u);
        QCOMPARE(qsizetype(le32(emf, 48)), emf.size());
        quint32 records = 0;
        int at = 0, lastType = 0;
        while (at + 8 <= emf.size()) {
            const quint32 size = le32(emf, at + 4);
            QVERIFY(size >= 8 && size % 4 == 0 && at + qsizetype(size) <= emf.size());
            lastType = int(le32(emf, at));
            at += int(size);
            ++records;
        }
        QCOMPARE(at, int(emf.size()));
        QCOMPARE(le32(emf, 52), records);
        QCOMPARE(lastType, 14);

        QVERIFY(data->data("image/svg+xml").contains("<svg"));

        // The image is the sheet with its margins at 300 dpi, with the
        // pattern's lines on it.
        QImage png;
        QVERIFY(png.loadFromData(data->data("image/png"), "PNG"));
        const nettor::Model& m = *nettor::appState().model;
        const double widthCm = nettor::sheetWidthWithMarginsCm(m), heightCm = nettor::sheetHeightWithMarginsCm(m);
        QVERIFY(std::abs(png.width() - widthCm / 2.54 * 300) <= 2);
        QVERIFY(std::abs(double(png.width()) / png.height() - widthCm / heightCm) < 0.01);
        QVERIFY(darkPixels(png) > 1000);
    }

    void savedMetafileAndPdfAreTheCommandLineToolsBytes()
    {
        unfoldCurrent();
        QTemporaryDir dir;
        QString filter, suffix;
        answerFileDialog(dir.filePath("gui"), &filter, &suffix);
        QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(filter, QStringLiteral("emf Files (*.emf)"));
        QCOMPARE(suffix, QStringLiteral("emf"));
        answerFileDialog(dir.filePath("gui.pdf"), &filter, &suffix);
        frame->action(nettor::Command::SavePdf)->trigger();
        QCOMPARE(filter, QStringLiteral("pdf Files (*.pdf)"));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(" | ")));

        QProcess cli;
        cli.start(QStringLiteral(NETTOR_CLI), {"unfold", QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj"),
                                               "--emf", dir.filePath("cli.emf"), "--pdf", dir.filePath("cli.pdf")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(readAll(dir.filePath("gui.emf")).size() > 200);
        QCOMPARE(readAll(dir.filePath("gui.emf")), readAll(dir.filePath("cli.emf")));
        QVERIFY(readAll(dir.filePath("gui.pdf")).startsWith("%PDF-"));
        QCOMPARE(readAll(dir.filePath("gui.pdf")), readAll(dir.filePath("cli.pdf")));
        const int pages = pdfPages(dir.filePath("gui.pdf"));
        if (pages != -1) QCOMPARE(pages, 1);
    }

    void printPreviewShowsEveryPageOfTheGrid()
    {
        unfoldCurrent();
        const int pages = widenToTwoColumns();
        QCOMPARE(pages, 2);
        int shown = -1;
        onNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
            if (!dialog) {
                w->close();
                return;
            }
            QTest::qWait(300);
            if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
                preview->setViewMode(QPrintPreviewWidget::AllPagesView);
                QTest::qWait(300);
                shown = preview->pageCount();
            }
            const QByteArray shots = qgetenv("NETTOR_SCREENSHOT_DIR");
            if (!shots.isEmpty()) dialog->grab().save(QString::fromLocal8Bit(shots) + "/print_preview.png");
            dialog->reject();
        });
        frame->action(nettor::Command::PrintPreview)->trigger();
        QCOMPARE(shown, pages);
    }

    // A textured model's preview shows its images' colours, as long as
    // File > Print Textures is on; the item is only there for such models.
    void printPreviewShowsTheTexturesUntilPrintTexturesIsOff()
    {
        QAction* item = frame->action(nettor::Command::PrintTextures);
        QVERIFY(item && item->isCheckable());
        frame->updateCommandStates();
        QVERIFY(!item->isEnabled()); // the house has no images
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/textured_cube/textured_cube.obj")));
        unfoldCurrent();
        frame->updateCommandStates();
        QVERIFY(item->isEnabled());
        QVERIFY(item->isChecked());
        // Pixels of the red strip of the sides' image (220, 30, 30) in the preview.
        auto redInPreview = [&](const QString& shotName) {
            int red = -1;
            onNextModal([&](QWidget* w) {
                auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
                if (!dialog) {
                    w->close();
                    return;
                }
                QTest::qWait(300);
                const QImage shot = dialog->grab().toImage();
                const QByteArray shots = qgetenv("NETTOR_SCREENSHOT_DIR");
                if (!shots.isEmpty()) shot.save(QString::fromLocal8Bit(shots) + "/" + shotName);
                red = 0;
                for (int y = 0; y < shot.height(); ++y)
                    for (int x = 0; x < shot.width(); ++x) {
                        const QColor c = shot.pixelColor(x, y);
                        red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
                    }
                dialog->reject();
            });
            frame->action(nettor::Command::PrintPreview)->trigger();
            return red;
        };
        QVERIFY(redInPreview("print_preview_textures.png") > 20);
        item->trigger();
        QCOMPARE(nettor::appState().settings.printTextures, 0);
        QCOMPARE(redInPreview("print_preview_no_textures.png"), 0);
    }

    void ctrlPOpensThePrintDialogFromEveryPane()
    {
        unfoldCurrent();
        const QList<QWidget*> panes{frame->modelView(), frame->informationPanel(), frame->patternView()};
        for (QWidget* pane : panes) {
            QWidget* target = pane;
            if (!(pane->focusPolicy() & Qt::TabFocus))
                for (QWidget* child : pane->findChildren<QWidget*>())
                    if (child->focusPolicy() & Qt::TabFocus) {
                        target = child;
                        break;
                    }
            // The print dialog of the pane before gives the window back its
            // activation in its own time: without it no pane takes focus.
            frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(frame.get()));
            target->setFocus();
            QTRY_VERIFY(target->hasFocus());
            QString opened;
            onNextModal([&](QWidget* w) {
                opened = w->objectName();
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
                else w->close();
            });
            QTest::keyClick(target, Qt::Key_P, Qt::ControlModifier);
            QCOMPARE(opened, QStringLiteral("printDialog"));
        }
    }

    void aPrintJobPrintsItsRangeUpToTheLastPage()
    {
        unfoldCurrent();
        const int pages = widenToTwoColumns();
        QTemporaryDir dir;
        QPrinter& printer = frame->printCommands()->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("all.pdf"));
        printer.setPrintRange(QPrinter::AllPages);
        PrintCommands::printJob(printer);
        if (pdfPages(dir.filePath("all.pdf")) == -1) QSKIP("no pdfinfo");
        QCOMPARE(pdfPages(dir.filePath("all.pdf")), pages);
        // Each page shows its own window of the sheet: the house's middle
        // on the first, and on the second what lies beyond 18 cm, at its
        // left edge, with nothing in its middle.
        const QString all = dir.filePath("all.pdf");
        QVERIFY(linesInBand(all, 1, 8, 13) > 20);
        QVERIFY(linesInBand(all, 2, 0, 5) > 20);
        QCOMPARE(linesInBand(all, 2, 8, 13), 0);

        // From page 2 to a page past the end prints page 2 only.
        printer.setOutputFileName(dir.filePath("range.pdf"));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 9);
        PrintCommands::printJob(printer);
        QCOMPARE(pdfPages(dir.filePath("range.pdf")), 1);
        QVERIFY(messages.isEmpty());
    }

private:
    void unfoldCurrent()
    {
        nettor::AppState& state = nettor::appState();
        state.status.busy = true;
        nettor::unfoldAll(nettor::appState(), *state.model);
        QVERIFY(state.status.finished);
        messages.clear(); // "All faces are unfolded."
    }

    // Scales the pattern to 30 cm across (or 25 cm high when that is
    // less), so that it takes two columns of pages.
    static int widenToTwoColumns()
    {
        nettor::Model& m = *nettor::appState().model;
        m.patternScale = std::min(30.0 / m.sheetWidth, 25.0 / m.sheetHeight);
        return nettor::pageGrid(m).pages();
    }

    Document document;
    std::unique_ptr<MainWindow> frame;
    QStringList messages;
};

QTEST_MAIN(TestOutputCommands)
#include "test_output_commands.moc"
