// The session's Pages layout edits: every change one step of the layout
// history, undone and redone exactly; misplaced pieces found, and repacking
// around the pieces the user placed.
#include "pattern/pages_dump.h"
#include "pattern/pages_edge_match.h"
#include "pattern/pages_flap_edit.h"
#include "pattern/pages_misplaced.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "unfold/background_unfolding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace nettor {
namespace {

using namespace test;

struct LayoutMessages : UiListener {
    void message(const std::string& text) override { texts.push_back(text); }
    void changed(ViewChange change) override { layoutChanges += change == ViewChange::LayoutChanged; }
    std::vector<std::string> texts;
    int layoutChanges = 0;
};

// The session's whole layout state as text.
std::string layoutState(const Session& s)
{
    std::string text = s.layoutMode == LayoutMode::Pages ? "pages\n" : "one sheet\n";
    text += "setup " + paperName(s.pagesSettings) + " " + std::to_string(s.pagesSettings.finishedSizeMm) + "\n";
    return text + (s.pagesLayout ? pagesLayoutDump(*s.pagesLayout) : std::string("no layout\n"));
}

class SessionLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.listener = &messages;
        session.replaceModel(buildModel(torusSpec(12, 16)));
        session.takeUpModel();
        unfoldOnCallingThread(session, *session.model);
        ASSERT_TRUE(session.status.finished);
        PagesSettings setup;
        setup.finishedSizeMm = 300.0;
        session.pagesSettings = setup;
        session.layOutFinishedPattern();
        ASSERT_FALSE(session.pagesLayout);
        ASSERT_TRUE(session.setLayoutMode(LayoutMode::Pages));
        ASSERT_TRUE(session.pagesLayout);
        ASSERT_GE(session.pagesLayout->pieces.size(), 2u);
        messages.texts.clear(); // "All faces are unfolded."
    }

    // A point inside the first face of a piece, on its page.
    MmPoint insideFirstFace(int piece) const
    {
        const PagesLayout& layout = *session.pagesLayout;
        const LaidOutPiece& p = layout.pieces[static_cast<std::size_t>(piece)];
        MmPoint sum;
        const auto corners = layout.facePolygon(*p.faces.front());
        for (MmPoint c : corners) sum = {sum.x + c.x, sum.y + c.y};
        return p.onPage({sum.x / corners.size(), sum.y / corners.size()});
    }

    Session session;
    LayoutMessages messages;
};

