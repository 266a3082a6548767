// Pages at real size in the window: the layout chosen in the View menu, the
// pages drawn side by side, a part dragged to another page and put back with
// Ctrl+Z, turned with R, and a misplaced part counted in the status bar.
// With NETTOR_SCREENSHOT_DIR set it leaves pictures of the pages.
#include "app/document.h"
#include "app/main_window.h"
#include "app/pattern_view.h"
#include "app/settings_storage.h"
#include "app_test_helpers.h"
#include "gl_test_main.h"
#include "modal_driver.h"
#include "pattern/pages_edge_match.h"
#include "pattern/pages_flap_edit.h"
#include "pattern/pages_piece_split.h"
#include "session/app_state.h"
#include "support/shape_generators.h"
#include "unfold/unfold_all.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

class TestGlPagesEditing : public QObject {
    Q_OBJECT

    nettor::AppState& state() { return nettor::appState(); }
    PatternView* view() { return frame->patternView(); }
    const nettor::LaidOutPiece& piece(int i) { return state().pagesLayout->pieces.at(static_cast<std::size_t>(i)); }

    void shot(const QString& name)
    {
        QTest::qWait(50);
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            frame->grab().toImage().save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/" + name + ".png");
    }
    void sendMouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = view()->viewport();
        QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(target, &event);
    }
    // A point inside the piece's first face, in the view's viewport.
    QPointF insidePiece(int i)
    {
        const nettor::PagesLayout& layout = *state().pagesLayout;
        const nettor::LaidOutPiece& p = piece(i);
        nettor::MmPoint sum;
        const auto corners = layout.facePolygon(*p.faces.front());
        for (const nettor::MmPoint& c : corners) sum = {sum.x + c.x, sum.y + c.y};
        const double n = static_cast<double>(corners.size());
        return view()->viewportPoint(p.page, p.onPage({sum.x / n, sum.y / n}));
    }

