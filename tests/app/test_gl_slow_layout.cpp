// Laying out a large pattern on pages from the View menu: the work runs on a
// worker behind a busy dialog while the window keeps being drawn, Cancel
// leaves the one sheet as it was, and without Cancel the pages come; either
// way the window has the keyboard again afterwards.
#include "app/document.h"
#include "app/main_window.h"
#include "app/pattern_view.h"
#include "app_test_helpers.h"
#include "gl_test_main.h"
#include "session/app_state.h"
#include "support/shape_generators.h"
#include "unfold/unfold_all.h"

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestGlSlowLayout : public QObject {
    Q_OBJECT

    nettor::AppState& state() { return nettor::appState(); }

    // Watches for the busy dialog while the View menu's Pages runs; with
    // cancel, clicks its Cancel button. Returns whether it showed, and how
    // often the pattern view was drawn while it did.
    struct Seen {
        bool dialog = false;
        int paintsWhileBusy = 0;
    };
    Seen switchToPages(bool cancel)
    {
        Seen seen;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            if (!seen.dialog) {
                seen.dialog = true;
                // The window is drawn while the work goes on.
                frame->patternView()->viewport()->repaint();
                ++seen.paintsWhileBusy;
                if (!cancel && qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR")) {
                    QTest::qWait(100); // the dialog drawn
                    QApplication::primaryScreen()->grabWindow(0).save(
                        qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/pages_busy_dialog.png");
                }
                if (cancel) {
                    QPushButton* button = dialog->findChild<QPushButton*>();
                    QVERIFY(button);
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        });
        watch.start();
        frame->action(nettor::Command::LayoutPages)->trigger(); // returns once the work has ended
        watch.stop();
        return seen;
    }

private slots:
    void initTestCase()
    {
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(1000, 700);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
    }
    void cleanupTestCase()
    {
        delete frame;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void aLargeLayoutRunsBehindABusyDialogAndCancelKeepsTheOneSheet()
    {
        QVERIFY(frame->openFile(apptest::writeObj(dir, "sphere.obj", nettor::test::subdividedSphereSpec(5))));
        state().status.busy = true;
        nettor::unfoldAll(state(), *state().model);
        QVERIFY(state().status.finished);
        nettor::PagesSettings setup = state().pagesSettings;
        setup.finishedSizeMm = 300.0;
        QVERIFY(state().setPagesSettings(setup)); // nothing to lay out on the one sheet
        messages.clear();

        const Seen cancelled = switchToPages(true);
        QVERIFY(cancelled.dialog);
        QCOMPARE(cancelled.paintsWhileBusy, 1);
        QVERIFY(state().layoutMode == nettor::LayoutMode::OneSheet);
        QVERIFY(!state().pagesLayout);
        QVERIFY(messages.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QApplication::activeWindow(), frame); // the keyboard is back

        const Seen done = switchToPages(false);
        QVERIFY(done.dialog);
        QVERIFY(state().pagesShown());
        QVERIFY(state().pagesLayout->pageCount >= 2);
        QVERIFY(messages.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QApplication::activeWindow(), frame);
    }

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlSlowLayout>(argc, argv, "NettorSlowLayoutTest");
}

#include "test_gl_slow_layout.moc"