TEST_F(SessionLayoutTest, RandomEditsUndoToTheFirstLayoutAndRedoToTheLast)
{
    std::mt19937 rng(27);
    const std::string first = layoutState(session);
    int steps = 0;
    for (int i = 0; i < 200; ++i) {
        const int pieces = session.pagesLayout ? static_cast<int>(session.pagesLayout->pieces.size()) : 0;
        const int piece = pieces ? std::uniform_int_distribution<int>(0, pieces - 1)(rng) : 0;
        bool changed = false;
        switch (std::uniform_int_distribution<int>(0, 12)(rng)) {
        case 0: case 1: case 2: case 3: {
            const int pages = session.pagesLayout ? session.pagesLayout->pageCount : 1;
            std::uniform_real_distribution<double> at(-20.0, 250.0);
            changed = session.movePiece(piece, std::uniform_int_distribution<int>(1, pages + 1)(rng), {at(rng), at(rng)});
            break;
        }
        case 4: changed = session.turnPiece(piece, 90.0); break;
        case 5: changed = session.turnPiece(piece, std::uniform_real_distribution<double>(-180.0, 180.0)(rng)); break;
        case 6: changed = session.repackPages(false); break;
        case 7: changed = session.repackPages(true); break;
        case 8:
            changed = session.setLayoutMode(session.layoutMode == LayoutMode::Pages ? LayoutMode::OneSheet
                                                                                  : LayoutMode::Pages);
            break;
        case 10: case 11: case 12: {
            // A flap of the piece moved, hidden, or shown on a cut without one.
            if (!session.pagesLayout) break;
            const LaidOutPiece& p = session.pagesLayout->pieces[static_cast<std::size_t>(piece)];
            if (p.flaps.empty()) break;
            const HalfEdge* side = p.flaps[rng() % p.flaps.size()].side;
            changed = rng() % 2 ? session.flipFlap(side) : session.hideFlap(side);
            if (changed && rng() % 2) {
                ASSERT_TRUE(session.undoLayoutChange());
                changed = session.flipFlap(side) || session.showFlap(side);
            }
            break;
        }
        case 9: {
            PagesSettings next = session.pagesSettings;
            next.finishedSizeMm = std::uniform_int_distribution<int>(15, 40)(rng) * 10.0;
            next.landscape = rng() % 2;
            changed = session.setPagesSettings(next);
            break;
        }
        }
        steps += changed;
    }
    ASSERT_GT(steps, 150);
    EXPECT_EQ(messages.texts, std::vector<std::string>{});
    const std::string last = layoutState(session);
    ASSERT_NE(first, last);

    for (int i = 0; i < steps; ++i) ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(layoutState(session), first);
    // Before the first edit: the switch to Pages, and nothing before it.
    EXPECT_TRUE(session.undoLayoutChange());
    EXPECT_FALSE(session.undoLayoutChange());
    EXPECT_TRUE(session.redoLayoutChange());
    int redone = 0;
    while (session.redoLayoutChange()) ++redone;
    EXPECT_EQ(redone, steps);
    EXPECT_EQ(layoutState(session), last);

    // A new edit after an undo leaves nothing to redo.
    ASSERT_TRUE(session.undoLayoutChange());
    ASSERT_TRUE(session.turnPiece(0, 90.0));
    EXPECT_FALSE(session.layoutRedoAvailable());
}

TEST_F(SessionLayoutTest, OverlapsAndPiecesOffThePageAreMisplacedAndRepackingMovesOnlyTheLoosePieces)
{
    EXPECT_EQ(session.misplacedCount(), 0);
    // The second piece's first face over the first piece's first face.
    const MmPoint target = insideFirstFace(0);
    const MmPoint mine = insideFirstFace(1);
    const LaidOutPiece& second = session.pagesLayout->pieces[1];
    const int firstPage = session.pagesLayout->pieces[0].page;
    ASSERT_TRUE(session.movePiece(1, firstPage,
                                  {second.offset.x + target.x - mine.x, second.offset.y + target.y - mine.y}));
    ASSERT_EQ(session.misplaced.size(), session.pagesLayout->pieces.size());
    EXPECT_TRUE(session.misplaced[0]);
    EXPECT_TRUE(session.misplaced[1]);

    const LaidOutPiece placed = session.pagesLayout->pieces[1];
    ASSERT_TRUE(session.repackPages(false));
    EXPECT_FALSE(session.misplaced[0]);
    EXPECT_EQ(session.pagesLayout->pieces[1].offset, placed.offset);
    EXPECT_EQ(session.pagesLayout->pieces[1].page, placed.page);

    // Off the paper; Shift+Repack lays out everything afresh.
    ASSERT_TRUE(session.movePiece(2, 1, {-500.0, 10.0}));
    EXPECT_TRUE(session.misplaced[2]);
    ASSERT_TRUE(session.repackPages(true));
    EXPECT_EQ(session.misplacedCount(), 0);
    for (const LaidOutPiece& p : session.pagesLayout->pieces) EXPECT_FALSE(p.movedByUser);
}

