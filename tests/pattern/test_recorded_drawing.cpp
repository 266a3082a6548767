// A pattern recorded and played back draws what it draws directly: the
// same lines with the same pens, polygons with the same brushes and texts in
// the same fonts, in order; played back for an area it leaves out only what
// lies wholly outside it.
#include "pattern/draw_pattern.h"
#include "pattern/recorded_drawing.h"
#include "support/recording_canvas.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <random>

namespace nettor {
namespace {

using test::RecordingCanvas;

// Plays the drawing back call by call; with an area, as the view does.
void playBack(const RecordedDrawing& drawing, RecordingCanvas& canvas, const DeviceBox* area)
{
    using Kind = RecordedStep::Kind;
    for (const RecordedStep& step : drawing.steps) {
        const bool shown = !area || step.box.meets(*area, drawing.reach + 1);
        const DevicePoint* p = drawing.points.data() + step.first;
        switch (step.kind) {
        case Kind::Pen: canvas.selectPen(drawing.pens[step.index]); break;
        case Kind::Brush: canvas.selectBrush(drawing.brushes[step.index]); break;
        case Kind::Font: canvas.selectFont(drawing.fonts[step.index]); break;
        case Kind::TransparentBackground: canvas.setTransparentBackground(); break;
        case Kind::Lines:
            for (std::uint32_t i = 0; shown && i + 1 < step.count; i += 2) {
                canvas.moveTo(p[i].x, p[i].y);
                canvas.lineTo(p[i + 1].x, p[i + 1].y);
            }
            break;
        case Kind::Polygon:
            if (shown) canvas.polygon({p, p + step.count});
            break;
        case Kind::FillPolygon:
            if (shown) canvas.fillPolygon({p, p + step.count});
            break;
        case Kind::Text:
            if (shown) canvas.textOut(p->x, p->y, drawing.texts[step.index]);
            break;
        }
    }
}

bool sameLine(const test::RecordedLine& a, const test::RecordedLine& b)
{
    return a.from == b.from && a.to == b.to && a.pen == b.pen;
}
bool samePolygon(const test::RecordedPolygon& a, const test::RecordedPolygon& b)
{
    return a.points == b.points && a.brush == b.brush && a.outlined == b.outlined && (!a.outlined || a.pen == b.pen);
}
bool sameText(const test::RecordedText& a, const test::RecordedText& b)
{
    return a.at == b.at && a.text == b.text && a.font == b.font;
}

// Plays the drawing back onto played and expects what direct drew, in
// order: every line with its pen, polygon with its brush and text with its
// font. Lines in a null pen draw nothing: the recording leaves them out.
void expectPlaysAsDrawn(const RecordedDrawing& drawing, const RecordingCanvas& direct, RecordingCanvas& played,
                        int variant)
{
    playBack(drawing, played, nullptr);
    std::vector<test::RecordedLine> drawn;
    for (const auto& line : direct.lines)
        if (line.pen.style != PenStyle::Null) drawn.push_back(line);
    ASSERT_EQ(played.lines.size(), drawn.size()) << variant;
    for (std::size_t i = 0; i < drawn.size(); ++i)
        ASSERT_TRUE(sameLine(played.lines[i], drawn[i])) << "variant " << variant << " line " << i;
    ASSERT_EQ(played.polygons.size(), direct.polygons.size()) << variant;
    for (std::size_t i = 0; i < direct.polygons.size(); ++i)
        ASSERT_TRUE(samePolygon(played.polygons[i], direct.polygons[i])) << "variant " << variant << " polygon " << i;
    ASSERT_EQ(played.texts.size(), direct.texts.size()) << variant;
    for (std::size_t i = 0; i < direct.texts.size(); ++i)
        ASSERT_TRUE(sameText(played.texts[i], direct.texts[i])) << "variant " << variant << " text " << i;
    EXPECT_EQ(played.transparent, direct.transparent) << variant;
}

// Whether every item of part appears in whole, in order.
template <class T, class Same>
bool isSubsequence(const std::vector<T>& part, const std::vector<T>& whole, Same same)
{
    std::size_t j = 0;
    for (const T& item : part) {
        while (j < whole.size() && !same(item, whole[j])) ++j;
        if (j == whole.size()) return false;
        ++j;
    }
    return true;
}

bool inside(const DeviceBox& area, DevicePoint p)
{
    return p.x >= area.left && p.x <= area.right && p.y >= area.top && p.y <= area.bottom;
}

class RecordedDrawingTest : public test::UnfoldTest {};

TEST_F(RecordedDrawingTest, PlayedBackItDrawsWhatTheDirectDrawingDraws)
{
    std::mt19937 rng(5);
    Model& model = take(test::randomConvexSpec(rng, 600)); // many runs of lines
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    ASSERT_TRUE(session.status.finished);

    for (const int variant : {0, 1, 2}) {
        Settings settings;
        settings.showEdgeIds = 1;
        settings.createFlaps = variant != 1;
        settings.valleyStyle = static_cast<int>(variant == 2 ? FoldLineStyle::None : FoldLineStyle::Dot);
        settings.colorMode = variant == 2;
        const double upc = 40.0 + 30.0 * variant;
        RecordingCanvas direct(upc);
        drawPattern(model, settings, direct, upc, upc, OutputTarget::Screen, 25, 25);

        RecordingCanvas measuring(upc);
        DrawingRecorder recorder(upc, upc, [&](const Font& font, const std::string& text) {
            measuring.selectFont(font);
            return measuring.textExtent(text);
        });
        drawPattern(model, settings, recorder, upc, upc, OutputTarget::Screen, 25, 25);
        const RecordedDrawing drawing = recorder.take();
        for (const RecordedStep& step : drawing.steps)
            for (std::uint32_t i = 0; i < step.count; ++i) {
                const DevicePoint p = drawing.points[step.first + i];
                EXPECT_TRUE(p.x >= step.box.left && p.x <= step.box.right && p.y >= step.box.top &&
                            p.y <= step.box.bottom);
            }

        RecordingCanvas played(upc);
        expectPlaysAsDrawn(drawing, direct, played, variant);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_FALSE(direct.texts.empty());
        for (const RecordedStep& step : drawing.steps) {
            if (step.kind != RecordedStep::Kind::Lines) continue;
            EXPECT_LE(step.box.right - step.box.left, DrawingRecorder::kRunSpan);
            EXPECT_LE(step.box.bottom - step.box.top, DrawingRecorder::kRunSpan);
        }

        // An area of a quarter of the drawing: nothing that reaches into it
        // is left out, nothing is drawn that the whole drawing lacks.
        DeviceBox all;
        for (const DevicePoint& p : drawing.points) all.add(p);
        const DeviceBox area{all.left + (all.right - all.left) / 3, all.top + (all.bottom - all.top) / 4,
                             all.left + (all.right - all.left) * 2 / 3, all.top + (all.bottom - all.top) * 3 / 4};
        RecordingCanvas culled(upc);
        playBack(drawing, culled, &area);
        EXPECT_LT(culled.lines.size(), played.lines.size());
        EXPECT_TRUE(isSubsequence(culled.lines, played.lines, sameLine));
        EXPECT_TRUE(isSubsequence(culled.polygons, played.polygons, samePolygon));
        EXPECT_TRUE(isSubsequence(culled.texts, played.texts, sameText));
        for (const auto& line : played.lines)
            if (inside(area, line.from) || inside(area, line.to)) {
                const bool kept = std::any_of(culled.lines.begin(), culled.lines.end(),
                                              [&](const auto& c) { return sameLine(c, line); });
                EXPECT_TRUE(kept);
            }
        for (const auto& polygon : played.polygons)
            if (std::any_of(polygon.points.begin(), polygon.points.end(), [&](DevicePoint p) { return inside(area, p); })) {
                const bool kept = std::any_of(culled.polygons.begin(), culled.polygons.end(),
                                              [&](const auto& c) { return samePolygon(c, polygon); });
                EXPECT_TRUE(kept);
            }
    }
}

// Recorded in two halves on two threads and joined, the pattern plays back
// as the drawing on one canvas draws it, for every setting that the halves
// share (the flaps' choice) or that changes the pens at their seam.
TEST_F(RecordedDrawingTest, RecordedOnTwoThreadsItPlaysBackAsDrawnOnOne)
{
    std::mt19937 rng(7);
    Model& model = take(test::randomConvexSpec(rng, 300));
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    ASSERT_TRUE(session.status.finished);

    for (int variant = 0; variant < 6; ++variant) {
        Settings settings;
        settings.showEdgeIds = variant != 3;
        settings.createFlaps = variant != 1;
        settings.flapsBothSides = variant == 4;
        settings.valleyStyle = static_cast<int>(variant == 2 ? FoldLineStyle::None : FoldLineStyle::Dot);
        settings.ridgeStyle = static_cast<int>(variant == 5 ? FoldLineStyle::Dot : FoldLineStyle::Line);
        settings.colorMode = variant == 2 || variant == 5;
        const double upc = 45.0 + 10.0 * variant;
        RecordingCanvas direct(upc);
        drawPattern(model, settings, direct, upc, upc, OutputTarget::Screen, 25, 25);

        RecordingCanvas measuring(upc);
        const RecordedDrawing drawing = recordPattern(
            model, settings, upc, upc, OutputTarget::Screen, 25, 25,
            [&](const Font& font, const std::string& text) {
                measuring.selectFont(font);
                return measuring.textExtent(text);
            },
            0);
        RecordingCanvas played(upc);
        expectPlaysAsDrawn(drawing, direct, played, variant);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(played.currentPen(), direct.currentPen()) << variant;
    }
}

// Joined, a drawing recorded to follow another selects its pen, brush and
// font afresh, even those a fresh device has.
TEST(RecordedDrawing, JoinedTheSecondDrawingSelectsItsOwnPenBrushAndFont)
{
    DrawingRecorder first(10, 10, nullptr), second(10, 10, [](const Font&, const std::string&) {
        return TextExtent{5, 5};
    });
    first.selectPen(Pen::solid(3, kWhite));
    first.selectBrush(Brush::solid(kBlack));
    first.selectFont(Font{"Courier", 12, 0, 700});
    first.moveTo(0, 0);
    first.lineTo(5, 5);
    second.followAnother();
    second.selectPen(Pen::stockBlack()); // what a fresh device has
    second.selectBrush(Brush::stockWhite());
    second.selectFont(Font{});
    second.moveTo(1, 1);
    second.lineTo(6, 6);
    second.fillPolygon({{0, 0}, {3, 0}, {0, 3}});
    second.textOut(2, 2, "17");
    const RecordedDrawing joined = joinRecordings(first.take(), second.take());
    RecordingCanvas played(10);
    playBack(joined, played, nullptr);
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.lines[0].pen, Pen::solid(3, kWhite));
    EXPECT_EQ(played.lines[1].pen, Pen::stockBlack());
    ASSERT_EQ(played.polygons.size(), 1u);
    EXPECT_EQ(played.polygons[0].brush, Brush::stockWhite());
    EXPECT_EQ(played.polygons[0].points, (std::vector<DevicePoint>{{0, 0}, {3, 0}, {0, 3}}));
    ASSERT_EQ(played.texts.size(), 1u);
    EXPECT_EQ(played.texts[0].font, Font{});
    EXPECT_EQ(played.texts[0].text, "17");
    EXPECT_EQ(joined.reach, 4);
}

TEST(RecordedDrawing, RunsHoldLinesOfOnePenInASmallArea)
{
    DrawingRecorder recorder(10, 10, nullptr);
    for (int i = 0; i < 600; ++i) { // close together: runs of at most 256 lines
        recorder.moveTo(i % 10, 0);
        recorder.lineTo(i % 10, 5);
    }
    recorder.selectPen(Pen::solid(3, kBlack));
    for (int i = 0; i < 300; ++i) { // two units apart: runs at most 256 units wide
        recorder.moveTo(2 * i, 0);
        recorder.lineTo(2 * i, 5);
    }
    recorder.selectPen(Pen::null());
    recorder.lineTo(20, 20); // draws nothing
    recorder.selectPen(Pen::solid(3, kBlack));
    recorder.selectPen(Pen::solid(3, kBlack)); // unchanged: left out
    recorder.lineTo(0, 0);
    const RecordedDrawing d = recorder.take();
    std::vector<std::uint32_t> runs;
    int pens = 0;
    for (const RecordedStep& s : d.steps) {
        if (s.kind == RecordedStep::Kind::Lines) runs.push_back(s.count / 2);
        pens += s.kind == RecordedStep::Kind::Pen;
    }
    EXPECT_EQ(runs, (std::vector<std::uint32_t>{256, 256, 88, 129, 129, 42, 1}));
    EXPECT_EQ(pens, 3);
    EXPECT_EQ(d.reach, 4);
}

} // namespace
} // namespace nettor
