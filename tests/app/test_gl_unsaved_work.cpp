// Unsaved work on the real window: a manual pick puts a star in the title,
// Open asks whether to save it (Cancel keeps everything), and a crashed run's recovery copy is offered at the next
// start. The crashed run is this program started again as a child process
// (with --edit-and-wait), with data folders of its own, and killed.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "file_dialog_driver.h"
#include "formats/project_file.h"
#include "gl_test_main.h"
#include "scene/pick.h"
#include "session/app_state.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

void saveShot(const QString& name, const QImage& image)
{
    if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
        image.save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/" + name + ".png");
}

void sendViewMouse(ModelView* view, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

// Picks the first face by hand: the First Face mode, then a click on the
// largest face the pick finds under its own centre. True when it unfolded.
bool pickFirstFace(MainWindow* frame)
{
    QTest::mouseClick(frame->findChild<QPushButton*>("firstFace"), Qt::LeftButton);
    ModelView* view = frame->modelView();
    // A right drag turns the model a little, as a user looks at it first.
    const QPoint from(view->width() / 2, view->height() / 2), to = from + QPoint(60, 40);
    sendViewMouse(view, QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
    for (int i = 1; i <= 8; ++i)
        sendViewMouse(view, QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::RightButton);
    sendViewMouse(view, QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    (void)view->grabFramebuffer();
    const nettor::ViewSnapshot snap = view->readSnapshot();
    const nettor::Model& model = *nettor::appState().model;
    nettor::Face* best = nullptr;
    double bestArea = 0.0;
    for (const auto& object : model.objects)
        for (nettor::Face* f : object->faces) {
            const nettor::WindowPoint p = nettor::projectPoint(snap, f->centroid);
            if (nettor::pickFace(model, snap, int(p.x), int(p.y)) != f) continue;
            double area = 0.0;
            const auto& hs = f->outerLoop.halfEdges;
            for (std::size_t i = 0; i < hs.size(); ++i) {
                const nettor::WindowPoint a = nettor::projectPoint(snap, hs[i]->origin->position);
                const nettor::WindowPoint b = nettor::projectPoint(snap, hs[(i + 1) % hs.size()]->origin->position);
                area += a.x * b.y - b.x * a.y;
            }
            if (area > bestArea) {
                best = f;
                bestArea = area;
            }
        }
    if (!best) {
        qWarning("no face found under its own centre");
        return false;
    }
    const QPoint at = view->widgetPosition(best->centroid).toPoint();
    sendViewMouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendViewMouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    if (!best->unfolded) qWarning("the click at %d,%d did not unfold the face", at.x(), at.y());
    return best->unfolded;
}

// The JSON a project of the current work holds, with the 3D view's camera
// as the window keeps it.
std::string workJson(MainWindow* frame)
{
    nettor::AppState& state = nettor::appState();
    const nettor::SceneCamera& camera = frame->modelView()->camera();
    state.camera = nettor::ProjectCamera{camera.trackball().orientation, camera.modelCentre(), camera.cameraDistance()};
    return state.projectJson();
}

// The child run: opens the model, picks by hand, writes the work's JSON to
// the given file and waits to be killed.
int editAndWait(int argc, char** argv, const QString& model, const QString& jsonOut)
{
    requestCompatibilityContext();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KR_Nettor"));
    QApplication::setApplicationName(QStringLiteral("Nettor"));
    Document document;
    document.setMessageSink([](const QString&) {});
    MainWindow frame(&document);
    frame.resize(900, 640);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame) || !frame.openFile(model)) return 2;
    QTest::qWait(100);
    if (!pickFirstFace(&frame) || !nettor::appState().unsavedChanges()) return 3;
    QFile out(jsonOut);
    if (!out.open(QIODevice::WriteOnly)) return 4;
    out.write(QByteArray::fromStdString(workJson(&frame)));
    out.close();
    return app.exec();
}

} // namespace

class TestGlUnsavedWork : public QObject {
    Q_OBJECT

    nettor::AppState& state() { return nettor::appState(); }

private slots:
    void initTestCase()
    {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(data.isValid());
        qputenv("XDG_DATA_HOME", data.filePath("share").toUtf8());
        state().replaceModel(nullptr);
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
        state().replaceModel(nullptr);
    }