TEST_F(SessionLayoutTest, AFlapMovesToTheOtherSideOfItsCutHidesAndShowsAgain)
{
    const PagesLayout& layout = *session.pagesLayout;
    const LaidOutPiece* flapped = nullptr;
    for (const LaidOutPiece& p : layout.pieces)
        if (!p.flaps.empty() && !flapped) flapped = &p;
    ASSERT_TRUE(flapped);
    const HalfEdge* side = flapped->flaps.front().side;
    const HalfEdge* other = side->twin;
    ASSERT_TRUE(other);
    EXPECT_FALSE(hasLayoutFlap(layout, *other));
    const std::size_t flapsBefore = [&] {
        std::size_t n = 0;
        for (const LaidOutPiece& p : layout.pieces) n += p.flaps.size();
        return n;
    }();

    ASSERT_TRUE(session.flipFlap(side));
    EXPECT_FALSE(hasLayoutFlap(*session.pagesLayout, *side));
    EXPECT_TRUE(hasLayoutFlap(*session.pagesLayout, *other));
    // The flap stands on the other side's base, outside its face.
    const int otherPiece = pieceOfSide(*session.pagesLayout, *other);
    ASSERT_GE(otherPiece, 0);
    for (const LayoutFlap& f : session.pagesLayout->pieces[static_cast<std::size_t>(otherPiece)].flaps) {
        if (f.side == other) {
            EXPECT_EQ(f.corners[0], session.pagesLayout->local(*other->point));
        }
    }

    ASSERT_TRUE(session.hideFlap(side)); // either side names the cut
    EXPECT_FALSE(hasLayoutFlap(*session.pagesLayout, *other));
    EXPECT_FALSE(session.hideFlap(side));
    ASSERT_TRUE(session.showFlap(side));
    EXPECT_TRUE(hasLayoutFlap(*session.pagesLayout, *side));
    EXPECT_FALSE(session.showFlap(other)); // one flap to a cut
    std::size_t flapsAfter = 0;
    for (const LaidOutPiece& p : session.pagesLayout->pieces) flapsAfter += p.flaps.size();
    EXPECT_EQ(flapsAfter, flapsBefore);

    // Both sides of the cut are found on the pages.
    const std::string text = edgeMatchText(*session.pagesLayout, *side->edge);
    EXPECT_EQ(text.rfind("Edge " + std::to_string(session.pagesLayout->edgeNumber(*side->edge)) + ": page ", 0), 0u)
        << text;
}

TEST_F(SessionLayoutTest, AFoldCutOnThePagesSplitsThePieceAndJoiningPutsItBackTogether)
{
    const PagesLayout& layout = *session.pagesLayout;
    // A fold of the largest piece whose cut leaves two pieces.
    std::size_t largest = 0;
    for (std::size_t i = 0; i < layout.pieces.size(); ++i)
        if (layout.pieces[i].faces.size() > layout.pieces[largest].faces.size()) largest = i;
    const std::size_t pieces = layout.pieces.size();
    const std::string whole = pagesLayoutDump(layout);
    std::vector<const HalfEdge*> folds;
    for (const Face* f : layout.pieces[largest].faces)
        for (const HalfEdge* h : f->outerLoop.halfEdges)
            if (layout.joined(*h)) folds.push_back(h);
    const HalfEdge* fold = nullptr;
    for (const HalfEdge* h : folds)
        if (!fold && session.splitPieceAt(h)) fold = h;
    ASSERT_TRUE(fold);
    const PagesLayout& split = *session.pagesLayout;
    ASSERT_EQ(split.pieces.size(), pieces + 1);
    const int number = split.edgeNumber(*fold->edge);
    EXPECT_GT(number, 0);
    EXPECT_TRUE(hasLayoutFlap(split, *fold) || hasLayoutFlap(split, *fold->twin));
    EXPECT_NE(pieceOfSide(split, *fold), pieceOfSide(split, *fold->twin));
    // Every face is in one piece still, and nothing is misplaced.
    std::size_t faces = 0;
    for (const LaidOutPiece& p : split.pieces) faces += p.faces.size();
    EXPECT_EQ(faces, static_cast<std::size_t>(session.model->faceCount));
    EXPECT_EQ(session.misplacedCount(), 0);
    // Numbers stay: no number of the model's cuts changed.
    EXPECT_EQ(split.edgeNumber(*fold->edge), number);

    ASSERT_TRUE(session.joinPiecesAt(fold->twin));
    EXPECT_EQ(session.pagesLayout->pieces.size(), pieces);
    EXPECT_EQ(session.pagesLayout->edgeNumber(*fold->edge), -1);
    EXPECT_FALSE(hasLayoutFlap(*session.pagesLayout, *fold) || hasLayoutFlap(*session.pagesLayout, *fold->twin));
    // (The model's own cuts join too: test_session_part_join.cpp.)
    ASSERT_TRUE(session.undoLayoutChange());
    ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(pagesLayoutDump(*session.pagesLayout), whole);
}

