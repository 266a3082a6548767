// Drawing decisions of drawPattern, observed on a recording canvas.
#include "pattern/draw_pattern.h"
#include "pattern/draw_stroke_number.h"
#include "pattern/flap_geometry.h"
#include "support/hand_pattern.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace nettor {
namespace {

using test::MeshSpec;
using test::RecordedLine;
using test::RecordingCanvas;

constexpr double kUpc = 100.0; // device units per cm; the sheet margin is 1.5 cm

// Device point of a pattern point (pattern scale 1, part offset 0).
DevicePoint dev(double x, double y)
{
    return {toDeviceUnits(kUpc * (x + 1.5)), toDeviceUnits(kUpc * (y + 1.5))};
}

Settings plainSettings()
{
    Settings s;
    s.createFlaps = 0;
    s.showEdgeIds = 0;
    s.omitFlatEdges = 1;
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Dot); // tells ridge folds from cuts
    s.valleyStyle = static_cast<int>(FoldLineStyle::Line);
    return s;
}

RecordingCanvas draw(Model& model, const Settings& settings,
                     OutputTarget target = OutputTarget::Screen, int pages = 1)
{
    RecordingCanvas canvas(kUpc);
    drawPattern(model, settings, canvas, kUpc, kUpc, target, 0, 0, pages);
    return canvas;
}

bool isCutPen(const Pen& p) { return p.style == PenStyle::Solid && p.width == 1 && p.color == kBlack; }

// ---- folds and omitted flat edges ----

TEST(DrawPatternFolds, CoplanarFoldIsOmittedOnlyWhenAsked)
{
    auto model = test::layOutFlat(test::squareRowSpec(2), {0, 0});
    Settings s = plainSettings();
    {
        RecordingCanvas c = draw(*model, s);
        EXPECT_TRUE(c.linesBetween(dev(1, 0), dev(1, 1)).empty());
        EXPECT_EQ(c.lines.size(), 6u); // the outline only
    }
    s.omitFlatEdges = 0;
    RecordingCanvas c = draw(*model, s);
    const auto fold = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(fold.size(), 1u) << "a shared fold is drawn from one side only";
    EXPECT_EQ(fold[0].pen.style, PenStyle::Dot) << "flat folds are ridges";
}

TEST(DrawPatternFolds, ValleyUsesValleyStyleAndNoneHidesFolds)
{
    auto model = test::layOutFlat(test::squareRowSpec(3), {0, 0, 0});
    test::edgeBetween(*model, 4, 5)->isRidge = 0;
    Settings s = plainSettings();
    s.omitFlatEdges = 0;
    s.valleyStyle = static_cast<int>(FoldLineStyle::Dot);
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Line);
    {
        RecordingCanvas c = draw(*model, s);
        ASSERT_EQ(c.linesBetween(dev(2, 0), dev(2, 1)).size(), 1u);
        EXPECT_EQ(c.linesBetween(dev(2, 0), dev(2, 1))[0].pen.style, PenStyle::Dot);
        EXPECT_EQ(c.linesBetween(dev(1, 0), dev(1, 1))[0].pen.style, PenStyle::Solid);
    }
    s.valleyStyle = s.ridgeStyle = static_cast<int>(FoldLineStyle::None);
    RecordingCanvas c = draw(*model, s);
    for (const auto& l : c.linesBetween(dev(1, 0), dev(1, 1))) EXPECT_EQ(l.pen.style, PenStyle::Null);
    for (const auto& l : c.linesBetween(dev(2, 0), dev(2, 1))) EXPECT_EQ(l.pen.style, PenStyle::Null);
    // The outline (border edges) stays.
    EXPECT_EQ(c.linesWith(PenStyle::Solid).size(), 8u);
}

TEST(DrawPatternFolds, StyleOutsideRangeDrawsSolidFold)
{
    auto model = test::layOutFlat(test::squareRowSpec(2), {0, 0});
    Settings s = plainSettings();
    s.omitFlatEdges = 0;
    s.ridgeStyle = 9;
    RecordingCanvas c = draw(*model, s);
    const auto fold = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(fold.size(), 1u);
    EXPECT_EQ(fold[0].pen.style, PenStyle::Solid);
}