    void aManualPickStarsTheTitleAndCancelOnOpenKeepsTheWork()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj")));
        QCOMPARE(frame->windowTitle(), QStringLiteral("house - Nettor"));
        QTest::qWait(100);
        QVERIFY(pickFirstFace(frame));
        QVERIFY(state().unsavedChanges());
        QTRY_COMPARE(frame->windowTitle(), QStringLiteral("house* - Nettor"));
        QTest::qWait(50);
        saveShot(QStringLiteral("unsaved_title"), frame->grab().toImage());

        const nettor::Model* model = state().model.get();
        const int unfolded = state().status.unfoldedFaceCount;
        const std::string before = state().projectJson();
        QString question;
        bool fileDialogShown = false;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                fileDialogShown = qobject_cast<QFileDialog*>(w) != nullptr;
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
                return;
            }
            question = box->text();
            QTest::qWait(50);
            saveShot(QStringLiteral("unsaved_question"), QGuiApplication::primaryScreen()->grabWindow(0).toImage());
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            QVERIFY(cancel && box->button(QMessageBox::Save) && box->button(QMessageBox::Discard));
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(question, QStringLiteral("Save the changes to house?"));
        QVERIFY(!fileDialogShown);
        QCOMPARE(state().model.get(), model);
        QCOMPARE(state().status.unfoldedFaceCount, unfolded);
        QCOMPARE(state().projectJson(), before);
        QVERIFY(state().unsavedChanges());
        QCOMPARE(frame->windowTitle(), QStringLiteral("house* - Nettor"));
    }

    void theNextStartOffersWhatAKilledRunLeft()
    {
        QTemporaryDir child;
        QVERIFY(child.isValid());
        const QString childData = child.filePath("share");
        const QString jsonPath = child.filePath("work.json");
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", childData);
        env.insert("XDG_CONFIG_HOME", child.filePath("config"));
        env.insert("HOME", child.filePath("home"));
        env.insert("NETTOR_RECOVERY_INTERVAL_MS", "200");
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  {"--edit-and-wait", QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj"), jsonPath});
        QVERIFY(run.waitForStarted());
        const QString copy = QDir(childData).filePath(
            QStringLiteral("KR_Nettor/Nettor/recovery-%1.nettor").arg(run.processId()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(jsonPath) && QFileInfo::exists(copy), 30000);
        QCOMPARE(run.state(), QProcess::Running);
        QCOMPARE(QFileInfo(copy).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
        run.kill();
        QVERIFY(run.waitForFinished());
        QFile json(jsonPath);
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QByteArray childWork = json.readAll();
        QVERIFY(!childWork.isEmpty());

        // The next start, with the child's data folder: the copy is offered.
        qputenv("XDG_DATA_HOME", childData.toUtf8());
        // This process still holds the first case's unsaved pick, so taking
        // the recovered work asks about it first: Discard.
        QString question, saveQuestion;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            question = box->text();
            onNextModal([&](QWidget* next) {
                auto* ask = qobject_cast<QMessageBox*>(next);
                if (!ask) return;
                saveQuestion = ask->text();
                if (QAbstractButton* discard = ask->button(QMessageBox::Discard)) QTest::mouseClick(discard, Qt::LeftButton);
                else ask->reject();
            }, box);
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) QTest::mouseClick(yes, Qt::LeftButton);
            else box->reject();
        });
        QVERIFY(state().unsavedChanges());
        frame->offerRecovery();
        QVERIFY2(question.startsWith(QStringLiteral("Recover unsaved work from ")) && question.endsWith('?'),
                 qPrintable(question));
        QCOMPARE(saveQuestion, QStringLiteral("Save the changes to house?"));
        QCOMPARE(QByteArray::fromStdString(workJson(frame)), childWork);
        // Recovered work is unsaved and belongs to no project; the killed
        // run's copy is gone, this process keeps its own.
        QVERIFY(state().unsavedChanges());
        QVERIFY(state().projectPath.empty());
        QCOMPARE(frame->windowTitle(), QStringLiteral("house* - Nettor"));
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(QFileInfo::exists(MainWindow::recoveryCopyPath()));
        qputenv("XDG_DATA_HOME", data.filePath("share").toUtf8());
    }

private:
    QTemporaryDir data;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--edit-and-wait") == 0) {
        int childArgc = 1;
        return editAndWait(childArgc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    return runGlTest<TestGlUnsavedWork>(argc, argv, "Nettor");
}

#include "test_gl_unsaved_work.moc"