TEST_F(SessionLayoutTest, MovesBeyondTheLastPageMakeANewPageAndBadSetupsChangeNothing)
{
    const int pages = session.pagesLayout->pageCount;
    ASSERT_TRUE(session.movePiece(0, pages + 5, {20.0, 20.0}));
    EXPECT_EQ(session.pagesLayout->pieces[0].page, pages + 1);
    EXPECT_EQ(session.pagesLayout->pageCount, pages + 1);

    // A quarter turn keeps the piece's middle in place.
    const LaidOutPiece before = session.pagesLayout->pieces[0];
    ASSERT_TRUE(session.turnPiece(0, 90.0));
    const LaidOutPiece& after = session.pagesLayout->pieces[0];
    EXPECT_DOUBLE_EQ(std::fmod(after.rotationDeg - before.rotationDeg + 360.0, 360.0), 90.0);

    const std::string state = layoutState(session);
    PagesSettings bad = session.pagesSettings;
    bad.marginMm = 200.0;
    EXPECT_FALSE(session.setPagesSettings(bad));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(layoutState(session), state);
    PagesSettings huge = session.pagesSettings;
    huge.finishedSizeMm = 900000.0;
    EXPECT_FALSE(session.setPagesSettings(huge));
    EXPECT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(layoutState(session), state);

    // A finished pattern too large for the pages stays on the one sheet.
    session.pagesSettings = huge;
    session.layOutFinishedPattern();
    EXPECT_EQ(messages.texts.size(), 3u);
    EXPECT_EQ(session.layoutMode, LayoutMode::OneSheet);
    EXPECT_FALSE(session.pagesLayout);
    EXPECT_FALSE(session.layoutUndoAvailable());
    session.pagesSettings = bad;
    ASSERT_TRUE(session.setPagesSettings(PagesSettings{}));
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::Pages));

    // Flaps switched off in the settings leave the pages without flaps, a
    // step that can be undone.
    Settings noFlaps = session.settings;
    noFlaps.createFlaps = 0;
    session.settingsDialogClosed(true, noFlaps);
    for (const LaidOutPiece& p : session.pagesLayout->pieces) EXPECT_TRUE(p.flaps.empty());
    ASSERT_TRUE(session.undoLayoutChange());
    std::size_t flaps = 0;
    for (const LaidOutPiece& p : session.pagesLayout->pieces) flaps += p.flaps.size();
    EXPECT_GT(flaps, 0u);

    // A new model takes the history with it.
    EXPECT_TRUE(session.layoutUndoAvailable());
    session.replaceModel(buildModel(boxSpec()));
    EXPECT_FALSE(session.layoutUndoAvailable());
    EXPECT_FALSE(session.pagesLayout);
}

} // namespace
} // namespace nettor

