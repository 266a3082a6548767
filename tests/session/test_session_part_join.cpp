// Two parts of the finished unfolding joined across one of the model's
// cuts from the pages: the other part's faces placed again beside the
// clicked side, refused when faces would overlap, one step of the layout
// history; and the 3D view's pointer and clicks turned into lit edges and
// selected pieces.
#include "pattern/pages_dump.h"
#include "pattern/pages_flap_edit.h"
#include "session/commands.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/polygon_overlap.h"
#include "support/shape_generators.h"
#include "support/unfolding_invariants.h"
#include "unfold/background_unfolding.h"
#include "unfold/manual_unfolding.h"
#include "unfold/part_join.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace nettor {
namespace {

using namespace test;

struct JoinMessages : UiListener {
    void message(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

class SessionPartJoinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.listener = &messages;
        session.replaceModel(buildModel(torusSpec(24, 12)));
        session.takeUpModel();
        // One face cut out all round by hand: a part of its own, which fits
        // back into its place; the other parts were parted by overlaps.
        for (const HalfEdge* h : session.model->objects.front()->faces[63]->outerLoop.halfEdges)
            session.cutEdgePick(h->edge);
        unfoldOnCallingThread(session, *session.model);
        ASSERT_TRUE(session.status.finished);
        PagesSettings setup;
        setup.finishedSizeMm = 300.0;
        session.pagesSettings = setup;
        session.layOutFinishedPattern();
        ASSERT_TRUE(session.setLayoutMode(LayoutMode::Pages));
        ASSERT_GE(session.model->parts.size(), 3u);
        messages.texts.clear();
    }

    // The sides of the model's cuts between two parts, one side each.
    std::vector<const HalfEdge*> cutsBetweenParts() const
    {
        std::vector<const HalfEdge*> sides;
        for (const auto& object : session.model->objects)
            for (const Edge* e : object->edges)
                if (isModelCut(e->state) && e->halfEdge2 &&
                    e->halfEdge1->loop->face->part != e->halfEdge2->loop->face->part)
                    sides.push_back(e->halfEdge1);
        return sides;
    }

    // Every cut's number but the one given.
    std::map<const Edge*, int> numbersBut(const Edge* except) const
    {
        std::map<const Edge*, int> numbers;
        for (const auto& object : session.model->objects)
            for (const Edge* e : object->edges)
                if (e != except) numbers[e] = session.pagesLayout->edgeNumber(*e);
        return numbers;
    }

