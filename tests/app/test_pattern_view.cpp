// The 2D pattern view: the finished sheet on screen, the growing part, the
// zoom commands and their limits, and a pane too narrow for its margins.
#include "app/document.h"
#include "app/pattern_view.h"
#include "app_test_helpers.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"
#include "unfold/start_part.h"
#include "unfold/attach_face.h"

#include <QScrollBar>
#include <QtTest>

class TestPatternView : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    PatternView* view = nullptr;
    QStringList messages;

    void open(const nettor::test::MeshSpec& spec, const QString& name)
    {
        QVERIFY(document->openPath(apptest::writeObj(dir, name, spec)));
        messages.clear();
    }
    void unfold()
    {
        nettor::appState().status.busy = true;
        nettor::unfoldAll(nettor::appState(), *nettor::appState().model);
        QVERIFY(nettor::appState().status.finished);
        messages.clear();
    }
    QImage picture() { return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init()
    {
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        view = new PatternView;
        connect(document, &Document::updateHint, view, &PatternView::onUpdateHint);
        view->resize(630, 921);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        messages.clear();
    }
    void cleanup()
    {
        delete view;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void theFinishedSheetFillsTheWidthAndShowsItsCutLines()
    {
        open(nettor::test::boxSpec(), "box.obj");
        QVERIFY(std::abs(view->sheetView().zoom - 600.0 / 21.0) < 1e-9);
        unfold();
        QImage image = picture();
        const nettor::SheetView& v = view->sheetView();
        // Surround, sheet border, white paper.
        QCOMPARE(QColor(image.pixel(5, 5)), PatternView::surroundColour());
        QCOMPARE(QColor(image.pixel(620, 300)), PatternView::surroundColour());
        QVERIFY(apptest::isDark(image.pixel(15, 300)));
        QVERIFY(apptest::isDark(image.pixel(300, 15)));
        const int bottom = static_cast<int>(15 + 29.7 * v.zoom);
        QCOMPARE(image.pixel(300, bottom - 5), qRgb(255, 255, 255));
        QCOMPARE(QColor(image.pixel(300, bottom + 5)), PatternView::surroundColour());

        const apptest::CutLineSample cuts = apptest::sampleCutLines(image, *nettor::appState().model, v);
        QVERIFY(cuts.sides >= 4);
        QCOMPARE(cuts.dark, cuts.sides);
        // The faces between the lines are white paper, not ink.
        int whiteCentres = 0, faces = 0;
        for (const auto& part : nettor::appState().model->parts)
            for (const nettor::Face* f : part->faces) {
                double x = 0, y = 0;
                for (const nettor::HalfEdge* h : f->outerLoop.halfEdges) {
                    const nettor::SheetPoint p = nettor::sheetPoint(*nettor::appState().model, *part, *h->point);
                    x += p.x / f->outerLoop.halfEdges.size();
                    y += p.y / f->outerLoop.halfEdges.size();
                }
                ++faces;
                whiteCentres += image.pixel(int(15 + v.zoom * x), int(15 + v.zoom * y)) == qRgb(255, 255, 255);
            }
        QCOMPARE(whiteCentres, faces);

        // Nothing is drawn while the engine is busy.
        nettor::appState().status.busy = true;
        const QImage busy = picture();
        nettor::appState().status.busy = false;
        QCOMPARE(QColor(busy.pixel(5, 5)), QColor(Qt::white));
    }

    void zoomStopsAtItsLimitsAndScrollsTheSheet()
    {
        open(nettor::test::boxSpec(), "box.obj");
        unfold();
        const double fit = view->sheetView().zoom;
        nettor::notifyViews(nettor::ViewChange::ZoomInRequested);
        QVERIFY(std::abs(view->sheetView().zoom - fit * 1.25) < 1e-9);
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
        QVERIFY(view->verticalScrollBar()->maximum() > 0);
        QVERIFY(messages.isEmpty());
        int steps = 0;
        while (messages.isEmpty() && steps < 100) {
            nettor::notifyViews(nettor::ViewChange::ZoomInRequested);
            ++steps;
        }
        QCOMPARE(messages, QStringList{QStringLiteral("No more zoom in.")});
        const double most = view->sheetView().zoom;
        nettor::notifyViews(nettor::ViewChange::ZoomInRequested);
        QCOMPARE(view->sheetView().zoom, most);
        // The sheet scrolls: its left border leaves the window.
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QImage scrolled = picture();
        QVERIFY(!apptest::isDark(scrolled.pixel(15, 300)));

        messages.clear();
        steps = 0;
        while (messages.isEmpty() && steps < 200) {
            nettor::notifyViews(nettor::ViewChange::ZoomOutRequested);
            ++steps;
        }
        QCOMPARE(messages, QStringList{QStringLiteral("No more zoom up.")});
        QVERIFY(view->sheetView().zoom < fit);
        QVERIFY(view->sheetView().zoom > 0);

        // A model loaded afresh fits the sheet again.
        open(nettor::test::boxSpec(), "box2.obj");
        QVERIFY(std::abs(view->sheetView().zoom - fit) < 1e-9);
    }

    void aPaneTenPixelsWideStillZoomsIn()
    {
        view->resize(10, 400);
        open(nettor::test::boxSpec(), "box.obj");
        unfold();
        const double zoom = view->sheetView().zoom;
        QVERIFY(zoom > 0);
        nettor::notifyViews(nettor::ViewChange::ZoomInRequested);
        QVERIFY(messages.isEmpty());
        QVERIFY(view->sheetView().zoom > zoom);
    }

    void theGrowingPartIsDrawnInSight()
    {
        open(apptest::stripSpec(30), "strip.obj");
        QImage empty = picture();
        int dark = 0;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x) dark += apptest::isDark(empty.pixel(x, y));
        QCOMPARE(dark, 0);
        nettor::Model& model = *nettor::appState().model;
        nettor::startPart(nettor::appState(), *model.objects[0]->faces[0]);
        for (int i = 0; i < 10; ++i) nettor::attachFace(nettor::appState(), *model.parts.back()->bestCandidate);
        const nettor::UnfoldedPart& part = *model.parts.back();
        QImage image = picture();
        dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (!apptest::isDark(image.pixel(x, y))) continue;
                ++dark;
                QVERIFY(x >= part.minX - 2 && x <= part.maxX + 2);
                QVERIFY(y >= part.minY - 2 && y <= part.maxY + 2);
            }
        QVERIFY(dark > 100);
        // The first corner started at the middle of the window.
        QVERIFY(part.minX <= view->sheetView().width / 2 + 1 && part.maxX >= view->sheetView().width / 2 - 1);
    }
};

QTEST_MAIN(TestPatternView)
#include "test_pattern_view.moc"
