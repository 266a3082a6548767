// A new user's first session, step by step on the real window: open a model
// through the Open dialog, turn it, unfold a few faces by hand and take the
// last pick back, let Start finish the rest, change a setting, save the
// pattern as EPS; then larger models, up to a sphere of 5,120 faces that
// unfolds behind the progress dialog. With NETTOR_SCREENSHOT_DIR set it leaves a picture of each
// step there (the manual's pictures are made this way).
#include "app/document.h"
#include "app/information_panel.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "app_test_helpers.h"
#include "file_dialog_driver.h"
#include "scene/pick.h"
#include "session/app_state.h"
#include "state/scale_text.h"
#include "support/shape_generators.h"
#include "support/unfolding_invariants.h"
#include "gl_test_main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestGlUserWalkthrough : public QObject {
    Q_OBJECT

    ModelView* view() { return frame->modelView(); }
    nettor::Model& model() { return *nettor::appState().model; }
    int unfoldedCount() { return frame->findChild<QLineEdit*>("unfoldedCount")->text().toInt(); }

    void shot(const QString& name, const QImage& image)
    {
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            image.save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/" + name + ".png");
    }
    void shotOfWindow(const QString& name)
    {
        QTest::qWait(50);
        shot(name, frame->grab().toImage());
    }

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
    QPoint at(const nettor::Vec3& p) { return view()->widgetPosition(p).toPoint(); }

    // Twice the signed area of the face in the window: positive when it is
    // turned towards the viewer.
    double windowArea(const nettor::Face& face)
    {
        const nettor::ViewSnapshot snap = view()->readSnapshot();
        double area = 0.0;
        const auto& hs = face.outerLoop.halfEdges;
        for (std::size_t i = 0; i < hs.size(); ++i) {
            const nettor::WindowPoint a = nettor::projectPoint(snap, hs[i]->origin->position);
            const nettor::WindowPoint b = nettor::projectPoint(snap, hs[(i + 1) % hs.size()]->origin->position);
            area += a.x * b.y - b.x * a.y;
        }
        return area;
    }
    // A face turned well towards the viewer that the pick finds under its
    // own centre, or null.
    nettor::Face* visibleFace(bool unfolded)
    {
        const nettor::ViewSnapshot snap = view()->readSnapshot();
        nettor::Face* best = nullptr;
        for (const auto& object : model().objects)
            for (nettor::Face* f : object->faces) {
                if (f->unfolded != unfolded || windowArea(*f) < 200.0) continue;
                const nettor::WindowPoint p = nettor::projectPoint(snap, f->centroid);
                if (nettor::pickFace(model(), snap, int(p.x), int(p.y)) != f) continue;
                if (!best || windowArea(*f) > windowArea(*best)) best = f;
            }
        return best;
    }