namespace nettor {
namespace {

// After a save each kind of edit on the pages leaves unsaved changes; an
// edit that changes nothing, and opening the saved project, leave none.
// Offers of a finished size that fits, taken or not, as the window's
// message box gives them.
struct SizeOffers : LayoutMessages {
    bool offerFinishedSize(const std::string& text, double sizeMm) override
    {
        offers.emplace_back(text, sizeMm);
        return take;
    }
    bool take = false;
    std::vector<std::pair<std::string, double>> offers;
};

TEST_F(SessionLayoutTest, AFaceTooLargeOffersTheLargestSizeThatFitsAndTakingItLaysOutThePagesInOneStep)
{
    SizeOffers offers;
    session.listener = &offers;
    PagesSettings tooLarge = session.pagesSettings;
    tooLarge.finishedSizeMm = 2000.0;

    // Declined: nothing changes, and the offer came with the reason.
    const std::string before = layoutState(session);
    EXPECT_FALSE(session.setPagesSettings(tooLarge));
    ASSERT_EQ(offers.offers.size(), 1u);
    EXPECT_NE(offers.offers[0].first.find("does not fit on the paper at this size"), std::string::npos);
    const double offered = offers.offers[0].second;
    EXPECT_GT(offered, 0.0);
    EXPECT_LT(offered, 2000.0);
    EXPECT_NE(offers.offers[0].first.find(std::to_string(offered).substr(0, std::to_string(offered).find('.') + 2) + " mm"),
              std::string::npos)
        << "the message names the size offered";
    EXPECT_EQ(layoutState(session), before);
    EXPECT_TRUE(offers.texts.empty());

    // Taken: the pages at that size, one step of the history.
    offers.take = true;
    ASSERT_TRUE(session.setPagesSettings(tooLarge));
    EXPECT_EQ(offers.offers.size(), 2u);
    EXPECT_EQ(session.pagesSettings.finishedSizeMm, offered);
    ASSERT_TRUE(session.pagesLayout);
    EXPECT_EQ(session.misplacedCount(), 0);
    ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(layoutState(session), before);

    // On the way from the one sheet to the pages as well.
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::OneSheet));
    session.pagesSettings = tooLarge;
    session.pagesLayout.reset();
    const std::string oneSheet = layoutState(session);
    offers.take = false;
    EXPECT_FALSE(session.setLayoutMode(LayoutMode::Pages));
    EXPECT_EQ(layoutState(session), oneSheet);
    offers.take = true;
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::Pages));
    EXPECT_EQ(session.layoutMode, LayoutMode::Pages);
    EXPECT_EQ(session.pagesSettings.finishedSizeMm, offered);
    ASSERT_TRUE(session.pagesLayout);
    ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(layoutState(session), oneSheet);
    EXPECT_EQ(offers.offers.size(), 4u);
    EXPECT_TRUE(offers.texts.empty());
    session.listener = &messages;
}

TEST_F(SessionLayoutTest, EveryEditOnThePagesIsAnUnsavedChangeAndOpeningAProjectIsNot)
{
    const std::string path = test::writeTempFile("layout_changes.nettor", "");
    const auto savedThen = [&](const char* what, const std::function<bool()>& edit) {
        ASSERT_TRUE(session.saveProject(path)) << what;
        ASSERT_FALSE(session.unsavedChanges()) << what;
        ASSERT_TRUE(edit()) << what;
        EXPECT_TRUE(session.unsavedChanges()) << what;
    };
    const PagesLayout& layout = *session.pagesLayout;
    const HalfEdge* flapSide = nullptr;
    for (const LaidOutPiece& p : layout.pieces)
        if (!p.flaps.empty() && !flapSide) flapSide = p.flaps.front().side;
    ASSERT_TRUE(flapSide);
    savedThen("move", [&] { return session.movePiece(1, 1, {5.0, 7.0}); });
    savedThen("turn", [&] { return session.turnPiece(0, 90.0); });
    savedThen("repack", [&] { return session.repackPages(true); });
    savedThen("flap", [&] { return session.flipFlap(flapSide); });
    savedThen("hide flap", [&] { return session.hideFlap(flapSide); });
    savedThen("show flap", [&] { return session.showFlap(flapSide); });
    savedThen("undo", [&] { return session.undoLayoutChange(); });
    savedThen("redo", [&] { return session.redoLayoutChange(); });
    PagesSettings setup = session.pagesSettings;
    setup.finishedSizeMm = 250.0;
    savedThen("page setup", [&] { return session.setPagesSettings(setup); });
    savedThen("one sheet", [&] { return session.setLayoutMode(LayoutMode::OneSheet); });
    savedThen("pages", [&] { return session.setLayoutMode(LayoutMode::Pages); });

    ASSERT_TRUE(session.saveProject(path));
    EXPECT_FALSE(session.movePiece(0, session.pagesLayout->pieces[0].page, session.pagesLayout->pieces[0].offset));
    EXPECT_FALSE(session.unsavedChanges());

    Session reopened;
    LayoutMessages quiet;
    reopened.listener = &quiet;
    ASSERT_TRUE(reopened.openProject(path));
    ASSERT_TRUE(reopened.pagesLayout);
    EXPECT_FALSE(reopened.unsavedChanges());
    EXPECT_EQ(reopened.projectJson(), session.projectJson());
}

} // namespace
} // namespace nettor

