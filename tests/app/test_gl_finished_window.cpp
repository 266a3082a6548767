// The whole window as a user meets it: closing it ends the program with the
// textured pattern window; a key held while a dialog took the focus leaves
// the right drag alone; the edge-pick undo does not outlive its model; the
// panel scrolls under the wheel and shows whole at the default size; the
// lock-key indicators; the icon on every window; how message boxes look and
// where they sit; Print Setup.
#include "app/application_icon.h"
#include "app/document.h"
#include "app/information_panel.h"
#include "app/lock_indicators.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "app/progress_dialog.h"
#include "app/texture_window.h"
#include "app/unfold_runner.h"
#include "formats/texture_command.h"
#include "scene/projection.h"
#include "session/app_state.h"
#include "state/scale_text.h"
#include "unfold/manual_unfolding.h"
#include "app_test_helpers.h"
#include "file_dialog_driver.h"
#include "gl_test_main.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <functional>

#include <X11/XKBlib.h>
// Names the X headers define that Qt's generated code also uses.
#undef None
#undef Bool
#undef Status
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Expose
#undef Unsorted
#undef CursorShape

namespace {

// What a message box showed.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* over = nullptr;
};

// Reads the next message box that shows, whatever dialogs come before it,
// runs behind() while it is up, and closes it with its OK button.
void answerMessageBox(SeenBox* seen, std::function<void()> behind = {})
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    const QDeadlineTimer deadline(60000);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, seen, deadline, behind] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            timer->stop();
            timer->deleteLater();
            *seen = {box->text(), box->windowTitle(), box->icon(),
                     box->parentWidget() ? box->parentWidget()->window() : nullptr};
            if (behind) behind();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) QTest::mouseClick(ok, Qt::LeftButton);
            return;
        }
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace

class TestGlFinishedWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;

    ModelView* view() { return frame->modelView(); }
    nettor::Model& model() { return *nettor::appState().model; }
    QScrollArea* panelScroller() { return frame->findChild<QScrollArea*>(QStringLiteral("panelScroller")); }

    void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(at), view()->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
    }
    void leftClick(QPoint at)
    {
        sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    // A right drag with no key held, in steps.
    void rightDrag(QPoint from, QPoint to)
    {
        sendMouse(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        for (int i = 1; i <= 8; ++i)
            sendMouse(QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::RightButton);
        sendMouse(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }
    QPointF at(const nettor::Vec3& p) { return view()->widgetPosition(p); }
    QPoint centre() { return {view()->width() / 2, view()->height() / 2}; }
    bool facesViewer(const nettor::Face& face)
    {
        const nettor::ViewSnapshot snap = view()->readSnapshot();
        double area = 0.0;
        const auto& hs = face.outerLoop.halfEdges;
        for (std::size_t i = 0; i < hs.size(); ++i) {
            const nettor::WindowPoint a = nettor::projectPoint(snap, hs[i]->origin->position);
            const nettor::WindowPoint b = nettor::projectPoint(snap, hs[(i + 1) % hs.size()]->origin->position);
            area += a.x * b.y - b.x * a.y;
        }
        return area > 1.0;
    }
    nettor::Face* frontFace()
    {
        for (nettor::Face* f : model().objects[0]->faces)
            if (facesViewer(*f)) return f;
        return nullptr;
    }
    // The direction from one corner of the model to another, in the window:
    // a move or a zoom keeps it, a turn changes it.
    QPointF cornerToCorner()
    {
        const auto& v = model().objects[0]->vertices;
        const QPointF d = at(v.back()->position) - at(v.front()->position);
        return d / std::hypot(d.x(), d.y());
    }
    // A square with texture coordinates, unfolded, with a texture image.
    void loadTexturedSquare()
    {
        QFile obj(dir.filePath("square.obj"));
        QVERIFY(obj.open(QIODevice::WriteOnly));
        obj.write("v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n");
        obj.close();
        QVERIFY(frame->openFile(obj.fileName()));
        QTest::mouseClick(frame->informationPanel()->startButton(), Qt::LeftButton);
        QVERIFY(nettor::appState().status.finished);
        QImage board(8, 8, QImage::Format_RGB32);
        board.fill(Qt::red);
        QVERIFY(board.save(dir.filePath("board.bmp"), "BMP"));
        QVERIFY(nettor::appState().openTexture(dir.filePath("board.bmp").toStdString()));
        frame->updateCommandStates();
        messages.clear();
    }
    void makeFrame()
    {
        frame = new MainWindow(document);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QApplication::setActiveWindow(frame);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        setApplicationIcon();
    }
    void init()
    {
        QSettings().clear();
        nettor::AppState& s = nettor::appState();
        s.replaceModel(nullptr);
        s.pickMode = nettor::NoPickMode;
        s.rightDragMode = 0;
        s.status.undoAvailable = false;
        s.status.finished = false;
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        makeFrame();
        messages.clear();
    }
    void cleanup()
    {
        delete TextureWindow::current();
        delete frame;
        frame = nullptr;
        delete document;
        document = nullptr;
        nettor::appState().replaceModel(nullptr);
        nettor::appState().status.finished = false;
        nettor::appState().showTexture = false;
    }

    void closingTheMainWindowEndsTheProgram()
    {
        loadTexturedSquare();
        QAction* textured = frame->action(nettor::Command::TextureWindow);
        QVERIFY(textured->isEnabled());
        textured->trigger();
        QPointer<TextureWindow> window = TextureWindow::current();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        // The user closes the main window while the program runs its loop.
        QTimer::singleShot(0, frame, [this] { frame->close(); });
        // Only if the loop did not end by itself: the test then fails.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(60000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!frame->isVisible());
        QVERIFY(!window); // destroyed, not just hidden
        QVERIFY(!nettor::appState().textureWindowOpen);
    }

    void aKeyHeldWhileADialogTookTheFocusNoLongerSteersTheDrag()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        rightDrag(centre(), centre() + QPoint(45, 35));
        view()->setFocus();
        QTRY_VERIFY(view()->hasFocus());

        // Ctrl goes down in the view, and with it O: the Open dialog takes
        // the keyboard, the keys come up there, and the user cancels.
        bool sawDialog = false;
        onNextModal([&sawDialog](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) return;
            sawDialog = true;
            QTest::keyRelease(dialog, Qt::Key_O, Qt::ControlModifier);
            QTest::keyRelease(dialog, Qt::Key_Control);
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            if (buttons && buttons->button(QDialogButtonBox::Cancel))
                QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            else
                dialog->reject();
        });
        QTest::keyPress(view(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyPress(view(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(sawDialog);

        // A right drag without a key now turns the model: the line from one
        // corner to another points elsewhere (a move would keep it).
        const QPointF before = cornerToCorner();
        rightDrag(centre(), centre() + QPoint(60, 0));
        const QPointF after = cornerToCorner();
        QVERIFY2(std::abs(before.x() * after.y() - before.y() * after.x()) > 0.05,
                 qPrintable(QStringLiteral("(%1, %2) then (%3, %4)")
                                .arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    }

    void theEdgePickUndoEndsWithItsModel()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        rightDrag(centre(), centre() + QPoint(45, 35));
        InformationPanel* panel = frame->informationPanel();
        QTest::mouseClick(panel->firstFaceButton(), Qt::LeftButton);
        nettor::Face* first = frontFace();
        QVERIFY(first);
        leftClick(at(first->centroid).toPoint());
        QVERIFY(first->unfolded);
        QTest::mouseClick(panel->connectEdgeButton(), Qt::LeftButton);
        // Connect across a candidate edge, clicked inside the first face.
        bool connected = false;
        for (const nettor::HalfEdge* h : first->outerLoop.halfEdges) {
            if (h->edge->state != nettor::EdgeState::Candidate) continue;
            const nettor::Vec3 mid = (h->edge->vertex1->position + h->edge->vertex2->position) * 0.5;
            leftClick(at(mid * 0.8 + first->centroid * 0.2).toPoint());
            connected = nettor::appState().status.unfoldedFaceCount == 2;
            if (connected) break;
        }
        QVERIFY(connected);
        QVERIFY(frame->undoEdgePickAction()->isEnabled());

        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        QVERIFY(!frame->undoEdgePickAction()->isEnabled());
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 0);
        // And the panel's Undo: this unfolding was by hand, there is no
        // record of a Start to go back to.
        QVERIFY(!panel->undoButton()->isEnabled());
    }

    void thePanelShowsWholeAndScrollsUnderTheWheel()
    {
        // First run: the whole panel shows, in a window that fits a
        // 1280 x 800 screen with its desktop bars.
        QCOMPARE(frame->size(), QSize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight));
        QVERIFY(frame->frameGeometry().height() <= 760 && frame->frameGeometry().width() <= 1280);
        QScrollArea* scroller = panelScroller();
        QVERIFY(scroller);
        QTRY_COMPARE(scroller->verticalScrollBar()->maximum(), 0);
        InformationPanel* panel = frame->informationPanel();
        const QRect refresh(panel->refreshButton()->mapTo(scroller->viewport(), QPoint(0, 0)),
                            panel->refreshButton()->size());
        QVERIFY(scroller->viewport()->rect().contains(refresh));

        // A smaller window: the wheel turned over a control of the panel,
        // as the window system reports it, scrolls the panel.
        frame->resize(900, 480);
        QTRY_VERIFY(scroller->verticalScrollBar()->maximum() > 0);
        QCOMPARE(scroller->verticalScrollBar()->value(), 0);
        QWidget* under = panel->faceCountEdit();
        const QPoint inWindow = under->mapTo(frame, QPoint(under->width() / 2, under->height() / 2));
        QCOMPARE(frame->childAt(inWindow), under);
        QWheelEvent wheel(QPointF(inWindow), frame->mapToGlobal(QPointF(inWindow)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        // As the window system sends it (and as QTest sends keys): marked
        // spontaneous, handed to the window.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(frame->windowHandle(), &wheel);
        QVERIFY(scroller->verticalScrollBar()->value() > 0);
    }

    void theStatusBarShowsTheLockKeys()
    {
        LockIndicators* locks = frame->lockIndicators();
        QVERIFY(locks);
        const QList<QLabel*> panes{locks->capsPane(), locks->numPane(), locks->scrollPane()};
        for (QLabel* pane : panes) {
            QVERIFY(pane->isVisible());
            QCOMPARE(pane->parentWidget(), frame->statusBar());
        }
        // In order from left to right, at the right of the prompt.
        QVERIFY(locks->capsPane()->x() < locks->numPane()->x());
        QVERIFY(locks->numPane()->x() < locks->scrollPane()->x());
        auto* prompt = frame->findChild<QLabel*>(QStringLiteral("statusPrompt"));
        QVERIFY(prompt && prompt->geometry().right() < locks->capsPane()->x());

        // The X server's Caps Lock: locked, then a key in the window.
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11 && x11->display());
        Display* display = x11->display();
        const auto lockCaps = [display](bool on) {
            XkbLockModifiers(display, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
            XSync(display, 0);
        };
        lockCaps(false);
        locks->refresh();
        QCOMPARE(locks->capsPane()->text(), QString());
        lockCaps(true);
        QTest::keyClick(frame->windowHandle(), Qt::Key_Shift);
        QTRY_COMPARE(locks->capsPane()->text(), QStringLiteral("CAP"));
        QCOMPARE(locks->scrollPane()->text(), QString());
        lockCaps(false);
        QTest::keyClick(frame->windowHandle(), Qt::Key_Shift);
        QTRY_COMPARE(locks->capsPane()->text(), QString());
    }

    void everyWindowCarriesTheIcon()
    {
        const QIcon icon = QApplication::windowIcon();
        for (int size : {16, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        // The drawn 16-pixel icon, not the large one scaled down: it has its
        // own pixels.
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(small.size(), QSize(16, 16));
        QCOMPARE(small, QImage(QStringLiteral(":/icons/nettor-16.png")).convertToFormat(small.format()));
        QCOMPARE(frame->windowIcon().cacheKey(), icon.cacheKey());

        loadTexturedSquare();
        frame->action(nettor::Command::TextureWindow)->trigger();
        QVERIFY(TextureWindow::current());
        QCOMPARE(TextureWindow::current()->windowIcon().cacheKey(), icon.cacheKey());

        // The progress dialog of an unfolding on the worker.
        QVERIFY(frame->openFile(apptest::writeObj(dir, "strip60.obj", apptest::stripSpec(60))));
        auto* runner = document->findChild<UnfoldRunner*>();
        QVERIFY(runner);
        qint64 dialogIcon = 0;
        connect(runner, &UnfoldRunner::progressDialogOpened, this,
                [&dialogIcon](ProgressDialog* d) { dialogIcon = d->windowIcon().cacheKey(); });
        QTest::mouseClick(frame->informationPanel()->startButton(), Qt::LeftButton);
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(dialogIcon, icon.cacheKey());
    }

    void messageBoxesWarnOfFailuresAndSitOverTheirWindow()
    {
        document->setMessageSink(nullptr);
        // A notice: information, over the main window.
        QVERIFY(frame->openFile(apptest::writeObj(dir, "strip4.obj", apptest::stripSpec(4))));
        SeenBox seen;
        // Behind the notice the window already shows the outcome: the scale
        // chosen for the sheet, and the pattern drawn on it.
        QString scaleBehind;
        int darkBehind = 0;
        answerMessageBox(&seen, [&] {
            scaleBehind = frame->informationPanel()->scaleEdit()->text();
            const QImage pattern = frame->patternView()->viewport()->grab().toImage();
            for (int y = 0; y < pattern.height(); ++y)
                for (int x = 0; x < pattern.width(); ++x) darkBehind += qGray(pattern.pixel(x, y)) < 100;
        });
        QTest::mouseClick(frame->informationPanel()->startButton(), Qt::LeftButton);
        QCOMPARE(seen.text, QStringLiteral("All faces are unfolded."));
        QCOMPARE(scaleBehind, QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale)));
        QVERIFY(scaleBehind != QStringLiteral("0"));
        QVERIFY2(darkBehind > 100, qPrintable(QString::number(darkBehind)));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.title, QStringLiteral("Nettor"));
        QCOMPARE(seen.over, frame);

        // A failure: a warning.
        seen = {};
        answerMessageBox(&seen);
        QVERIFY(!frame->openFile(dir.filePath("missing.obj")));
        QCOMPARE(seen.text, QStringLiteral("This file could not be read."));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.title, QStringLiteral("Nettor"));

        // The bitmap reader's failure has the caption "Error".
        QFile bad(dir.filePath("bad.bmp"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("BM") + QByteArray(60, '\x07'));
        bad.close();
        seen = {};
        answerMessageBox(&seen);
        nettor::appState().openTexture(bad.fileName().toStdString());
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.title, QStringLiteral("Error"));

        // Raised from the textured pattern window: over that window. Its
        // BMP save into a folder nobody may write in fails.
        document->setMessageSink([this](const QString& m) { messages << m; });
        loadTexturedSquare();
        document->setMessageSink(nullptr);
        frame->action(nettor::Command::TextureWindow)->trigger();
        TextureWindow* window = TextureWindow::current();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window));
        seen = {};
        answerMessageBox(&seen);
        answerFileDialog(QStringLiteral("/sys/pattern.bmp"));
        QAction* save = window->findChild<QAction*>(QStringLiteral("actionSaveBmp"));
        QVERIFY(save);
        save->trigger();
        QTRY_COMPARE(seen.text, QStringLiteral("File open ERROR"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.over, static_cast<QWidget*>(window));
    }

    void printSetupChoosesThePrinter()
    {
        QVERIFY(frame->openFile(apptest::writeObj(dir, "strip4.obj", apptest::stripSpec(4))));
        QTest::mouseClick(frame->informationPanel()->startButton(), Qt::LeftButton);
        QAction* setup = frame->action(nettor::Command::PrintSetup);
        QVERIFY(setup->isEnabled());
        QVERIFY(setup->statusTip().contains(QStringLiteral("printer")));
        QString title;
        bool printDialog = false;
        onNextModal([&](QWidget* w) {
            printDialog = qobject_cast<QPrintDialog*>(w) != nullptr;
            title = w->windowTitle();
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        });
        setup->trigger();
        QVERIFY(printDialog);
        QCOMPARE(title, QStringLiteral("Print Setup"));
    }
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlFinishedWindow>(argc, argv, "NettorFinishedWindowTest");
}

#include "test_gl_finished_window.moc"
