// Automatic unfolding over whole models.
#include "formats/pages_outputs.h"
#include "formats/pattern_json.h"
#include "pattern/pages_dump.h"
#include "pattern/pages_layout.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/background_unfolding.h"
#include "unfold/finish_unfolding.h"
#include "unfold/start_part.h"
#include "unfold/unfold_all.h"

#include <set>
#include <thread>

using namespace nettor;
using namespace nettor::test;

namespace {

class UnfoldAllTest : public UnfoldTest {};

// Asks for a cancel once a number of faces have been placed.
class CancellingListener : public RecordingListener {
public:
    CancellingListener(Session& session, int after) : RecordingListener(session), session_(session), after_(after) {}
    void countsChanged() override
    {
        RecordingListener::countsChanged();
        if (--after_ == 0) session_.status.cancelRequested = true;
    }

private:
    Session& session_;
    int after_;
};

} // namespace

TEST_F(UnfoldAllTest, SeparateObjectsGetPartsOfTheirOwn)
{
    Model& m = take(buildModel({boxSpec(), boxSpec({3, 0, 0}, {4, 1, 1}), lPrismSpec()}));
    session.status.busy = true;
    EXPECT_FALSE(unfoldAll(session, m));
    std::set<const MeshObject*> objects;
    for (auto& part : m.parts) {
        for (Face* f : part->faces) EXPECT_EQ(f->object, part->faces[0]->object);
        objects.insert(part->faces[0]->object);
    }
    EXPECT_EQ(objects.size(), 3u);
    EXPECT_EQ(session.status.unfoldedFaceCount, m.faceCount);
    EXPECT_EQ(session.status.partCount, static_cast<int>(m.parts.size()));
}

TEST_F(UnfoldAllTest, WithoutOverlapCheckEachConnectedGroupIsOnePart)
{
    session.overlapCheck = 0;
    Model& m = take(buildModel({subdividedSphereSpec(2), torusSpec(12, 8),
                                translated(boxSpec(), {5, 0, 0})}));
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_EQ(m.parts.size(), 3u);
    EXPECT_EQ(countState(m, EdgeState::Blocked), 0);
}

TEST_F(UnfoldAllTest, AManuallyStartedPartGrowsFirst)
{
    Model& m = take(boxSpec());
    Face& side = *m.objects[0]->faces[3];
    startPart(session, side);
    session.status.undoAvailable = true;
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_FALSE(session.status.undoAvailable);
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0]->faces[0], &side);
    EXPECT_EQ(m.parts[0]->faceCount, 6);
}

TEST_F(UnfoldAllTest, CancelStopsAfterThePlacedFacesAndKeepsThem)
{
    Model& m = take(torusSpec(8, 6));
    CancellingListener cancel(session, 5);
    session.status.busy = true;
    EXPECT_TRUE(unfoldAll(session, m));
    EXPECT_EQ(session.status.unfoldedFaceCount, 5);
    EXPECT_FALSE(session.status.finished);
    int placed = 0;
    for (Face* f : m.objects[0]->faces) placed += f->unfolded;
    EXPECT_EQ(placed, 5);

    // Continuing after the cancel places the rest.
    session.status.cancelRequested = false;
    EXPECT_FALSE(unfoldAll(session, m));
    EXPECT_TRUE(session.status.finished);
    EXPECT_EQ(session.status.unfoldedFaceCount, 48);
}

TEST_F(UnfoldAllTest, CancelBeforeTheFirstFacePlacesNothing)
{
    Model& m = take(boxSpec());
    session.status.cancelRequested = true;
    EXPECT_TRUE(unfoldAll(session, m));
    EXPECT_TRUE(m.parts.empty());
    EXPECT_EQ(session.status.unfoldedFaceCount, 0);
}

TEST_F(UnfoldAllTest, WorkerThreadUnfoldsExactlyLikeTheCallingThread)
{
    // Each thread keeps its own working storage for the outline; the
    // result must not depend on where the unfolding runs, nor on what that
    // storage held before.
    auto unfoldAndRecord = [this](bool onWorker) {
        resetSession(session);
        Model& m = take(buildModel({subdividedSphereSpec(2), translated(torusSpec(10, 6), {4, 0, 0})}));
        session.status.busy = true;
        session.status.quiet = onWorker;
        if (onWorker) {
            std::thread worker([this, &m] { unfoldAll(session, m); });
            worker.join();
        } else {
            unfoldAll(session, m);
        }
        std::vector<double> out;
        for (auto& part : m.parts) {
            out.push_back(static_cast<double>(part->faces.size()));
            for (const Face* f : part->faces) {
                out.push_back(f->index);
                for (const HalfEdge* h : f->outerLoop.halfEdges) {
                    out.push_back(h->point->x);
                    out.push_back(h->point->y);
                }
            }
            out.push_back(part->offsetX);
            out.push_back(part->offsetY);
        }
        return out;
    };
    const std::vector<double> here = unfoldAndRecord(false);
    EXPECT_EQ(unfoldAndRecord(true), here);
    EXPECT_EQ(unfoldAndRecord(false), here);
    EXPECT_GT(here.size(), 1000u);
}

// The one sheet arranged afterwards, on another thread while the pages are
// laid out and drawn to PDF from the same finished pattern, is the sheet
// (offsets, size, scales), the pages and the PDF that finishing at once
// gives; the thread sanitizer run checks that the two share nothing they
// write.
TEST(UnfoldAllSheet, ArrangedBesideThePagesLayoutItIsTheSheetFinishingGives)
{
    const auto run = [](bool later, std::string& sheet, std::string& pages, std::string& pdf) {
        Session s;
        s.replaceModel(buildModel(torusSpec(24, 12)));
        s.takeUpModel();
        s.arrangeSheetLater = later;
        unfoldOnCallingThread(s, *s.model);
        ASSERT_TRUE(s.status.finished);
        if (later) {
            EXPECT_EQ(s.model->sheetWidth, 0.0); // not arranged yet
        }
        PagesSettings setup;
        setup.finishedSizeMm = 300.0;
        std::jthread arranging;
        if (later) arranging = std::jthread([&s] { arrangeSheet(s, *s.model); });
        const PagesResult laid = layOutPages({*s.model, s.settings, setup});
        if (laid.layout) pdf = pagesPdf(*laid.layout, s.settings);
        if (arranging.joinable()) arranging.join();
        ASSERT_TRUE(laid.layout);
        pages = pagesLayoutDump(*laid.layout);
        sheet = unfoldingJson(*s.model, s.displayedScale, nullptr);
    };
    std::string sheetAtOnce, pagesAtOnce, pdfAtOnce, sheetLater, pagesLater, pdfLater;
    run(false, sheetAtOnce, pagesAtOnce, pdfAtOnce);
    run(true, sheetLater, pagesLater, pdfLater);
    EXPECT_EQ(sheetLater, sheetAtOnce);
    EXPECT_EQ(pagesLater, pagesAtOnce);
    EXPECT_EQ(pdfLater, pdfAtOnce);
    EXPECT_NE(sheetAtOnce.find("\"sheetWidth\""), std::string::npos);
}