    Session session;
    JoinMessages messages;
};

TEST_F(SessionPartJoinTest, EveryCutBetweenPartsJoinsWithoutOverlapOrIsRefusedAndUndoRedoAreExact)
{
    int joined = 0, refused = 0;
    for (const HalfEdge* side : cutsBetweenParts()) {
        const std::string before = session.projectJson();
        const std::size_t parts = session.model->parts.size();
        const int keptPiece = pieceOfSide(*session.pagesLayout, *side);
        ASSERT_GE(keptPiece, 0);
        const LaidOutPiece kept = session.pagesLayout->pieces[static_cast<std::size_t>(keptPiece)];
        const std::map<const Edge*, int> others = numbersBut(side->edge);
        const bool undoBefore = session.layoutUndoAvailable();

        if (!session.joinPartsAt(side)) {
            ++refused;
            ASSERT_EQ(messages.texts, std::vector<std::string>{Session::kJoinOverlapMessage});
            messages.texts.clear();
            EXPECT_EQ(session.projectJson(), before);
            EXPECT_EQ(session.layoutUndoAvailable(), undoBefore);
            continue;
        }
        ++joined;
        EXPECT_TRUE(messages.texts.empty());
        EXPECT_EQ(session.model->parts.size(), parts - 1);
        EXPECT_EQ(unfoldingViolation(*session.model, session.status), "");
        EXPECT_EQ(overlappingFacePairs(*session.model, 1e-6).size(), 0u);
        // A fold now: its two sides share their corners, without number or flap.
        EXPECT_EQ(side->foldPartner, side->twin);
        EXPECT_EQ(side->point, side->twin->next->point);
        EXPECT_EQ(side->next->point, side->twin->point);
        const PagesLayout& layout = *session.pagesLayout;
        EXPECT_EQ(layout.edgeNumber(*side->edge), -1);
        EXPECT_FALSE(hasLayoutFlap(layout, *side) || hasLayoutFlap(layout, *side->twin));
        EXPECT_EQ(numbersBut(side->edge), others);
        // The clicked side's piece stays where it lay and takes the other's faces.
        const int piece = pieceOfSide(layout, *side);
        ASSERT_EQ(piece, pieceOfSide(layout, *side->twin));
        const LaidOutPiece& now = layout.pieces[static_cast<std::size_t>(piece)];
        EXPECT_EQ(now.page, kept.page);
        EXPECT_TRUE(now.offset == kept.offset);
        EXPECT_EQ(now.rotationDeg, kept.rotationDeg);
        EXPECT_GT(now.faces.size(), kept.faces.size());
        std::size_t faces = 0;
        for (const LaidOutPiece& p : layout.pieces) faces += p.faces.size();
        EXPECT_EQ(faces, static_cast<std::size_t>(session.model->faceCount));

        const std::string after = session.projectJson();
        ASSERT_TRUE(session.undoLayoutChange());
        EXPECT_EQ(session.projectJson(), before);
        ASSERT_TRUE(session.redoLayoutChange());
        EXPECT_EQ(session.projectJson(), after);
        ASSERT_TRUE(session.undoLayoutChange());
    }
    EXPECT_GT(joined, 0);
    EXPECT_GT(refused, 0);

    // Joins one after another, with moves between them, undo to the start
    // and redo to the end exactly.
    const std::string first = session.projectJson();
    int steps = 0;
    for (const HalfEdge* side : cutsBetweenParts()) {
        if (!isModelCut(side->edge->state) || side->loop->face->part == side->twin->loop->face->part) continue;
        if (!session.joinPartsAt(side)) continue;
        ASSERT_TRUE(session.movePiece(0, 1, {10.0 + steps, 20.0}));
        steps += 2;
    }
    messages.texts.clear();
    ASSERT_GE(steps, 2);
    EXPECT_EQ(unfoldingViolation(*session.model, session.status), "");
    EXPECT_EQ(overlappingFacePairs(*session.model, 1e-6).size(), 0u);
    const std::string last = session.projectJson();
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(session.undoLayoutChange());
    EXPECT_EQ(session.projectJson(), first);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(session.redoLayoutChange());
    EXPECT_EQ(session.projectJson(), last);
}

TEST_F(SessionPartJoinTest, TheThreeDViewLightsEdgesSelectsPiecesAndJoinsInConnectEdgeMode)
{
    const PagesLayout& layout = *session.pagesLayout;
    const HalfEdge* cut = cutsBetweenParts().front();
    // Pointing at a side lights its edge; pointing at nothing puts it out,
    // but not a light the pages gave.
    session.pointAtModelSide(cut);
    EXPECT_EQ(session.litEdge, cut->edge);
    session.pointAtModelSide(nullptr);
    EXPECT_EQ(session.litEdge, nullptr);
    session.lightEdge(cut->edge);
    session.pointAtModelSide(nullptr);
    EXPECT_EQ(session.litEdge, cut->edge);
    session.lightEdge(nullptr);

    // A click on a face selects its piece, to be scrolled to; its faces are lit.
    Face* face = const_cast<Face*>(layout.pieces.back().faces.front());
    const int reveal = session.selectionToReveal;
    session.choosePickMode(FirstFaceMode);
    session.finishedModelClick(face, nullptr);
    EXPECT_EQ(session.selectedPiece, static_cast<int>(layout.pieces.size()) - 1);
    EXPECT_EQ(session.selectionToReveal, reveal + 1);
    EXPECT_EQ(session.selectedFaces(), layout.pieces.back().faces);
    // Connect Edge on a side of a cut joins; on the one sheet nothing happens.
    session.choosePickMode(ConnectEdgeMode);
    const std::size_t parts = session.model->parts.size();
    HalfEdge* side = const_cast<HalfEdge*>(cut);
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::OneSheet));
    session.finishedModelClick(side->loop->face, side);
    EXPECT_EQ(session.model->parts.size(), parts);
    EXPECT_TRUE(session.selectedFaces().empty());
    ASSERT_TRUE(session.undoLayoutChange());
    session.finishedModelClick(side->loop->face, side);
    EXPECT_TRUE(session.model->parts.size() == parts - 1 || messages.texts.size() == 1u);

    // Cut Edge on a fold splits its piece there, as on the pages.
    session.choosePickMode(CutEdgeMode);
    const std::size_t pieces = session.pagesLayout->pieces.size();
    std::vector<HalfEdge*> folds;
    for (const Face* f : session.pagesLayout->pieces.front().faces)
        for (HalfEdge* h : f->outerLoop.halfEdges)
            if (session.pagesLayout->joined(*h)) folds.push_back(h);
    for (HalfEdge* h : folds)
        if (session.pagesLayout->pieces.size() == pieces) session.finishedModelClick(h->loop->face, h);
    EXPECT_EQ(session.pagesLayout->pieces.size(), pieces + 1);

    // Scale Up and Down are the one sheet's; the pages keep their finished size.
    EXPECT_FALSE(commandState(Command::ScaleUp, session).enabled);
    EXPECT_FALSE(commandState(Command::ScaleDown, session).enabled);
    ASSERT_TRUE(session.setLayoutMode(LayoutMode::OneSheet));
    EXPECT_TRUE(commandState(Command::ScaleUp, session).enabled);
    EXPECT_TRUE(commandState(Command::ScaleDown, session).enabled);
}

} // namespace
} // namespace nettor