namespace nettor {
namespace {

// Laying out handed to a runner on another thread: while the work runs the
// session is as it was before the change, the change then gives the same
// layout as laying out here; cancelled work changes nothing and tells
// nothing.
TEST_F(SessionLayoutTest, SlowLayoutWorkRunsElsewhereAndCancelledWorkChangesNothing)
{
    PagesSettings bigger = session.pagesSettings;
    bigger.finishedSizeMm = 420.0;
    Session here;
    here.replaceModel(buildModel(torusSpec(12, 16)));
    here.takeUpModel();
    unfoldOnCallingThread(here, *here.model);
    here.pagesSettings = bigger;
    here.layoutMode = LayoutMode::Pages;
    here.layOutFinishedPattern();
    ASSERT_TRUE(here.pagesLayout);

    int runs = 0;
    bool cancelNext = false;
    std::string duringWork;
    session.setSlowWorkRunner([&](const Session::SlowWork& work) {
        ++runs;
        duringWork = layoutState(session);
        std::atomic<bool> cancel{cancelNext};
        std::thread worker([&] { work(cancel); });
        worker.join();
    });

    // Page Setup, repacking all and the layout switch each go through it.
    const std::string before = layoutState(session);
    ASSERT_TRUE(session.setPagesSettings(bigger));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(duringWork, before);
    EXPECT_EQ(pagesLayoutDump(*session.pagesLayout), pagesLayoutDump(*here.pagesLayout));
    ASSERT_TRUE(session.movePiece(0, 1, {40.0, 40.0}));
    ASSERT_TRUE(session.repackPages(false));
    ASSERT_TRUE(session.repackPages(true));
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(pagesLayoutDump(*session.pagesLayout), pagesLayoutDump(*here.pagesLayout));

    // Cancelled: Page Setup, repacking and the switch back to Pages after a
    // change of the setup in the one sheet change nothing, silently.
    cancelNext = true;
    messages.texts.clear();
    const int changes = messages.layoutChanges;
    const std::string laidOut = layoutState(session);
    PagesSettings a3 = bigger;
    a3.finishedSizeMm = 500.0;
    EXPECT_FALSE(session.setPagesSettings(a3));
    EXPECT_FALSE(session.repackPages(true));
    ASSERT_TRUE(session.movePiece(0, 1, {30.0, 30.0}));
    EXPECT_FALSE(session.repackPages(false));
    ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(layoutState(session), laidOut);
    cancelNext = false;
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::OneSheet));
    ASSERT_TRUE(session.setPagesSettings(a3)); // no layout outside Pages
    cancelNext = true;
    const std::string oneSheet = layoutState(session);
    EXPECT_FALSE(session.setLayoutMode(LayoutMode::Pages));
    EXPECT_EQ(layoutState(session), oneSheet);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(messages.layoutChanges, changes + 4); // the move, its undo, the switch, the setup
}

} // namespace
} // namespace nettor