private slots:
    void initTestCase()
    {
        QSettings().clear();
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(1200, 800);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame)); // the shortcuts need it
    }
    void cleanupTestCase()
    {
        delete frame;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void thePagesLayoutIsChosenInTheViewMenu()
    {
        QVERIFY(frame->openFile(apptest::writeObj(dir, "torus.obj", nettor::test::torusSpec(24, 12))));
        state().status.busy = true;
        nettor::unfoldAll(state(), *state().model);
        QVERIFY(state().status.finished);
        QVERIFY(!state().pagesLayout); // one sheet, as ever
        QVERIFY(frame->action(nettor::Command::LayoutOneSheet)->isChecked());

        nettor::PagesSettings setup = state().pagesSettings;
        setup.finishedSizeMm = 300.0;
        QVERIFY(state().setPagesSettings(setup));
        frame->action(nettor::Command::LayoutPages)->trigger();
        QVERIFY(state().pagesShown());
        frame->updateCommandStates();
        QVERIFY(frame->action(nettor::Command::LayoutPages)->isChecked());
        QVERIFY(!frame->action(nettor::Command::LayoutOneSheet)->isChecked());
        QVERIFY(state().pagesLayout->pageCount >= 2);
        QCOMPARE(view()->pagesSheet().columns, 2); // side by side
        QVERIFY(frame->action(nettor::Command::UndoLayoutChange)->isEnabled());

        // The first page is drawn as paper on the view's background.
        const QImage picture = view()->viewport()->grab().toImage();
        const QPointF corner = view()->viewportPoint(1, {2.0, 2.0});
        QCOMPARE(QColor(picture.pixel(corner.toPoint())), QColor(Qt::white));
        QCOMPARE(QColor(picture.pixel(2, 2)), PatternView::surroundColour());
        shot(QStringLiteral("pages_torus_300mm_a4"));
    }

    void ctrlWheelZoomsAboutTheCursorAndZoomOutTakesItBack()
    {
        const double before = view()->pixelsPerMm();
        const QPointF cursor = view()->viewportPoint(1, {150.0, 120.0});
        QWheelEvent wheel(cursor, view()->viewport()->mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view()->viewport(), &wheel);
        QVERIFY(std::abs(view()->pixelsPerMm() - before * 1.25) < 1e-9);
        const QPointF after = view()->viewportPoint(1, {150.0, 120.0});
        QVERIFY2(QLineF(after, cursor).length() < 1.5, "the point under the cursor stays there");
        frame->action(nettor::Command::ZoomOut)->trigger();
        QVERIFY(std::abs(view()->pixelsPerMm() - before) < 1e-9);
        view()->horizontalScrollBar()->setValue(0);
        view()->verticalScrollBar()->setValue(0);
    }

    void aPartDraggedToPageTwoMovesThereAndCtrlZPutsItBack()
    {
        QVERIFY(!frame->undoEdgePickAction()->isEnabled());
        int moved = -1;
        for (int i = 0; i < static_cast<int>(state().pagesLayout->pieces.size()) && moved < 0; ++i)
            if (piece(i).page == 1) moved = i;
        QVERIFY(moved >= 0);
        const nettor::LaidOutPiece before = piece(moved);
        const QPointF from = insidePiece(moved);
        const QPointF to = view()->viewportPoint(2, {105.0, 148.0});
        sendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(state().selectedPiece, moved);
        for (int i = 1; i <= 10; ++i)
            sendMouse(QEvent::MouseMove, from + (to - from) * i / 10.0, Qt::NoButton, Qt::LeftButton);
        shot(QStringLiteral("pages_torus_dragging"));
        sendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);

        const nettor::LaidOutPiece& after = piece(moved);
        QCOMPARE(after.page, 2);
        QVERIFY(after.movedByUser);
        const double px = view()->pixelsPerMm();
        const nettor::MmPoint page1 = view()->pagesSheet().pageOrigin(1), page2 = view()->pagesSheet().pageOrigin(2);
        QVERIFY(std::abs(after.offset.x - (before.offset.x + (to.x() - from.x()) / px + page1.x - page2.x)) < 1e-6);
        QVERIFY(std::abs(after.offset.y - (before.offset.y + (to.y() - from.y()) / px + page1.y - page2.y)) < 1e-6);

        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(piece(moved).page, before.page);
        QVERIFY(piece(moved).offset == before.offset);
        QCOMPARE(piece(moved).rotationDeg, before.rotationDeg);
        QVERIFY(!piece(moved).movedByUser);
        // Ctrl+Y moves it there again.
        QTest::keyClick(frame, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(piece(moved).page, 2);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(piece(moved).page, before.page);

        // While an edge pick can be taken back, Ctrl+Z is its alone.
        state().status.undoAvailable = true;
        frame->updateCommandStates();
        QVERIFY(frame->action(nettor::Command::UndoLayoutChange)->shortcuts().isEmpty());
        QCOMPARE(frame->undoEdgePickAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        state().status.undoAvailable = false;
        frame->updateCommandStates();
        QCOMPARE(frame->action(nettor::Command::UndoLayoutChange)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    }

    void rTurnsTheSelectedPartAQuarterTurn()
    {
        const int i = 0;
        const double rotation = piece(i).rotationDeg;
        const QPointF at = insidePiece(i);
        sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(state().selectedPiece, i);
        QTest::keyClick(view()->viewport(), Qt::Key_R);
        QVERIFY(std::abs(std::fmod(piece(i).rotationDeg - rotation + 360.0, 360.0) - 90.0) < 1e-9);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(piece(i).rotationDeg, rotation);
    }

    void shiftDragTurnsFreelyInStepsOfFiveDegreesWithCtrl()
    {
        const int i = 0;
        const double rotation = piece(i).rotationDeg;
        const QPointF from = insidePiece(i);
        const Qt::KeyboardModifiers turnFine = Qt::ShiftModifier | Qt::ControlModifier;
        sendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, turnFine);
        for (int k = 1; k <= 5; ++k)
            sendMouse(QEvent::MouseMove, from + QPointF(7 * k, 23 * k), Qt::NoButton, Qt::LeftButton, turnFine);
        sendMouse(QEvent::MouseButtonRelease, from + QPointF(35, 115), Qt::LeftButton, Qt::NoButton, turnFine);
        const double turn = std::fmod(piece(i).rotationDeg - rotation + 720.0, 360.0);
        QVERIFY(turn > 0.0);
        QVERIFY(std::abs(turn / 5.0 - std::round(turn / 5.0)) < 1e-9);
        QCOMPARE(piece(i).page, 1);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(piece(i).rotationDeg, rotation);
    }

    void pageSetupRefusesAMarginWithNoRoomAndLaysOutAgainOnOk()
    {
        messages.clear();
        QTimer::singleShot(0, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* margin = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("margin"));
            auto* size = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("finishedSize"));
            margin->setValue(150.0);
            QTest::keyClick(dialog, Qt::Key_Return);
            QVERIFY(dialog->isVisible()); // the core's message, and the dialog stays
            QCOMPARE(messages.size(), 1);
            margin->setValue(12.0);
            size->setValue(250.0);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        frame->action(nettor::Command::PageSetup)->trigger();
        QCOMPARE(state().pagesLayout->settings.marginMm, 12.0);
        QCOMPARE(state().pagesSettings.finishedSizeMm, 250.0);
        auto* shown = frame->findChild<QLabel*>(QStringLiteral("finishedSize"));
        QTRY_COMPARE(shown->text(), QStringLiteral("Finished size: 250.0 mm"));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state().pagesSettings.finishedSizeMm, 300.0);
        QTRY_COMPARE(shown->text(), QStringLiteral("Finished size: 300.0 mm"));
    }

    void aClickOnAFlapMovesItAcrossItsCutAndCtrlZMovesItBack()
    {
        const nettor::PagesLayout& layout = *state().pagesLayout;
        const QRectF visible(view()->viewport()->rect());
        const nettor::HalfEdge* side = nullptr;
        QPointF at;
        for (const nettor::LaidOutPiece& p : layout.pieces) {
            for (const nettor::LayoutFlap& f : p.flaps) {
                const nettor::MmPoint m{(f.corners[0].x + f.corners[1].x + f.corners[2].x + f.corners[3].x) / 4,
                                        (f.corners[0].y + f.corners[1].y + f.corners[2].y + f.corners[3].y) / 4};
                const QPointF point = view()->viewportPoint(p.page, p.onPage(m));
                if (side || !visible.contains(point) || nettor::flapAt(layout, p.page, p.onPage(m)).side != f.side)
                    continue;
                side = f.side;
                at = point;
            }
        }
        QVERIFY(side);
        sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!nettor::hasLayoutFlap(*state().pagesLayout, *side));
        QVERIFY(nettor::hasLayoutFlap(*state().pagesLayout, *side->twin));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(nettor::hasLayoutFlap(*state().pagesLayout, *side));
        QVERIFY(!nettor::hasLayoutFlap(*state().pagesLayout, *side->twin));
    }

    void hoveringACutLightsBothItsSides()
    {
        const nettor::PagesLayout& layout = *state().pagesLayout;
        const QRectF visible = QRectF(view()->viewport()->rect()).adjusted(4, 4, -4, -4);
        const auto middle = [&](const nettor::HalfEdge* h) {
            const int piece = nettor::pieceOfSide(layout, *h);
            const nettor::LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(piece)];
            const nettor::MmPoint a = p.onPage(layout.local(*h->point)), b = p.onPage(layout.local(*h->next->point));
            return view()->viewportPoint(p.page, {(a.x + b.x) / 2, (a.y + b.y) / 2});
        };
        const nettor::HalfEdge* side = nullptr;
        for (const nettor::LaidOutPiece& p : layout.pieces)
            for (const nettor::Face* f : p.faces)
                for (const nettor::HalfEdge* h : f->outerLoop.halfEdges) {
                    if (side || !h->twin || layout.edgeNumber(*h->edge) < 0 || layout.joined(*h)) continue;
                    if (nettor::pieceOfSide(layout, *h->twin) < 0) continue;
                    if (visible.contains(middle(h)) && visible.contains(middle(h->twin)) &&
                        QLineF(middle(h), middle(h->twin)).length() > 40)
                        side = h;
                }
        QVERIFY(side);
        sendMouse(QEvent::MouseMove, middle(side), Qt::NoButton, Qt::NoButton);
        QCOMPARE(state().litEdge, side->edge);
        QCOMPARE(frame->statusBar()->currentMessage(),
                 QString::fromStdString(nettor::edgeMatchText(layout, *side->edge)));
        QVERIFY(frame->statusBar()->currentMessage().startsWith(QStringLiteral("Edge ")));
        const QImage picture = view()->viewport()->grab().toImage();
        for (const nettor::HalfEdge* h : {side, static_cast<const nettor::HalfEdge*>(side->twin)})
            QCOMPARE(QColor(picture.pixel(middle(h).toPoint())), PatternView::litEdgeColour());
        shot(QStringLiteral("pages_torus_lit_edge"));
        sendMouse(QEvent::MouseMove, QPointF(3, 3), Qt::NoButton, Qt::NoButton);
        QVERIFY(!state().litEdge);
    }

    void cutEdgeSplitsAPieceAtAFoldAndConnectEdgeJoinsItAgain()
    {
        const auto clickButton = [this](const QString& text) {
            for (QPushButton* b : frame->findChildren<QPushButton*>())
                if (b->text() == text) QTest::mouseClick(b, Qt::LeftButton);
        };
        const auto middle = [this](const nettor::HalfEdge* h) {
            const nettor::PagesLayout& layout = *state().pagesLayout;
            const nettor::LaidOutPiece& p = piece(nettor::pieceOfSide(layout, *h));
            const nettor::MmPoint a = p.onPage(layout.local(*h->point)), b = p.onPage(layout.local(*h->next->point));
            return view()->viewportPoint(p.page, {(a.x + b.x) / 2, (a.y + b.y) / 2});
        };
        const auto click = [this](QPointF at) {
            sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            sendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        };
        clickButton(QStringLiteral("Cut Edge"));
        QCOMPARE(state().pickMode, 0);
        const std::size_t pieces = state().pagesLayout->pieces.size();
        std::vector<const nettor::HalfEdge*> folds;
        const QRectF visible = QRectF(view()->viewport()->rect()).adjusted(4, 4, -4, -4);
        for (const nettor::Face* f : piece(0).faces)
            for (const nettor::HalfEdge* h : f->outerLoop.halfEdges)
                if (state().pagesLayout->joined(*h) && visible.contains(middle(h))) folds.push_back(h);
        const nettor::HalfEdge* fold = nullptr;
        for (const nettor::HalfEdge* h : folds) {
            if (fold) break;
            click(middle(h));
            if (state().pagesLayout->pieces.size() == pieces + 1) fold = h;
        }
        QVERIFY(fold);
        QVERIFY(state().pagesLayout->edgeNumber(*fold->edge) > 0);
        shot(QStringLiteral("pages_torus_split"));

        clickButton(QStringLiteral("Connect Edge"));
        QCOMPARE(state().pickMode, 2);
        click(middle(fold));
        QCOMPARE(state().pagesLayout->pieces.size(), pieces);
        QCOMPARE(state().pagesLayout->edgeNumber(*fold->edge), -1);
        shot(QStringLiteral("pages_torus_joined"));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state().pagesLayout->pieces.size(), pieces + 1);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state().pagesLayout->pieces.size(), pieces);
        state().choosePickMode(-1);
    }

    void thePagesSettingsAreKeptInAGroupOfTheirOwn()
    {
        nettor::PagesSettings a3;
        QVERIFY(nettor::parsePaperName("A3", a3));
        a3.landscape = true;
        a3.marginMm = 15.0;
        a3.finishedSizeMm = 420.0;
        writeStoredPages({nettor::LayoutMode::Pages, a3});
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("Pages Layout/Paper")).toString(), QStringLiteral("A3"));
        QVERIFY(!settings.contains(QStringLiteral("Settings/Paper")));
        StoredPages read = readStoredPages();
        QVERIFY(read.mode == nettor::LayoutMode::Pages);
        QVERIFY(read.settings == a3);
        // A margin that leaves no paper is not taken up.
        settings.setValue(QStringLiteral("Pages Layout/MarginMm"), 400.0);
        settings.sync();
        read = readStoredPages();
        QVERIFY(read.settings == nettor::PagesSettings{});
    }

    void aPartDroppedOnAnotherIsOutlinedAndCounted()
    {
        auto* label = frame->findChild<QLabel*>(QStringLiteral("misplacedPieces"));
        QVERIFY(label);
        QVERIFY(label->text().isEmpty());
        int other = -1;
        for (int i = 1; i < static_cast<int>(state().pagesLayout->pieces.size()) && other < 0; ++i)
            if (piece(i).page == piece(0).page) other = i;
        QVERIFY(other > 0);
        const QPointF from = insidePiece(other), to = insidePiece(0);
        sendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        sendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QVERIFY(state().misplacedCount() >= 2);
        QCOMPARE(label->text(), QStringLiteral("%1 parts are misplaced").arg(state().misplacedCount()));
        shot(QStringLiteral("pages_torus_misplaced"));
        frame->action(nettor::Command::RepackPages)->trigger();
        QCOMPARE(state().misplaced.at(0), char(0));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QTRY_VERIFY(label->text().isEmpty());
    }

    void aFaceTooLargeForThePaperOffersTheLargestSizeThatFits()
    {
        // The message box itself, as the user sees it.
        document->setMessageSink({});
        const double before = state().pagesSettings.finishedSizeMm;
        QString offer, use;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QDoubleSpinBox*>(QStringLiteral("finishedSize"))->setValue(3000.0);
            onNextModal(
                [&](QWidget* modal) {
                    auto* box = qobject_cast<QMessageBox*>(modal);
                    QVERIFY(box);
                    offer = box->text();
                    auto* button = box->findChild<QPushButton*>(QStringLiteral("offer"));
                    QVERIFY(button);
                    use = button->text();
                    QTest::mouseClick(button, Qt::LeftButton);
                },
                dialog);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        frame->action(nettor::Command::PageSetup)->trigger();
        document->setMessageSink([this](const QString& m) { messages << m; });
        QVERIFY2(offer.contains(QStringLiteral("does not fit on the paper at this size")), qPrintable(offer));
        // "Use 389.5 mm": the size the message names.
        const QString size = use.section(QLatin1Char(' '), 1, 1);
        QVERIFY2(offer.endsWith(QStringLiteral(" is %1 mm.").arg(size)), qPrintable(offer + " / " + use));
        QCOMPARE(state().pagesSettings.finishedSizeMm, size.toDouble());
        QVERIFY(state().pagesShown());
        auto* shown = frame->findChild<QLabel*>(QStringLiteral("finishedSize"));
        QTRY_COMPARE(shown->text(), QStringLiteral("Finished size: %1 mm").arg(size));
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state().pagesSettings.finishedSizeMm, before);
    }

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlPagesEditing>(argc, argv, "NettorPagesTest");
}

#include "test_gl_pages_editing.moc"
