// The pictures of the two views drawn the quick way against the way they
// were drawn before: the 3D view from its vertex arrays against face by
// face in immediate mode, for the house, the dodecahedron half unfolded by
// hand (every edge state on show), a textured cube and a finished sphere;
// the one-sheet pattern played back from its recording and kept in tiles
// against drawn afresh, fitted and zoomed in and scrolled.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "model/mesh.h"
#include "session/app_state.h"
#include "state/scale_text.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "unfold/manual_unfolding.h"
#include "unfold/unfold_with_fewer_parts.h"
#include "gl_test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>

namespace {

// How many pixels of two pictures of one size differ at all.
int differingPixels(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int differ = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) differ += (p[column] & 0xFFFFFF) != (q[column] & 0xFFFFFF);
    }
    return differ;
}

// How many pixels are not the background's.
int drawnPixels(const QImage& image, QRgb background)
{
    const QImage x = image.convertToFormat(QImage::Format_RGB32);
    int drawn = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) drawn += (p[column] & 0xFFFFFF) != (background & 0xFFFFFF);
    }
    return drawn;
}

} // namespace

class TestGlViewPictures : public QObject {
    Q_OBJECT

private:
    Document* document = nullptr;
    MainWindow* frame = nullptr;

    ModelView* view() { return frame->modelView(); }
    nettor::Model& model() { return *nettor::appState().model; }

    void rightDrag(QPoint from, QPoint to)
    {
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(at), view()->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(view(), &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        for (int i = 1; i <= 8; ++i) send(QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }
    void turnModel()
    {
        const QPoint centre(view()->width() / 2, view()->height() / 2);
        rightDrag(centre, centre + QPoint(45, 35));
    }

    // Both ways of drawing the model view, the picture shared by at least
    // 99.5 % of the pixels and showing the model.
    void compareModelPictures(const char* what)
    {
        view()->setDrawPath(ModelView::DrawPath::Immediate);
        const QImage before = view()->grabFramebuffer();
        view()->setDrawPath(ModelView::DrawPath::Arrays);
        const QImage after = view()->grabFramebuffer();
        QVERIFY(!before.isNull());
        QCOMPARE(after.size(), before.size());
        const int pixels = before.width() * before.height();
        const int drawn = drawnPixels(before, qRgb(255, 255, 255));
        QVERIFY2(drawn > pixels / 50, what);
        const int differ = differingPixels(before, after);
        if (differ * 200 > pixels) {
            before.save(QStringLiteral("view_pictures_immediate.png"));
            after.save(QStringLiteral("view_pictures_arrays.png"));
        }
        QVERIFY2(differ * 200 <= pixels,
                 qPrintable(QStringLiteral("%1: %2 of %3 pixels differ").arg(what).arg(differ).arg(pixels)));
    }

    // The arrays handed over in steps that end inside batches and across
    // them: exactly the picture of the steps that hold them whole.
    void compareSteps()
    {
        view()->setDrawPath(ModelView::DrawPath::Arrays);
        const QImage whole = view()->grabFramebuffer();
        view()->setPrimitivesAStep(97);
        const QImage stepped = view()->grabFramebuffer();
        view()->setPrimitivesAStep(10000);
        QCOMPARE(differingPixels(whole, stepped), 0);
    }

    // The pattern view's sheet drawn afresh and from its tiles: the same
    // pixels but where lines meet, which a run of lines drawn in one call
    // may end a pixel apart (at most one pixel in 2000); the kept tiles
    // again exactly.
    void comparePatternPictures(const char* what)
    {
        PatternView* pattern = frame->patternView();
        pattern->setSheetDrawing(PatternView::SheetDrawing::Direct);
        const QImage before = pattern->viewport()->grab().toImage();
        pattern->setSheetDrawing(PatternView::SheetDrawing::Recorded);
        const QImage after = pattern->viewport()->grab().toImage();
        const QImage again = pattern->viewport()->grab().toImage(); // from the tiles kept
        const int pixels = before.width() * before.height();
        QVERIFY(drawnPixels(before, qRgb(255, 255, 255)) > pixels / 50);
        QCOMPARE(after.size(), before.size());
        const int differ = differingPixels(before, after);
        if (differ * 2000 > pixels) {
            before.save(QStringLiteral("pattern_direct_%1.png").arg(QString::fromLatin1(what).replace(QLatin1Char(' '), QLatin1Char('_'))));
            after.save(QStringLiteral("pattern_recorded_%1.png").arg(QString::fromLatin1(what).replace(QLatin1Char(' '), QLatin1Char('_'))));
        }
        QVERIFY2(differ * 2000 <= pixels,
                 qPrintable(QStringLiteral("%1: %2 of %3 pixels differ").arg(what).arg(differ).arg(pixels)));
        QCOMPARE(differingPixels(after, again), 0);
    }

    void finishUnfolding()
    {
        nettor::AppState& s = nettor::appState();
        s.status.busy = true;
        s.status.quiet = true;
        nettor::unfoldAutomatically(s, model());
        s.status.busy = false;
        s.status.quiet = false;
        QVERIFY(s.status.finished);
        nettor::notifyViews(nettor::ViewChange::UnfoldingFinished);
        QApplication::processEvents();
    }

private slots:
    void init()
    {
        QSettings().clear();
        nettor::AppState& s = nettor::appState();
        s.replaceModel(nullptr);
        s.settings = nettor::Settings{};
        document = new Document;
        document->setMessageSink([](const QString&) {});
        frame = new MainWindow(document);
        frame->resize(900, 640);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
    }
    void cleanup()
    {
        delete frame;
        frame = nullptr;
        delete document;
        document = nullptr;
        nettor::appState().replaceModel(nullptr);
    }

    void theHouseAndTheTexturedCube()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj")));
        turnModel();
        compareModelPictures("house");
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/textured_cube/textured_cube.obj")));
        QVERIFY(nettor::appState().showTexture);
        turnModel();
        compareModelPictures("textured cube");
    }

    void theDodecahedronHalfUnfoldedByHand()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/dodecahedron.obj")));
        turnModel();
        nettor::appState().settings.edgeColor = 1; // folds by kind
        compareModelPictures("dodecahedron taken up"); // the arrays are made for this state
        nettor::AppState& s = nettor::appState();
        nettor::firstFacePick(s, &model(), model().objects[0]->faces[0]);
        while (s.status.unfoldedFaceCount < 6) {
            nettor::Edge* candidate = nullptr;
            for (nettor::Edge* e : model().objects[0]->edges)
                if (!candidate && e->state == nettor::EdgeState::Candidate) candidate = e;
            QVERIFY(candidate);
            nettor::connectEdgePick(s, &model(), candidate);
        }
        for (nettor::Edge* e : model().objects[0]->edges)
            if (e->state == nettor::EdgeState::Untouched) {
                nettor::cutEdgePick(s, &model(), e);
                break;
            }
        QApplication::processEvents();
        compareModelPictures("dodecahedron half unfolded");
    }