// ---- cut edges and flaps ----

class DrawPatternCuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        model = test::layOutFlat(test::squareRowSpec(2), {0, 1});
        settings = plainSettings();
        cut = test::edgeBetween(*model, 2, 3);
        ASSERT_NE(cut, nullptr);
        ASSERT_EQ(cut->edgeId, 1);
    }
    std::unique_ptr<Model> model;
    Settings settings;
    Edge* cut = nullptr;
};

TEST_F(DrawPatternCuts, WithoutFlapsBothSidesAreCutLines)
{
    RecordingCanvas c = draw(*model, settings);
    const auto lines = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(lines.size(), 2u) << "a numbered edge is drawn from each part";
    for (const auto& l : lines) EXPECT_TRUE(isCutPen(l.pen));
    EXPECT_EQ(c.polygons.size(), 2u) << "faces only";
    const DrawnMarks flaps = chooseFlaps(*model, settings);
    EXPECT_FALSE(flaps.hasFlap(*cut->halfEdge1) || flaps.hasFlap(*cut->halfEdge2));
}

TEST_F(DrawPatternCuts, FlapOnFirstSideMet)
{
    settings.createFlaps = 1;
    RecordingCanvas c = draw(*model, settings);
    // Face 0 comes first; its side runs (1,0) -> (1,1) and its flap stands on x > 1.
    HalfEdge* first = cut->halfEdge1->loop->face == model->parts[0]->faces[0] ? cut->halfEdge1
                                                                               : cut->halfEdge2;
    const DrawnMarks flaps = chooseFlaps(*model, settings);
    EXPECT_EQ(flaps.hasFlap(*first), 1);
    EXPECT_EQ(flaps.hasFlap(*first->twin), 0);

    ASSERT_EQ(c.polygons.size(), 3u);
    const auto& flap = c.polygons[0];
    EXPECT_FALSE(flap.outlined);
    EXPECT_EQ(flap.brush, Brush::stockWhite());
    ASSERT_EQ(flap.points.size(), 4u);
    // h = 0.1 x average edge length (1) x pattern scale (1) = 0.1 cm.
    const DevicePoint expected[4] = {dev(1, 0), dev(1.1, 0.1), dev(1.1, 0.9), dev(1, 1)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(flap.points[i].x, expected[i].x, 1) << i;
        EXPECT_NEAR(flap.points[i].y, expected[i].y, 1) << i;
    }
    // The flap's three outer sides in the stock black pen, its base left to the fold line.
    int stockSides = 0;
    for (const auto& l : c.lines) stockSides += l.pen == Pen::stockBlack();
    EXPECT_EQ(stockSides, 3);

    const auto lines = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].pen.style, PenStyle::Dot) << "the flapped side is a fold (ridge)";
    EXPECT_TRUE(isCutPen(lines[1].pen)) << "the other side stays a cut line";
    // Faces are drawn after the flaps, so they cover them.
    EXPECT_TRUE(c.polygons[1].outlined && c.polygons[2].outlined);
}

TEST_F(DrawPatternCuts, FlapsOnBothSides)
{
    settings.createFlaps = 1;
    settings.flapsBothSides = 1;
    settings.flapSize = static_cast<int>(FlapSize::Large);
    RecordingCanvas c = draw(*model, settings);
    ASSERT_EQ(c.polygons.size(), 4u);
    // The second flap stands on the other side of the edge, 0.18 cm out.
    EXPECT_NEAR(c.polygons[1].points[1].x, dev(1 - 0.18, 0).x, 1);
    const auto lines = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) EXPECT_EQ(l.pen.style, PenStyle::Dot);
}