private slots:
    void initTestCase()
    {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QSettings().clear();
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(1100, 760);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame)); // the shortcuts need it
    }
    void init()
    {
        // Each step goes on from the one before.
        if (QByteArray(QTest::currentTestFunction()) != "opensTheModelThroughTheDialog")
            QVERIFY(nettor::appState().model);
    }
    void cleanupTestCase()
    {
        delete frame;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void opensTheModelThroughTheDialog()
    {
        const QString house = QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj");
        answerFileDialog(house);
        QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(nettor::appState().model);
        QVERIFY(frame->windowTitle().contains(QStringLiteral("house")));
        QCOMPARE(frame->recentFiles().value(0), QFileInfo(house).absoluteFilePath());
        shotOfWindow(QStringLiteral("open"));
    }

    void aRightDragTurnsTheModel()
    {
        const QImage before = view()->grabFramebuffer();
        const QPoint from(view()->width() / 2, view()->height() / 2), to = from + QPoint(60, 40);
        sendMouse(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        for (int i = 1; i <= 8; ++i)
            sendMouse(QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::RightButton);
        sendMouse(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
        QVERIFY(view()->grabFramebuffer() != before);
        shotOfWindow(QStringLiteral("turned"));
    }

    void unfoldsByHandAndTakesTheLastPickBack()
    {
        QTest::mouseClick(frame->findChild<QPushButton*>("firstFace"), Qt::LeftButton);
        nettor::Face* first = visibleFace(false);
        QVERIFY(first);
        leftClick(at(first->centroid));
        QVERIFY(first->unfolded);
        QCOMPARE(unfoldedCount(), 1);

        // Connect Edge: a click inside a neighbour, close to the shared edge,
        // joins that neighbour across the edge.
        QTest::mouseClick(frame->findChild<QPushButton*>("connectEdge"), Qt::LeftButton);
        for (int round = 0; round < 4; ++round) {
            nettor::Face* next = nullptr;
            nettor::Edge* across = nullptr;
            const int before = unfoldedCount();
            for (const auto& object : model().objects) {
                for (nettor::Face* f : object->faces) {
                    if (!f->unfolded) continue;
                    for (nettor::HalfEdge* h : f->outerLoop.halfEdges)
                        if (h->twin && !h->twin->loop->face->unfolded && h->edge->state == nettor::EdgeState::Candidate &&
                            windowArea(*h->twin->loop->face) > 200.0) {
                            next = h->twin->loop->face;
                            across = h->edge;
                        }
                }
            }
            if (!next) break;
            const nettor::Vec3 mid = (across->vertex1->position + across->vertex2->position) * 0.5;
            leftClick(at(mid * 0.8 + next->centroid * 0.2));
            if (unfoldedCount() == before) break; // the click found another face in front
        }
        const int byHand = unfoldedCount();
        QVERIFY2(byHand >= 2, qPrintable(QString::number(byHand)));
        shotOfWindow(QStringLiteral("by_hand"));

        QVERIFY(frame->undoEdgePickAction()->isEnabled());
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, byHand - 1);
        QTRY_COMPARE(unfoldedCount(), byHand - 1);
        QVERIFY(!frame->undoEdgePickAction()->isEnabled()); // one step back only
    }

    void startUnfoldsTheRest()
    {
        QTest::mouseClick(frame->findChild<QPushButton*>("start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(nettor::appState().status.finished, 20000);
        QTRY_VERIFY(messages.contains(QStringLiteral("All faces are unfolded.")));
        QCOMPARE(unfoldedCount(), model().faceCount);
        QVERIFY(frame->action(nettor::Command::SaveEps)->isEnabled());
        shotOfWindow(QStringLiteral("unfolded"));
    }

    void theFileMenuListsTheCommands()
    {
        QMenu* file = nullptr;
        for (QAction* a : frame->menuBar()->actions())
            if (a->text() == QStringLiteral("&File")) file = a->menu();
        QVERIFY(file);
        file->popup(frame->mapToGlobal(QPoint(0, frame->menuBar()->height())));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        QTest::qWait(100);
        QVERIFY(file->actions().contains(frame->action(nettor::Command::SaveEps)));
        const QRect area = frame->frameGeometry().united(file->geometry());
        shot(QStringLiteral("file_menu"), QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                                      area.width(), area.height())
                                              .toImage());
        file->close();
    }

    void aSettingChangedInTheDialogRedrawsThePattern()
    {
        QVERIFY(!nettor::appState().settings.showEdgeIds);
        onNextModal([this](QWidget* dialog) {
            QTest::qWait(50);
            shot(QStringLiteral("settings"), dialog->grab().toImage());
            auto* box = dialog->findChild<QCheckBox*>("showEdgeIds");
            if (box) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        frame->action(nettor::Command::Setting)->trigger();
        QVERIFY(nettor::appState().settings.showEdgeIds);
        shotOfWindow(QStringLiteral("edge_numbers"));
    }

    void savesThePatternAsEps()
    {
        QTemporaryDir out;
        const QString eps = out.filePath("house.eps");
        // Without a window manager the closed dialog hands the focus back to no one.
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        answerFileDialog(eps);
        QTest::keyClick(frame, Qt::Key_E, Qt::ControlModifier);
        QFile file(eps);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%!PS-Adobe"));
    }

    void largerModelsUnfoldInTheWholeWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("dodecahedron") << QStringLiteral("dodecahedron");
        QTest::newRow("sphere") << QStringLiteral("sphere");
    }
    void largerModelsUnfoldInTheWholeWindow()
    {
        QFETCH(QString, name);
        nettor::appState().settings.showEdgeIds = 0;
        QTemporaryDir dir;
        const QString path = name == QStringLiteral("sphere")
                                 ? apptest::writeObj(dir, "sphere.obj", nettor::test::subdividedSphereSpec(4))
                                 : QStringLiteral(NETTOR_SAMPLES_DIR "/dodecahedron.obj");
        QVERIFY(frame->openFile(path));
        aRightDragTurnsTheModel();
        messages.clear();
        // A click on Start returns when the unfolding has ended, behind the
        // progress dialog for the sphere.
        QTest::mouseClick(frame->findChild<QPushButton*>("start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(nettor::appState().status.finished, 60000);
        QTRY_VERIFY(!nettor::appState().status.busy);
        QCOMPARE(unfoldedCount(), model().faceCount);
        QCOMPARE(nettor::test::unfoldingViolation(model(), nettor::appState().status), std::string());
        QTest::qWait(100);
        const QImage sheet = frame->patternView()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const apptest::CutLineSample cuts =
            apptest::sampleCutLines(sheet, model(), frame->patternView()->sheetView());
        QVERIFY(cuts.sides > 5);
        QVERIFY2(cuts.dark * 100 >= cuts.sides * 95, qPrintable(QStringLiteral("%1 of %2").arg(cuts.dark).arg(cuts.sides)));
        // The panel shows the scale chosen for this model's sheet.
        QCOMPARE(frame->findChild<QLineEdit*>("scale")->text(),
                 QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale)));
        shotOfWindow(name + QStringLiteral("_unfolded"));
    }

private:
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlUserWalkthrough>(argc, argv, "NettorWalkthroughTest");
}

#include "test_gl_user_walkthrough.moc"