    // A project opened again shows the model as it was turned when saved,
    // and the scale it was finished at.
    void aProjectOpenedAgainShowsItsViewAndScale()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/dodecahedron.obj")));
        turnModel();
        finishUnfolding();
        QApplication::processEvents();
        const QImage saved = view()->grabFramebuffer();
        const QString project = QDir(QDir::tempPath()).filePath(QStringLiteral("nettor_view_pictures.nettor"));
        nettor::appState().projectPath = project.toStdString(); // Save Project saves there
        QVERIFY(frame->saveProject());
        const QString scale = QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale));
        QVERIFY(scale != QStringLiteral("0"));

        // Another model finished in between shows a scale of its own.
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj")));
        finishUnfolding();
        QApplication::processEvents();
        QVERIFY(frame->openFile(project));
        QApplication::processEvents();
        QCOMPARE(differingPixels(saved, view()->grabFramebuffer()), 0);
        auto* field = frame->findChild<QLineEdit*>(QStringLiteral("scale"));
        QVERIFY(field);
        QCOMPARE(field->text(), scale);
        QFile::remove(project);
    }

    void aFinishedSphereAndItsPattern()
    {
        nettor::appState().replaceModel(nettor::test::buildModel(nettor::test::subdividedSphereSpec(3)));
        nettor::appState().takeUpModel();
        nettor::notifyViews(nettor::ViewChange::ModelReplaced);
        turnModel();
        compareModelPictures("sphere taken up");
        compareSteps();
        // Zoomed in until the eye is inside the sphere: nothing is hidden
        // by the near side any more.
        for (int i = 0; i < 40; ++i) {
            QWheelEvent wheel(QPointF(100, 100), view()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view(), &wheel);
        }
        const auto& corners = model().objects[0]->vertices;
        nettor::Vec3 centre;
        for (const nettor::Vertex* v : corners) centre = centre + v->position * (1.0 / static_cast<double>(corners.size()));
        const double radius = nettor::length(corners[0]->position - centre);
        QVERIFY2(nettor::length(view()->camera().eyePosition() - centre) < 0.9 * radius, "the eye is inside the sphere");
        compareModelPictures("sphere seen from inside");
        // Just outside, so near that the near plane cuts a window into the
        // near side: what lies behind it shows through.
        view()->placeCamera({}, centre + nettor::Vec3{0.0, 0.0, radius + 0.05 + nettor::kNearestCameraDistance},
                            nettor::kNearestCameraDistance);
        QVERIFY(nettor::length(view()->camera().eyePosition() - centre) > radius);
        compareModelPictures("sphere seen through the near plane");
        finishUnfolding();
        compareModelPictures("finished sphere");
        compareSteps();

        comparePatternPictures("fitted sheet");
        nettor::appState().settings.showEdgeIds = 1;
        nettor::notifyViews(nettor::ViewChange::SettingsChanged);
        comparePatternPictures("fitted sheet with numbers");
        PatternView* pattern = frame->patternView();
        for (int i = 0; i < 3; ++i) pattern->onUpdateHint(static_cast<int>(nettor::ViewChange::ZoomInRequested));
        pattern->horizontalScrollBar()->setValue(pattern->horizontalScrollBar()->maximum() / 2 + 37);
        pattern->verticalScrollBar()->setValue(pattern->verticalScrollBar()->maximum() / 3 + 11);
        comparePatternPictures("zoomed and scrolled sheet");
    }
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlViewPictures>(argc, argv, "NettorGlTest");
}

#include "test_gl_view_pictures.moc"