TEST_F(DrawPatternCuts, NoneStyleHidesFlapBaseButNotCutSide)
{
    settings.createFlaps = 1;
    settings.ridgeStyle = static_cast<int>(FoldLineStyle::None);
    RecordingCanvas c = draw(*model, settings);
    const auto lines = c.linesBetween(dev(1, 0), dev(1, 1));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].pen.style, PenStyle::Null);
    EXPECT_TRUE(isCutPen(lines[1].pen));
}

TEST(DrawPatternBorder, BorderIsAlwaysCutAndNeverNumbered)
{
    MeshSpec square = test::squareRowSpec(1);
    auto model = test::layOutFlat(square, {0});
    Settings s = plainSettings();
    s.showEdgeIds = 1;
    s.createFlaps = 1;
    s.omitFlatEdges = 1;
    RecordingCanvas c = draw(*model, s);
    ASSERT_EQ(c.lines.size(), 4u);
    for (const auto& l : c.lines) EXPECT_TRUE(isCutPen(l.pen));
    EXPECT_TRUE(c.texts.empty());
    EXPECT_EQ(c.polygons.size(), 1u) << "no flap on a border edge";
}

TEST(DrawPatternFaces, MaterialColourOnlyInColourMode)
{
    auto model = test::layOutFlat(test::squareRowSpec(2), {0, 0});
    MeshObject& object = *model->objects[0];
    object.materials.emplace_back();
    object.materials[0].ambient[0] = 1.0f;
    object.materials[0].ambient[1] = 0.5f;
    object.materials[0].ambient[2] = 2.0f; // clamped
    object.faces[0]->materialIndex = 0;
    object.faces[1]->materialIndex = 7; // no such material: white
    Settings s = plainSettings();
    RecordingCanvas c = draw(*model, s);
    ASSERT_EQ(c.polygons.size(), 2u);
    EXPECT_EQ(c.polygons[0].brush, Brush::solid({255, 127, 255}));
    EXPECT_EQ(c.polygons[0].pen, Pen::solid(1, {255, 127, 255}));
    EXPECT_EQ(c.polygons[1].brush, Brush::stockWhite());
    EXPECT_EQ(c.polygons[1].pen, Pen::stockWhite());
    s.colorMode = 0;
    c = draw(*model, s);
    EXPECT_EQ(c.polygons[0].brush, Brush::stockWhite());
}

// ---- edge numbers ----

TEST_F(DrawPatternCuts, TextNumbersSitInsideTheirFaces)
{
    settings.showEdgeIds = 1;
    RecordingCanvas c = draw(*model, settings);
    ASSERT_EQ(c.texts.size(), 2u);
    EXPECT_TRUE(c.transparent);
    // Font height trunc(100 x 8 x 0.0352777) = 28, the recording extent 16 x 28.
    for (const auto& t : c.texts) {
        EXPECT_EQ(t.text, "1");
        EXPECT_EQ(t.font.faceName, "Arial");
        EXPECT_EQ(t.font.height, 28);
    }
    // Face 0: side (1,0) -> (1,1) points down the page, the number is turned by
    // 90 degrees (asin(1) in tenths of a degree truncates to 899) and set off
    // 1.1 x 28 units towards x < 1.
    EXPECT_EQ(c.texts[0].font.escapement, 899);
    EXPECT_NEAR(c.texts[0].at.x, 250 - 31, 1);
    EXPECT_NEAR(c.texts[0].at.y, 200 + 8, 1);
    // Face 1 runs the other way.
    EXPECT_EQ(c.texts[1].font.escapement, -899);
    EXPECT_NEAR(c.texts[1].at.x, 250 + 31, 1);
    EXPECT_NEAR(c.texts[1].at.y, 200 - 8, 1);
}

