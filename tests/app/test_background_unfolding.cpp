// Start on large models: the progress dialog follows the worker and closes on
// its own; Cancel stops the worker, the dialog closes only after it has been
// joined, the notice comes after that, and Start finishes the rest.
#include "app/document.h"
#include "app/information_panel.h"
#include "app/pattern_view.h"
#include "app/progress_dialog.h"
#include "app/unfold_runner.h"
#include "app_test_helpers.h"
#include "session/app_state.h"
#include "state/scale_text.h"
#include "support/shape_generators.h"
#include "support/unfolding_invariants.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

struct Sample {
    QString phase, task, percent;
    int barValue = 0, barMaximum = 0;
    bool modal = false;
};

struct Message {
    QString text;
    bool dialogOpen = false;
};

} // namespace

class TestBackgroundUnfolding : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    QWidget* window = nullptr;
    InformationPanel* panel = nullptr;
    PatternView* view = nullptr;
    UnfoldRunner* runner = nullptr;
    QPointer<ProgressDialog> dialog;
    QList<Message> messages;
    int dialogsOpened = 0;

    void clickStart() { QTest::mouseClick(panel->startButton(), Qt::LeftButton); }

private slots:
    void init()
    {
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) {
            messages << Message{m, QApplication::activeModalWidget() != nullptr};
        });
        window = new QWidget;
        auto* layout = new QHBoxLayout(window);
        panel = new InformationPanel(window);
        view = new PatternView(window);
        layout->addWidget(panel);
        layout->addWidget(view, 1);
        connect(document, &Document::updateHint, panel, &InformationPanel::onUpdateHint);
        connect(document, &Document::updateHint, view, &PatternView::onUpdateHint);
        connect(document, &Document::patternViewRepaintRequested, view->viewport(), qOverload<>(&QWidget::update));
        runner = new UnfoldRunner(document, window);
        connect(runner, &UnfoldRunner::progressDialogOpened, this, [this](ProgressDialog* d) {
            dialog = d;
            ++dialogsOpened;
        });
        window->resize(1000, 760);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        messages.clear();
        dialogsOpened = 0;
    }
    void cleanup()
    {
        delete window;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    // Twenty thousand faces, so that the worker is still busy when the
    // dialog has come up and been sampled, however fast the engine gets.
    void aSphereOfTwentyThousandFacesUnfoldsBehindTheDialog()
    {
        const QString path = apptest::writeObj(dir, "sphere.obj", nettor::test::subdividedSphereSpec(5));
        QVERIFY(document->openPath(path));
        messages.clear();
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("20480"));

        QList<Sample> samples;
        QTimer sampler;
        sampler.setInterval(20);
        connect(&sampler, &QTimer::timeout, this, [&] {
            if (!dialog || !dialog->isVisible()) return;
            samples << Sample{dialog->phaseText(), dialog->taskText(), dialog->percentText(),
                              dialog->progressBar()->value(), dialog->progressBar()->maximum(),
                              QApplication::activeModalWidget() == dialog};
        });
        sampler.start();
        clickStart(); // returns once the dialog has closed
        sampler.stop();

        QCOMPARE(dialogsOpened, 1);
        QVERIFY(!dialog); // closed and gone
        QVERIFY(!samples.isEmpty());
        const QRegularExpression task(QStringLiteral("^Unfolded faces (\\d+) / Faces 20480$"));
        const QRegularExpression percent(QStringLiteral("^\\[ [ \\d]{3}\\.\\d % \\]$"));
        int last = 0;
        for (const Sample& s : samples) {
            QVERIFY(s.modal);
            QCOMPARE(s.phase, QString());
            QCOMPARE(s.barMaximum, 20480);
            QVERIFY2(percent.match(s.percent).hasMatch(), qPrintable(s.percent));
            if (s.task == QStringLiteral("Arranging the unfolded patterns.")) continue;
            const auto m = task.match(s.task);
            QVERIFY2(m.hasMatch(), qPrintable(s.task));
            const int n = m.captured(1).toInt();
            QVERIFY(n >= last && n >= 1 && n <= 20480);
            QVERIFY(s.barValue <= n && s.barValue >= n - 1 - 20480 / 2);
            last = n;
        }

        QVERIFY(nettor::appState().status.finished);
        QVERIFY(!nettor::appState().status.busy);
        QVERIFY(!nettor::appState().status.quiet);
        QVERIFY(messages.isEmpty());
        QCOMPARE(panel->unfoldedCountEdit()->text(), QStringLiteral("20480"));
        // The scale chosen for this sheet, not the one before.
        QTRY_COMPARE(panel->findChild<QLineEdit*>("scale")->text(),
                     QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale)));
        QCOMPARE(nettor::test::unfoldingViolation(*nettor::appState().model, nettor::appState().status), std::string());

        // The command-line tool gives as many parts for the same file.
        QProcess cli;
        cli.start(QStringLiteral(NETTOR_CLI), {QStringLiteral("unfold"), path});
        QVERIFY(cli.waitForFinished(120000));
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        const auto parts = QRegularExpression(QStringLiteral("parts: (\\d+)")).match(out);
        QVERIFY2(parts.hasMatch(), qPrintable(out));
        QCOMPARE(panel->partCountEdit()->text(), parts.captured(1));

        // The sheet is on screen, cut lines in ink.
        const QImage image = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QColor(image.pixel(3, 3)), PatternView::surroundColour());
        const apptest::CutLineSample cuts =
            apptest::sampleCutLines(image, *nettor::appState().model, view->sheetView());
        QVERIFY(cuts.sides > 20);
        QVERIFY2(cuts.dark * 100 >= cuts.sides * 95,
                 qPrintable(QStringLiteral("%1 of %2").arg(cuts.dark).arg(cuts.sides)));
    }

    void cancelStopsTheWorkerBeforeTheDialogClosesAndStartFinishes()
    {
        QVERIFY(document->openPath(apptest::writeObj(dir, "big.obj", nettor::test::subdividedSphereSpec(4))));
        messages.clear();
        const int total = nettor::appState().status.totalFaceCount;

        bool clicked = false;
        struct AtClose {
            bool seen = false, busy = true, cancelRequested = true, quiet = true;
        } atClose;
        QTimer canceller;
        canceller.setInterval(5);
        connect(&canceller, &QTimer::timeout, this, [&] {
            if (!dialog || clicked || nettor::appState().status.unfoldedFaceCount < 300) return;
            clicked = true;
            connect(dialog, &QDialog::finished, this, [&] {
                const nettor::UnfoldStatus& s = nettor::appState().status;
                atClose = {true, s.busy, s.cancelRequested, s.quiet};
            });
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
            QVERIFY(!dialog->cancelButton()->isEnabled());
            // Escape does not close the dialog before the worker has ended
            // (checked when it closes, below).
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        canceller.start();
        clickStart();
        canceller.stop();

        QVERIFY(clicked);
        QVERIFY(atClose.seen);
        // The worker had ended and been joined when the dialog closed.
        QVERIFY(!atClose.busy);
        QVERIFY(!atClose.cancelRequested);
        QVERIFY(!atClose.quiet);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("Operation is suspended."));
        QVERIFY(!messages[0].dialogOpen);

        const nettor::UnfoldStatus& status = nettor::appState().status;
        QVERIFY(!status.finished);
        QVERIFY(status.unfoldedFaceCount >= 300 && status.unfoldedFaceCount < total);
        QCOMPARE(panel->unfoldedCountEdit()->text(), QString::number(status.unfoldedFaceCount));
        QCOMPARE(panel->partCountEdit()->text(), QString::number(status.partCount));
        QVERIFY(!panel->undoButton()->isEnabled());
        QCOMPARE(nettor::test::unfoldingViolation(*nettor::appState().model, nettor::appState().status), std::string());

        // Start again places every other face, each once, and says nothing.
        messages.clear();
        clickStart();
        QCOMPARE(dialogsOpened, 2);
        QVERIFY(status.finished);
        QVERIFY(messages.isEmpty());
        QCOMPARE(status.unfoldedFaceCount, total);
        QCOMPARE(panel->unfoldedCountEdit()->text(), QString::number(total));
        QCOMPARE(nettor::test::unfoldingViolation(*nettor::appState().model, nettor::appState().status), std::string());
    }
};

QTEST_MAIN(TestBackgroundUnfolding)
#include "test_background_unfolding.moc"
