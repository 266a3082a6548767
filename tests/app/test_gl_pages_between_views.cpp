// The finished torus on A4 pages at 300 mm beside its 3D view, driven with
// synthesized mouse input: the edge under the mouse in the 3D view lit on
// the pages and in the 3D view, a face clicked there selecting its part on
// the pages, and the model's own cuts joined on the pages in Connect Edge
// mode, or refused with the overlap message when faces would overlap.
// With NETTOR_SCREENSHOT_DIR set it leaves pictures of both views.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "app_test_helpers.h"
#include "gl_test_main.h"
#include "pattern/pages_edge_match.h"
#include "pattern/pages_flap_edit.h"
#include "scene/pick.h"
#include "session/app_state.h"
#include "support/shape_generators.h"
#include "unfold/manual_unfolding.h"
#include "unfold/part_join.h"
#include "unfold/unfold_all.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

class TestGlPagesBetweenViews : public QObject {
    Q_OBJECT

    nettor::AppState& state() { return nettor::appState(); }
    PatternView* pages() { return frame->patternView(); }
    ModelView* model3d() { return frame->modelView(); }

    void shot(const QString& name)
    {
        QTest::qWait(50);
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            frame->grab().toImage().save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/" + name + ".png");
    }
    void send(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void click(QWidget* target, QPointF at)
    {
        send(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        send(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    void chooseMode(const QString& text)
    {
        for (QPushButton* b : frame->findChildren<QPushButton*>())
            if (b->text() == text) QTest::mouseClick(b, Qt::LeftButton);
    }
    // The middle of a side where the pages show it, in the pattern view.
    QPointF onPages(const nettor::HalfEdge* h)
    {
        const nettor::PagesLayout& layout = *state().pagesLayout;
        const nettor::LaidOutPiece& p = layout.pieces.at(static_cast<std::size_t>(nettor::pieceOfSide(layout, *h)));
        const nettor::MmPoint a = p.onPage(layout.local(*h->point)), b = p.onPage(layout.local(*h->next->point));
        return pages()->viewportPoint(p.page, {(a.x + b.x) / 2, (a.y + b.y) / 2});
    }
    bool shownOnPages(QPointF at) { return QRectF(pages()->viewport()->rect()).adjusted(6, 6, -6, -6).contains(at); }
    // A cut whose sides the pages show apart, for which `take` holds: one
    // of the model's between two parts, or with anyCut any cut on the pages.
    const nettor::HalfEdge* modelCut(const std::function<bool(const nettor::HalfEdge*)>& take, bool anyCut = false,
                                     bool shown = true)
    {
        const nettor::PagesLayout& layout = *state().pagesLayout;
        for (const auto& object : state().model->objects)
            for (const nettor::Edge* e : object->edges) {
                const nettor::HalfEdge* h = e->halfEdge1;
                if (!e->halfEdge2 || nettor::pieceOfSide(layout, *h) < 0 || nettor::pieceOfSide(layout, *h->twin) < 0)
                    continue;
                const bool between = nettor::isModelCut(e->state) && h->loop->face->part != h->twin->loop->face->part;
                if (!(between || (anyCut && layout.edgeNumber(*e) > 0 && !layout.joined(*h)))) continue;
                const bool apart = shownOnPages(onPages(h)) && shownOnPages(onPages(h->twin)) &&
                                   QLineF(onPages(h), onPages(h->twin)).length() > 30;
                if ((apart || !shown) && take(h)) return h;
            }
        return nullptr;
    }
    static bool nearColour(const QImage& image, QPoint at, int radius, const QColor& colour)
    {
        for (int y = at.y() - radius; y <= at.y() + radius; ++y)
            for (int x = at.x() - radius; x <= at.x() + radius; ++x)
                if (image.rect().contains(x, y) && QColor(image.pixel(x, y)) == colour) return true;
        return false;
    }

private slots:
    void initTestCase()
    {
        QSettings().clear();
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(1280, 900);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame)); // the shortcuts need it
        QVERIFY(frame->openFile(apptest::writeObj(dir, "torus.obj", nettor::test::torusSpec(24, 12))));
        // One face cut out all round by hand: a part of its own, which fits
        // back into its place; the torus's other parts were parted by overlaps.
        for (nettor::HalfEdge* h : state().model->objects.front()->faces[63]->outerLoop.halfEdges)
            state().cutEdgePick(h->edge);
        state().status.busy = true;
        nettor::unfoldAll(state(), *state().model);
        QVERIFY(state().status.finished);
        nettor::PagesSettings setup = state().pagesSettings;
        setup.finishedSizeMm = 300.0;
        QVERIFY(state().setPagesSettings(setup));
        frame->action(nettor::Command::LayoutPages)->trigger();
        QVERIFY(state().pagesShown());
        messages.clear();
        shot(QStringLiteral("pages_torus_start"));
    }
    void cleanupTestCase()
    {
        delete frame;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void anEdgeUnderTheMouseInTheThreeDViewIsLitOnThePagesAndThere()
    {
        frame->updateCommandStates();
        QVERIFY(!frame->action(nettor::Command::ScaleUp)->isEnabled());
        const nettor::ViewSnapshot view = model3d()->readSnapshot();
        const double ratio = model3d()->devicePixelRatioF();
        QPointF at;
        const nettor::HalfEdge* cut = modelCut([&](const nettor::HalfEdge* h) {
            const nettor::Vec3 a = h->origin->position, b = h->next->origin->position;
            at = model3d()->widgetPosition((a + b) / 2.0);
            const nettor::HalfEdge* seen = nettor::pickSide(*state().model, view, int(std::lround(at.x() * ratio)),
                                                            int(std::lround(at.y() * ratio)), 6.0 * ratio);
            return seen && seen->edge == h->edge && QRectF(model3d()->rect()).contains(at);
        }, true);
        QVERIFY(cut);
        send(model3d(), QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        QCOMPARE(state().litEdge, cut->edge);
        const QString match = QString::fromStdString(nettor::edgeMatchText(*state().pagesLayout, *cut->edge));
        QVERIFY(match.startsWith(QStringLiteral("Edge ")));
        QCOMPARE(frame->statusBar()->currentMessage(), match);
        const QImage sheet = pages()->viewport()->grab().toImage();
        for (const nettor::HalfEdge* h : {cut, static_cast<const nettor::HalfEdge*>(cut->twin)})
            QCOMPARE(QColor(sheet.pixel(onPages(h).toPoint())), PatternView::litEdgeColour());
        const QImage model = model3d()->grabFramebuffer();
        QVERIFY(nearColour(model, (at * ratio).toPoint(), int(12 * ratio), PatternView::litEdgeColour()));
        shot(QStringLiteral("pages_torus_lit_from_3d"));

        // Away from every edge the light goes, on both views.
        send(model3d(), QEvent::MouseMove, QPointF(2, 2), Qt::NoButton, Qt::NoButton);
        QVERIFY(!state().litEdge);
        QVERIFY(frame->statusBar()->currentMessage().isEmpty());
        // An edge lit from the pages is lit in the 3D view too.
        send(pages()->viewport(), QEvent::MouseMove, onPages(cut), Qt::NoButton, Qt::NoButton);
        QCOMPARE(state().litEdge, cut->edge);
        QVERIFY(nearColour(model3d()->grabFramebuffer(), (at * ratio).toPoint(), int(12 * ratio),
                           PatternView::litEdgeColour()));
        send(pages()->viewport(), QEvent::MouseMove, QPointF(2, 2), Qt::NoButton, Qt::NoButton);
        QVERIFY(!state().litEdge);
    }

    void aFaceClickedInTheThreeDViewSelectsItsPartOnThePages()
    {
        chooseMode(QStringLiteral("First Face"));
        QCOMPARE(state().pickMode, nettor::FirstFaceMode);
        // The pages scrolled away from every part.
        pages()->horizontalScrollBar()->setValue(pages()->horizontalScrollBar()->maximum());
        pages()->verticalScrollBar()->setValue(pages()->verticalScrollBar()->maximum());
        const nettor::ViewSnapshot view = model3d()->readSnapshot();
        const double ratio = model3d()->devicePixelRatioF();
        const QPoint at(model3d()->width() / 2, model3d()->height() / 5);
        const nettor::Face* face = nettor::pickFace(*state().model, view, int(at.x() * ratio), int(at.y() * ratio));
        QVERIFY(face);
        // The tint is looked for inside the face, clear of its outline.
        nettor::Vec3 middle{0.0, 0.0, 0.0};
        for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) middle = middle + h->origin->position;
        const QPoint inside = model3d()->widgetPosition(middle / double(face->outerLoop.halfEdges.size())).toPoint();
        const QColor before(model3d()->grabFramebuffer().pixel(inside * ratio));
        click(model3d(), at);
        const int piece = nettor::pieceOfSide(*state().pagesLayout, *face->outerLoop.halfEdges.front());
        QVERIFY(piece >= 0);
        QCOMPARE(state().selectedPiece, piece);
        // The pattern view shows the part now.
        const nettor::PagesLayout& layout = *state().pagesLayout;
        const nettor::LaidOutPiece& p = layout.pieces.at(static_cast<std::size_t>(piece));
        QVERIFY(shownOnPages(pages()->viewportPoint(p.page, p.onPage(layout.local(*face->outerLoop.halfEdges[0]->point)))));
        // The face is tinted with the selection's colour in the 3D view.
        const QColor after(model3d()->grabFramebuffer().pixel(inside * ratio));
        QVERIFY2(after != before, "the selected part's faces are lit");
        QVERIFY(after.blue() > after.red());
        shot(QStringLiteral("pages_torus_selected_from_3d"));
        state().selectPiece(-1);
        pages()->horizontalScrollBar()->setValue(0);
        pages()->verticalScrollBar()->setValue(0);
    }

    void aModelCutClickedInConnectEdgeModeJoinsItsTwoParts()
    {
        chooseMode(QStringLiteral("Connect Edge"));
        QCOMPARE(state().pickMode, nettor::ConnectEdgeMode);
        // A side around the face cut out by hand whose join fits (tried, then
        // taken back): the face comes back to its place beside it.
        const nettor::HalfEdge* cut = nullptr;
        for (const nettor::HalfEdge* h : state().model->objects.front()->faces[63]->outerLoop.halfEdges)
            if (!cut && state().joinPartsAt(h->twin)) {
                state().undoLayoutChange();
                cut = h->twin;
            }
        messages.clear();
        QVERIFY(cut);
        // The pages scrolled to the side clicked.
        const QPointF side = onPages(cut);
        pages()->horizontalScrollBar()->setValue(pages()->horizontalScrollBar()->value() + int(side.x()) -
                                                 pages()->viewport()->width() / 2);
        pages()->verticalScrollBar()->setValue(pages()->verticalScrollBar()->value() + int(side.y()) -
                                               pages()->viewport()->height() / 2);
        QVERIFY(shownOnPages(onPages(cut)));
        const std::size_t parts = state().model->parts.size();
        const std::size_t pieces = state().pagesLayout->pieces.size();
        const int number = state().pagesLayout->edgeNumber(*cut->edge);
        QVERIFY(number > 0);
        const nettor::LaidOutPiece kept =
            state().pagesLayout->pieces.at(std::size_t(nettor::pieceOfSide(*state().pagesLayout, *cut)));
        shot(QStringLiteral("pages_torus_before_join"));
        click(pages()->viewport(), onPages(cut));
        QVERIFY(messages.isEmpty());
        QCOMPARE(state().model->parts.size(), parts - 1);
        QCOMPARE(state().pagesLayout->pieces.size(), pieces - 1);
        QCOMPARE(state().pagesLayout->edgeNumber(*cut->edge), -1);
        const nettor::LaidOutPiece& joined =
            state().pagesLayout->pieces.at(std::size_t(nettor::pieceOfSide(*state().pagesLayout, *cut)));
        QCOMPARE(joined.page, kept.page);
        QVERIFY(joined.offset == kept.offset);
        shot(QStringLiteral("pages_torus_joined_across_model_cut"));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state().model->parts.size(), parts);
        QCOMPARE(state().pagesLayout->edgeNumber(*cut->edge), number);
        pages()->horizontalScrollBar()->setValue(0);
        pages()->verticalScrollBar()->setValue(0);
    }

    void aJoinThatWouldOverlapShowsTheMessageAndChangesNothing()
    {
        const nettor::HalfEdge* cut = modelCut([&](const nettor::HalfEdge* h) {
            if (state().joinPartsAt(h)) {
                state().undoLayoutChange();
                return false;
            }
            return true;
        });
        QVERIFY(cut);
        messages.clear();
        const std::string before = state().projectJson();
        click(pages()->viewport(), onPages(cut));
        QCOMPARE(messages, QStringList{QString::fromLatin1(nettor::Session::kJoinOverlapMessage)});
        QCOMPARE(state().projectJson(), before);
        state().choosePickMode(-1);
    }

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlPagesBetweenViews>(argc, argv, "NettorPagesBetweenViewsTest");
}

#include "test_gl_pages_between_views.moc"