TEST(DrawPatternNumbers, HorizontalEdgesTurnTheirNumbers)
{
    // Two squares stacked: the cut is horizontal; the lower face's side runs
    // rightward, the upper face's leftward.
    MeshSpec spec;
    spec.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    spec.faces = {{0, 1, 2, 3}, {3, 2, 4, 5}};
    auto model = test::layOutFlat(spec, {0, 1});
    Settings s = plainSettings();
    s.showEdgeIds = 1;
    RecordingCanvas c = draw(*model, s);
    ASSERT_EQ(c.texts.size(), 2u);
    // Face 0's side (1,1) -> (0,1) runs leftward: upright, above the edge (y < 1).
    EXPECT_EQ(c.texts[0].font.escapement, 0);
    EXPECT_LT(c.texts[0].at.y, dev(0, 1).y);
    EXPECT_NEAR(c.texts[0].at.x, dev(0.5, 0).x - 8, 1);
    // Face 1's side (0,1) -> (1,1) runs rightward: turned by 180 degrees, its
    // reference corner below the edge, right of the middle.
    EXPECT_EQ(c.texts[1].font.escapement, 1800);
    EXPECT_GT(c.texts[1].at.y, dev(0, 1).y);
    EXPECT_NEAR(c.texts[1].at.x, dev(0.5, 0).x + 8, 1);
}

TEST_F(DrawPatternCuts, TooSmallFontDrawsNoNumbersInEitherFont)
{
    settings.showEdgeIds = 1;
    settings.edgeIdFontSize = 1;
    for (int original : {0, 1}) {
        settings.useOriginalFont = original;
        RecordingCanvas small(50);
        // trunc(50 x 1 x 0.0352777) = 1 unit: too small.
        drawPattern(*model, settings, small, 50, 50, OutputTarget::Screen, 0, 0);
        EXPECT_TRUE(small.texts.empty());
        for (const auto& l : small.lines) EXPECT_NE(l.pen.width, 2) << "no stroke digits";
    }
    // trunc(100 x 1 x 0.0352777) = 3 units is enough.
    settings.useOriginalFont = 0;
    EXPECT_EQ(draw(*model, settings).texts.size(), 2u);
}

TEST_F(DrawPatternCuts, StrokeFontNumbersAreCentredOnTheMidpoint)
{
    settings.showEdgeIds = 1;
    settings.useOriginalFont = 1;
    cut->edgeId = 10;
    RecordingCanvas c = draw(*model, settings);
    EXPECT_TRUE(c.texts.empty());
    std::vector<RecordedLine> strokes;
    for (const auto& l : c.lines)
        if (l.pen == Pen::solid(2, kBlack)) strokes.push_back(l);
    // "1" has 3 strokes and "0" 8, once per side.
    ASSERT_EQ(strokes.size(), 22u);
    // The first side's digits are turned by 90 degrees about the midpoint (250, 200)
    // and stand off the edge inside face 0 (x < 250).
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_LT(strokes[i].from.x, 250);
        EXPECT_LT(strokes[i].to.x, 250);
    }
}

// ---- the stroke digit font ----

TEST(DrawStrokeNumber, TenIsOneLeftOfZeroCentredOnTheAnchor)
{
    RecordingCanvas c;
    drawStrokeNumber(c, 10, 80, 1000, 1000, 0);
    ASSERT_EQ(c.lines.size(), 11u);
    // Drawn last digit first: "0" spans x 1010..1050, then "1" spans 950..990.
    auto within = [&](std::size_t from, std::size_t to, int lo, int hi) {
        for (std::size_t i = from; i < to; ++i)
            for (DevicePoint p : {c.lines[i].from, c.lines[i].to}) {
                EXPECT_GE(p.x, lo);
                EXPECT_LE(p.x, hi);
                // tops 1.2 x size above the anchor, bottoms 0.2 x size above it
                EXPECT_GE(p.y, 1000 - 96);
                EXPECT_LE(p.y, 1000 - 16);
            }
    };
    within(0, 8, 1010, 1050);
    within(8, 11, 950, 990);
    // "1": (1,1) (2,0) (2,8), pen up, (1,8) (3,8) - the foot is a separate stroke.
    EXPECT_EQ(c.lines[8].from, (DevicePoint{960, 914}));
    EXPECT_EQ(c.lines[10].from, (DevicePoint{960, 984}));
}

