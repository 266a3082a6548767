// The 2D view's geometry: fitting the sheet, the zoom and scale commands
// with their limits, the scrolled area, and the growing part kept in sight.
#include "model/mesh.h"
#include "pattern/growing_part_view.h"
#include "pattern/sheet_view.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"
#include "support/unfold_fixture.h"
#include "unfold/start_part.h"
#include "unfold/attach_face.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace nettor;
using namespace nettor::test;

namespace {

// A finished-looking model: only the numbers the view reads.
std::unique_ptr<Model> sheetModel(double sheetWidth, double sheetHeight, double patternScale = 2.0,
                                  double unitScale = 1.0)
{
    auto m = std::make_unique<Model>();
    m->sheetWidth = sheetWidth;
    m->sheetHeight = sheetHeight;
    m->patternScale = patternScale;
    m->unitScale = unitScale;
    return m;
}

SheetView viewOf(int w, int h)
{
    SheetView v;
    v.width = w;
    v.height = h;
    resetSheetView(v);
    return v;
}

} // namespace

TEST(SheetView, FitZoomTakesTheTighterSideAndNeverDropsToZero)
{
    // 600 / 21 against 891 / 29.7 = 30: the width decides.
    EXPECT_NEAR(fitZoom(630, 921), 600.0 / 21.0, 1e-12);
    EXPECT_NEAR(fitZoom(2000, 921), 30.0, 1e-12);
    // Panes narrower than their margins still get a usable zoom.
    EXPECT_EQ(fitZoom(10, 500), kMinimumZoom);
    EXPECT_EQ(fitZoom(30, 30), kMinimumZoom);
    EXPECT_GT(kMinimumZoom, 0.0);

    const SheetView v = viewOf(630, 921);
    EXPECT_EQ(v.scrollWidth, 630);
    EXPECT_EQ(v.scrollHeight, 921);
}

TEST(SheetView, ZoomInStopsWhenThePatternSpansTenWindows)
{
    auto mOwner = sheetModel(10, 10, 2.0);
    Model& m = *mOwner;
    SheetView v = viewOf(630, 921);
    int steps = 0;
    while (zoomIn(v, m).empty()) {
        ASSERT_LT(++steps, 100);
    }
    EXPECT_EQ(zoomIn(v, m), "No more zoom in.");
    // Refused because one more step would pass ten window widths.
    EXPECT_GT(m.sheetWidth * v.zoom * m.patternScale * 1.25, v.width * 10.0);
    EXPECT_LE(m.sheetWidth * v.zoom / 1.25 * m.patternScale * 1.25, v.width * 10.0);
    const double zoom = v.zoom;
    EXPECT_EQ(zoomIn(v, m), "No more zoom in.");
    EXPECT_EQ(v.zoom, zoom);
    // The scrolled area holds the whole pattern and the sheet picture.
    EXPECT_GE(v.scrollWidth, static_cast<int>((10 * 2.0 + 1.5) * v.zoom + v.margin));
    EXPECT_GE(v.scrollHeight, static_cast<int>(2 * v.margin + 29.7 * v.zoom));
    EXPECT_EQ(m.patternScale, 2.0); // zooming leaves the printed size alone
}

TEST(SheetView, ZoomOutStopsBelowFivePercentOfTheWindowAndAtTheMinimumZoom)
{
    auto mOwner = sheetModel(10, 10, 2.0);
    Model& m = *mOwner;
    SheetView v = viewOf(630, 921);
    int steps = 0;
    while (zoomOut(v, m).empty()) ASSERT_LT(++steps, 200);
    EXPECT_EQ(zoomOut(v, m), "No more zoom up.");
    EXPECT_GE(v.zoom, kMinimumZoom);

    // A pattern without extent can never be reduced, but is not zoomed into
    // the ground either.
    auto flatOwner = sheetModel(0, 0);
    Model& flat = *flatOwner;
    SheetView w = viewOf(630, 921);
    EXPECT_EQ(zoomOut(w, flat), "No more zoom up.");
}

TEST(SheetView, APaneTenPixelsWideStillZoomsIn)
{
    auto mOwner = sheetModel(5, 7, 2.0);
    Model& m = *mOwner;
    SheetView v = viewOf(10, 400);
    const double before = v.zoom;
    ASSERT_GT(before, 0.0);
    EXPECT_EQ(zoomIn(v, m), "");
    EXPECT_NEAR(v.zoom, before * 1.25, 1e-12);
    EXPECT_EQ(zoomIn(v, m), "");
    EXPECT_GT(v.zoom, before * 1.5);
}

TEST(SheetView, ScaleUpAndDownChangeThePrintedScaleAndItsDisplay)
{
    auto mOwner = sheetModel(10, 10, 2.0, 3.0);
    Model& m = *mOwner;
    SheetView v = viewOf(630, 921);
    double displayed = 0;
    EXPECT_EQ(scaleUp(v, m, displayed), "");
    EXPECT_NEAR(m.patternScale, 2.5, 1e-12);
    EXPECT_NEAR(displayed, 7.5, 1e-12);
    EXPECT_EQ(scaleDown(v, m, displayed), "");
    EXPECT_NEAR(m.patternScale, 2.0, 1e-12);
    EXPECT_NEAR(displayed, 6.0, 1e-12);
    const double zoom = v.zoom;
    while (scaleUp(v, m, displayed).empty()) ASSERT_LT(m.patternScale, 1e6);
    EXPECT_EQ(scaleUp(v, m, displayed), "No more zoom in.");
    EXPECT_EQ(v.zoom, zoom);
    EXPECT_NEAR(displayed, m.patternScale * 3.0, 1e-9);
}

