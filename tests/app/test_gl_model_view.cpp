// The 3D model view on a real OpenGL context, driven as a user drives it:
// synthesized clicks at projected positions unfold the cube by hand, Cut
// Edge marks and unmarks, Ctrl+Z takes back the last Connect Edge, a right
// drag turns the model, and the rendered frame shows the states in colour.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "formats/temp_cut_edge_file.h"
#include "model/mesh.h"
#include "scene/projection.h"
#include "session/app_state.h"
#include "unfold/manual_unfolding.h"
#include "unfold/unfold_all.h"
#include "gl_test_main.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

using nettor::EdgeState;

nettor::Vec3 midpoint(const nettor::Edge& e)
{
    return (e.vertex1->position + e.vertex2->position) * 0.5;
}

int countState(const nettor::Model& m, EdgeState state)
{
    int n = 0;
    for (auto& object : m.objects)
        for (const nettor::Edge* e : object->edges) n += e->state == state;
    return n;
}

} // namespace

class TestGlModelView : public QObject {
    Q_OBJECT

private:
    nettor::Model& model() { return *nettor::appState().model; }
    ModelView* view() { return frame->modelView(); }

    void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, QPointF(at), view()->mapToGlobal(QPointF(at)), button, buttons, modifiers);
        QApplication::sendEvent(view(), &event);
    }
    void leftClick(QPoint at) { leftPressRelease(at, at); }
    void leftPressRelease(QPoint press, QPoint release)
    {
        sendMouse(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
    }
    // A right drag in a straight line, in steps, as a hand makes it.
    void rightDrag(QPoint from, QPoint to)
    {
        sendMouse(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        for (int i = 1; i <= 8; ++i)
            sendMouse(QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::RightButton);
        sendMouse(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }
    QPoint at(const nettor::Vec3& p) { return view()->widgetPosition(p).toPoint(); }
    QPoint centre() { return {view()->width() / 2, view()->height() / 2}; }

    // Whether the face is turned towards the viewer: counter-clockwise in
    // the window, as OpenGL decides what it culls.
    bool facesViewer(const nettor::Face& face) { return windowArea(face) > 1.0; }
    // Twice the signed area of the face's outline in the window.
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
    // The face turned to the viewer that is seen most from the side: lit
    // well below saturation, so that its colour shows.
    nettor::Face* obliqueFace()
    {
        nettor::Face* kept = nullptr;
        for (nettor::Face* f : model().objects[0]->faces)
            if (facesViewer(*f) && (!kept || windowArea(*f) < windowArea(*kept))) kept = f;
        return kept;
    }
    // A point inside face, close to the edge: the edge under a click there.
    QPoint nearEdgeInside(const nettor::Edge& edge, const nettor::Face& face)
    {
        return at(midpoint(edge) * 0.8 + face.centroid * 0.2);
    }
    const nettor::Face* visibleSideOf(const nettor::Edge& edge)
    {
        for (const nettor::HalfEdge* h : {edge.halfEdge1, edge.halfEdge2})
            if (h && facesViewer(*h->loop->face)) return h->loop->face;
        return nullptr;
    }
    // Clicks the first edge, among those the predicate accepts, that has a
    // face turned to the viewer; turns the model until there is one.
    bool clickEdgeWhere(const std::function<bool(const nettor::Edge&)>& wanted)
    {
        for (int turn = 0; turn < 8; ++turn) {
            for (auto& object : model().objects)
                for (const nettor::Edge* e : object->edges) {
                    if (!wanted(*e)) continue;
                    if (const nettor::Face* side = visibleSideOf(*e)) {
                        leftClick(nearEdgeInside(*e, *side));
                        return true;
                    }
                }
            rightDrag(centre(), centre() + QPoint(37 + 5 * turn, 23));
        }
        return false;
    }
    nettor::Face* frontFace()
    {
        for (nettor::Face* f : model().objects[0]->faces)
            if (facesViewer(*f)) return f;
        return nullptr;
    }
    QColor pixel(const QImage& image, QPoint logical)
    {
        const double ratio = view()->devicePixelRatioF();
        return image.pixelColor(QPoint(int(logical.x() * ratio), int(logical.y() * ratio)));
    }
    static bool isRed(const QColor& c) { return c.red() > 200 && c.green() < 70 && c.blue() < 70; }
    static bool isBrown(const QColor& c)
    {
        return c.red() > c.green() + 30 && c.green() > c.blue() && c.red() > 80;
    }
    static bool isPaleBlue(const QColor& c) { return c.blue() > c.red() + 10 && c.red() == c.green(); }

private slots:
    void init()
    {
        QSettings().clear();
        nettor::AppState& s = nettor::appState();
        s.replaceModel(nullptr);
        s.pickMode = nettor::NoPickMode;
        s.rightDragMode = nettor::RotationDrag;
        s.status.undoAvailable = false;
        s.settings = nettor::Settings{};
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(900, 640);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QApplication::setActiveWindow(frame);
        messages.clear();
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        QCOMPARE(nettor::appState().status.totalFaceCount, 6);
        // Turned so that three faces show.
        rightDrag(centre(), centre() + QPoint(45, 35));
    }
    void cleanup()
    {
        delete frame;
        frame = nullptr;
        delete document;
        document = nullptr;
        nettor::appState().replaceModel(nullptr);
    }

    void unfoldsTheCubeByClicks()
    {
        nettor::appState().choosePickMode(nettor::FirstFaceMode);
        nettor::Face* first = frontFace();
        QVERIFY(first);
        leftClick(at(first->centroid));
        QVERIFY(first->unfolded);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 1);
        QCOMPARE(countState(model(), EdgeState::Candidate), 4);

        // First Face again on the same face.
        leftClick(at(first->centroid));
        QCOMPARE(messages, QStringList{QStringLiteral("Specified face is already unfolded.")});

        nettor::appState().choosePickMode(nettor::ConnectEdgeMode);
        for (int step = 2; step <= 6; ++step) {
            QVERIFY2(clickEdgeWhere([](const nettor::Edge& e) { return e.state == EdgeState::Candidate; }),
                     "a candidate edge could be clicked");
            QCOMPARE(nettor::appState().status.unfoldedFaceCount, step);
        }
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(int(model().parts.size()), 1);
        QCOMPARE(countState(model(), EdgeState::Fold), 5);
        QCOMPARE(countState(model(), EdgeState::Cut), 7);
        QVERIFY2(!frame->undoEdgePickAction()->isEnabled(), "the step that completes is not undone");

        // Finished: clicks do nothing.
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        const int cuts = countState(model(), EdgeState::Cut);
        clickEdgeWhere([](const nettor::Edge& e) { return e.state == EdgeState::Cut; });
        QCOMPARE(countState(model(), EdgeState::Cut), cuts);
        QCOMPARE(countState(model(), EdgeState::MarkedCut), 0);
    }

    void cutEdgeMarksAndUnmarks()
    {
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        nettor::Face* front = frontFace();
        QVERIFY(front);
        nettor::Edge* edge = front->outerLoop.halfEdges[0]->edge;
        leftClick(nearEdgeInside(*edge, *front));
        QCOMPARE(edge->state, EdgeState::MarkedCut);
        leftClick(nearEdgeInside(*edge, *front));
        QCOMPARE(edge->state, EdgeState::Untouched);

        // On a candidate: marked, then it stays marked.
        nettor::appState().choosePickMode(nettor::FirstFaceMode);
        leftClick(at(front->centroid));
        QVERIFY(front->unfolded);
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        QCOMPARE(edge->state, EdgeState::Candidate);
        leftClick(nearEdgeInside(*edge, *front));
        QCOMPARE(edge->state, EdgeState::MarkedCut);
        QVERIFY(model().currentPart->bestCandidate != edge);
        leftClick(nearEdgeInside(*edge, *front));
        QCOMPARE(edge->state, EdgeState::MarkedCut);

        // First Face closes the part: its candidates become Blocked, which
        // cannot be marked.
        nettor::appState().chooseFirstFaceMode();
        QCOMPARE(countState(model(), EdgeState::Candidate), 0);
        QCOMPARE(countState(model(), EdgeState::Blocked), 3);
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        nettor::Edge* blocked = front->outerLoop.halfEdges[1]->edge;
        QCOMPARE(blocked->state, EdgeState::Blocked);
        leftClick(nearEdgeInside(*blocked, *front));
        QCOMPARE(blocked->state, EdgeState::Blocked);
    }

    void ctrlZTakesBackTheLastConnectOnce()
    {
        nettor::appState().choosePickMode(nettor::FirstFaceMode);
        leftClick(at(frontFace()->centroid));
        nettor::appState().choosePickMode(nettor::ConnectEdgeMode);
        QVERIFY(!frame->undoEdgePickAction()->isEnabled());
        QVERIFY(clickEdgeWhere([](const nettor::Edge& e) { return e.state == EdgeState::Candidate; }));
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 2);
        QVERIFY(frame->undoEdgePickAction()->isEnabled());
        const std::size_t points = model().pointPool.size();
        nettor::Edge* joined = model().lastEdge;

        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 1);
        QCOMPARE(joined->state, EdgeState::Candidate);
        QCOMPARE(model().pointPool.size(), points - 2);
        QVERIFY(!frame->undoEdgePickAction()->isEnabled());
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 1);
        QCOMPARE(model().pointPool.size(), points - 2);

        // A Cut Edge pick after a Connect Edge ends the undo.
        QVERIFY(clickEdgeWhere([](const nettor::Edge& e) { return e.state == EdgeState::Candidate; }));
        QVERIFY(frame->undoEdgePickAction()->isEnabled());
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        leftClick(QPoint(2, 2)); // beside the model
        QVERIFY(!frame->undoEdgePickAction()->isEnabled());
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 2);
    }

    void aDragOfThreePixelsPicksNothing()
    {
        nettor::appState().choosePickMode(nettor::FirstFaceMode);
        nettor::Face* front = frontFace();
        const QPoint p = at(front->centroid);
        leftPressRelease(p, p + QPoint(3, 0));
        QVERIFY(!front->unfolded);
        leftPressRelease(p, p + QPoint(0, -3));
        QVERIFY(!front->unfolded);
        leftPressRelease(p, p + QPoint(2, 2));
        QVERIFY(front->unfolded);
    }

    void startThenUndoGivesTheModelAsAtStart()
    {
        QTemporaryDir tmp;
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        nettor::appState().choosePickMode(nettor::CutEdgeMode);
        nettor::Face* front = frontFace();
        nettor::Edge* marked = front->outerLoop.halfEdges[2]->edge;
        leftClick(nearEdgeInside(*marked, *front));
        QCOMPARE(marked->state, EdgeState::MarkedCut);
        std::size_t markedIndex = 0;
        for (const nettor::Edge* e : model().objects[0]->edges) {
            if (e == marked) break;
            ++markedIndex;
        }

        // Start: the record, then the unfolding.
        QVERIFY(nettor::appState().saveBeforeUnfolding());
        nettor::unfoldAll(nettor::appState(), model());
        QVERIFY(nettor::appState().status.finished);
        QVERIFY(nettor::appState().startRecordSaved());
        nettor::Model* unfolded = &model();

        QVERIFY(nettor::appState().reloadBeforeUnfolding());
        QVERIFY(&model() != unfolded);
        QVERIFY(!nettor::appState().status.finished);
        QCOMPARE(nettor::appState().status.unfoldedFaceCount, 0);
        QCOMPARE(nettor::appState().status.totalFaceCount, 6);
        for (const nettor::Face* f : model().objects[0]->faces) QVERIFY(!f->unfolded);
        QCOMPARE(model().objects[0]->edges[markedIndex]->state, EdgeState::MarkedCut);
        QCOMPARE(countState(model(), EdgeState::MarkedCut), 1);
        QCOMPARE(frame->windowTitle(), QStringLiteral("cube - Nettor"));
        // The view took the model up afresh: camera reset, no face brown.
        QCOMPARE(view()->camera().cameraDistance(), -5.0);
        QCOMPARE(view()->camera().modelCentre(), nettor::Vec3(0, 0, 0));
        rightDrag(centre(), centre() + QPoint(45, 35));
        const QImage image = view()->grabFramebuffer();
        for (nettor::Face* f : model().objects[0]->faces)
            if (facesViewer(*f)) QVERIFY(!isBrown(pixel(image, at(f->centroid))));
        QVERIFY(isPaleBlue(pixel(image, at(obliqueFace()->centroid))));
        qunsetenv("TMPDIR");
    }

    void renderedFrameShowsTheStates()
    {
        QImage image = view()->grabFramebuffer();
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        QVERIFY(isPaleBlue(pixel(image, at(obliqueFace()->centroid))));

        // Three faces round the corner facing the viewer: the first two
        // joined to the start face, the edge between them a cut.
        std::vector<nettor::Face*> shown;
        for (nettor::Face* f : model().objects[0]->faces)
            if (facesViewer(*f)) shown.push_back(f);
        QCOMPARE(int(shown.size()), 3);
        nettor::appState().choosePickMode(nettor::FirstFaceMode);
        leftClick(at(shown[0]->centroid));
        nettor::appState().choosePickMode(nettor::ConnectEdgeMode);
        for (nettor::Face* other : {shown[1], shown[2]}) {
            nettor::Edge* between = nullptr;
            for (nettor::HalfEdge* h : shown[0]->outerLoop.halfEdges)
                if (h->twin && h->twin->loop->face == other) between = h->edge;
            QVERIFY(between);
            QCOMPARE(between->state, EdgeState::Candidate);
            leftClick(nearEdgeInside(*between, *other));
            QVERIFY(other->unfolded);
        }
        nettor::Edge* cut = nullptr;
        for (nettor::HalfEdge* h : shown[1]->outerLoop.halfEdges)
            if (h->twin && h->twin->loop->face == shown[2]) cut = h->edge;
        QVERIFY(cut);
        QCOMPARE(cut->state, EdgeState::Cut);

        image = view()->grabFramebuffer();
        QVERIFY2(isRed(pixel(image, at(midpoint(*cut)))), "a cut edge is red");
        for (nettor::Face* f : shown)
            QVERIFY2(isBrown(pixel(image, at(f->centroid))), "an unfolded face is brown");
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        // A candidate edge is green.
        const nettor::Edge* candidate = model().currentPart->bestCandidate;
        QVERIFY(candidate);
        if (visibleSideOf(*candidate)) {
            const QColor c = pixel(image, at(midpoint(*candidate)));
            QVERIFY(c.green() > 200 && c.red() < 70 && c.blue() < 70);
        }
    }

    void wheelAndDoubleClick()
    {
        const double before = view()->camera().cameraDistance();
        QWheelEvent wheel(QPointF(centre()), view()->mapToGlobal(QPointF(centre())), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view(), &wheel);
        QCOMPARE(view()->camera().cameraDistance(), before + 0.24);

        // A double click cycles the right-drag mode and tells the panel.
        QSignalSpy hints(document, &Document::updateHint);
        QTest::mouseDClick(view(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(nettor::appState().rightDragMode, nettor::ZoomDrag);
        QVERIFY(hints.count() >= 1);
        QCOMPARE(hints.last().at(0).toInt(), 3);

        // In Zoom mode a right drag down brings the model closer.
        const double zoomed = view()->camera().cameraDistance();
        rightDrag(centre(), centre() + QPoint(0, 40));
        QCOMPARE(view()->camera().cameraDistance(), zoomed + 0.4);
    }

private:
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlModelView>(argc, argv, "NettorGlTest");
}

#include "test_gl_model_view.moc"