TEST(DrawStrokeNumber, TurnedHalfWayAroundTheAnchor)
{
    RecordingCanvas upright, turned;
    drawStrokeNumber(upright, 7, 80, 500, 500, 0);
    drawStrokeNumber(turned, 7, 80, 500, 500, 180);
    ASSERT_EQ(upright.lines.size(), turned.lines.size());
    for (std::size_t i = 0; i < upright.lines.size(); ++i) {
        EXPECT_NEAR(turned.lines[i].to.x - 500, -(upright.lines[i].to.x - 500), 1);
        EXPECT_NEAR(turned.lines[i].to.y - 500, -(upright.lines[i].to.y - 500), 1);
    }
}

TEST(DrawStrokeNumber, ZeroAndNegativeDrawNothing)
{
    RecordingCanvas c;
    drawStrokeNumber(c, 0, 80, 0, 0, 0);
    drawStrokeNumber(c, -5, 80, 0, 0, 0);
    EXPECT_TRUE(c.lines.empty());
}

TEST(DrawStrokeNumber, FarAnchorsClampToTheDeviceRange)
{
    // A number far beyond the integer range stays at the edge of the range
    // on its own side instead of wrapping to the other.
    RecordingCanvas far;
    drawStrokeNumber(far, 8, 80, 1e12, -1e12, 0);
    ASSERT_FALSE(far.lines.empty());
    for (const RecordedLine& l : far.lines) {
        EXPECT_EQ(l.to.x, INT_MAX);
        EXPECT_EQ(l.to.y, INT_MIN);
    }
    RecordingCanvas undefined;
    drawStrokeNumber(undefined, 8, 80, std::nan(""), 0, 0);
    for (const RecordedLine& l : undefined.lines) EXPECT_EQ(l.to.x, 0);
}

// ---- page marks ----

TEST(DrawPatternPageMarks, OnlyOnMultiPagePrinterJobs)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    const Settings s = plainSettings();
    auto marks = [](const RecordingCanvas& c) {
        std::vector<RecordedLine> out;
        for (const auto& l : c.lines)
            if (l.pen == Pen::solid(5, kBlack)) out.push_back(l);
        return out;
    };
    EXPECT_TRUE(marks(draw(*model, s, OutputTarget::Printer, 1)).empty());
    EXPECT_TRUE(marks(draw(*model, s, OutputTarget::Screen, 2)).empty());

    RecordingCanvas c(kUpc);
    // A tile origin far away must not move the marks.
    drawPattern(*model, s, c, kUpc, kUpc, OutputTarget::Printer, -1800, -2670, 2);
    const auto crosses = marks(c);
    ASSERT_EQ(crosses.size(), 8u);
    auto has = [&](DevicePoint a, DevicePoint b) {
        return std::any_of(crosses.begin(), crosses.end(), [&](const RecordedLine& l) {
            return (std::abs(l.from.x - a.x) <= 1 && std::abs(l.from.y - a.y) <= 1 &&
                    std::abs(l.to.x - b.x) <= 1 && std::abs(l.to.y - b.y) <= 1);
        });
    };
    EXPECT_TRUE(has({50, 150}, {350, 150}));    // top left, horizontal
    EXPECT_TRUE(has({150, 50}, {150, 350}));    // top left, vertical
    EXPECT_TRUE(has({2050, 150}, {1750, 150})); // top right, horizontal
    EXPECT_TRUE(has({1950, 2920}, {1950, 2620})); // bottom right, vertical
    // The pen in use before the drawing is selected again at the end.
    EXPECT_EQ(c.currentPen(), Pen::stockBlack());
}

TEST(DrawPatternPageMarks, RepeatForEveryGridCell)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    model->sheetWidth = 20; // 20 cm at scale 1: two columns
    const Settings s = plainSettings();
    RecordingCanvas c = draw(*model, s, OutputTarget::Printer, 2);
    int marks = 0;
    for (const auto& l : c.lines) marks += l.pen.width == 5;
    EXPECT_EQ(marks, 16);
}

} // namespace
} // namespace nettor