TEST(SheetView, RequestedScaleIsRefusedOutsideFivePercentToTenWindows)
{
    auto mOwner = sheetModel(10, 10, 2.0, 2.0);
    Model& m = *mOwner;
    SheetView v = viewOf(630, 921);
    double displayed = 4.0;
    // Pattern width s * 10 * zoom with s = requested / 2.
    const double tooSmall = 0.04 * 630 / (10 * v.zoom) * 2.0;
    EXPECT_EQ(applyRequestedScale(v, m, tooSmall, displayed), "The value is too small.");
    EXPECT_EQ(applyRequestedScale(v, m, 0.0, displayed), "The value is too small.");
    EXPECT_EQ(applyRequestedScale(v, m, -5.0, displayed), "The value is too small.");
    EXPECT_EQ(applyRequestedScale(v, m, std::nan(""), displayed), "The value is too small.");
    const double tooLarge = 11.0 * 921 / (10 * v.zoom) * 2.0;
    EXPECT_EQ(applyRequestedScale(v, m, tooLarge, displayed), "The value is too large.");
    EXPECT_EQ(m.patternScale, 2.0);
    EXPECT_EQ(displayed, 4.0);

    EXPECT_EQ(applyRequestedScale(v, m, 5.0, displayed), "");
    EXPECT_NEAR(m.patternScale, 2.5, 1e-12);
    EXPECT_EQ(displayed, 5.0);
}

class GrowingPartView : public UnfoldTest {};

namespace {

// A strip of triangles along x, towards -x or +x, wound counter-clockwise
// seen from +z.
MeshSpec stripTowards(double direction)
{
    MeshSpec strip;
    for (int i = 0; i <= 30; ++i) {
        strip.vertices.push_back({direction * i, 0, 0});
        strip.vertices.push_back({direction * i, 1, 0});
    }
    for (int i = 0; i < 30; ++i) {
        if (direction < 0) {
            strip.faces.push_back({2 * i, 2 * i + 1, 2 * i + 2});
            strip.faces.push_back({2 * i + 1, 2 * i + 3, 2 * i + 2});
        } else {
            strip.faces.push_back({2 * i, 2 * i + 2, 2 * i + 1});
            strip.faces.push_back({2 * i + 1, 2 * i + 2, 2 * i + 3});
        }
    }
    return strip;
}

} // namespace

TEST_F(GrowingPartView, StartsAtTheCentreShiftsBackIntoTheWindowAndWidensTheArea)
{
    bool shifted = false, widened = false;
    for (double direction : {-1.0, 1.0}) {
        Model& m = take(stripTowards(direction));
        // 40 pixels per unit of the strip as it was built, before normalising.
        m.patternScale = 40.0 / m.unitScale;
        SheetView v = viewOf(200, 100);
        // From either end of the strip, so that one of the runs grows back
        // past the left or top of the window.
        startPart(session, direction < 0 ? *m.objects[0]->faces.front() : *m.objects[0]->faces.back());
        UnfoldedPart& part = *m.parts.back();
        EXPECT_TRUE(followGrowingPart(part, m.patternScale, v, 0));
        // The first corner of the first face is the part's origin.
        EXPECT_EQ(part.viewOriginX, 100);
        EXPECT_EQ(part.viewOriginY, 50);
        EXPECT_LE(part.minX, part.maxX);

        // Grow most of the strip (not all: completion would arrange it).
        while (part.bestCandidate && part.faceCount < 50) {
            const int followed = part.faceCount;
            attachFace(session, *part.bestCandidate);
            followGrowingPart(part, m.patternScale, v, followed);
            // The box stays inside the area, never left of or above the window.
            EXPECT_GE(part.minX, 0.0);
            EXPECT_GE(part.minY, 0.0);
            EXPECT_LE(part.maxX, v.scrollWidth);
            EXPECT_LE(part.maxY, v.scrollHeight);
        }
        ASSERT_EQ(part.faceCount, 50);
        shifted = shifted || part.viewOriginX != 100 || part.viewOriginY != 50;
        widened = widened || v.scrollWidth > 200;

        // Every drawn line lies inside the box; three sides per face.
        RecordingCanvas dc;
        drawGrowingPart(part, m.patternScale, dc);
        for (const RecordedLine& line : dc.lines) {
            for (const DevicePoint& p : {line.from, line.to}) {
                EXPECT_GE(p.x, static_cast<int>(part.minX) - 1);
                EXPECT_LE(p.x, static_cast<int>(part.maxX) + 1);
                EXPECT_GE(p.y, static_cast<int>(part.minY) - 1);
                EXPECT_LE(p.y, static_cast<int>(part.maxY) + 1);
            }
        }
        EXPECT_EQ(static_cast<int>(dc.lines.size()), part.faceCount * 3);
    }
    // The strips run 1200 pixels, one way and the other.
    EXPECT_TRUE(shifted);
    EXPECT_TRUE(widened);
}
