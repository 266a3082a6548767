// Splitting a printed pattern over A4 pages, and what each page draws.
#include "pattern/page_grid.h"
#include "pattern/print_page.h"
#include "support/hand_pattern.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nettor {
namespace {

using test::RecordingCanvas;

constexpr double kUpc = 100.0;

// A one-square pattern whose sheet is widthCm x heightCm at scale 1.
std::unique_ptr<Model> sheetOf(double widthCm, double heightCm)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    model->sheetWidth = widthCm;
    model->sheetHeight = heightCm;
    return model;
}

int markStrokes(const RecordingCanvas& c)
{
    return static_cast<int>(std::count_if(c.lines.begin(), c.lines.end(),
                                          [](const test::RecordedLine& l) { return l.pen.width == 5; }));
}

TEST(PageGrid, ColumnsAndRowsFromTheWholeCentimetres)
{
    struct Case {
        double width, height;
        int columns, rows;
    };
    const Case cases[] = {
        {17.9, 26.0, 1, 1},
        {18.0, 26.0, 2, 1},  // 18 / 18 + 1
        {17.99, 26.69, 1, 1}, // truncated to 17 and 26 cm first
        {40.0, 30.0, 3, 2},
        {0.0, 0.0, 1, 1},
        {36.0, 53.4, 3, 2},  // 53.4 truncates to 53: 53 / 26.7 + 1 = 2.98
    };
    for (const Case& c : cases) {
        auto model = sheetOf(c.width, c.height);
        const PageGrid grid = pageGrid(*model);
        EXPECT_EQ(grid.columns, c.columns) << c.width << " x " << c.height;
        EXPECT_EQ(grid.rows, c.rows) << c.width << " x " << c.height;
        EXPECT_EQ(grid.pages(), c.columns * c.rows);
    }
    // The pattern scale counts: 2 units at 10 cm each are 20 cm.
    auto scaled = sheetOf(2, 1);
    scaled->patternScale = 10;
    EXPECT_EQ(pageGrid(*scaled).columns, 2);
    EXPECT_EQ(pageGrid(*scaled).rows, 1);
}

TEST(PageGrid, PagesRunAcrossThenDownAndTheLastPageIsLimited)
{
    const PageGrid grid{3, 2};
    const PageTile fourth = pageTile(grid, 4);
    EXPECT_EQ(fourth.column, 0);
    EXPECT_EQ(fourth.row, 1);
    EXPECT_DOUBLE_EQ(fourth.originXCm, 0.0);
    EXPECT_DOUBLE_EQ(fourth.originYCm, -26.7);
    const PageTile third = pageTile(grid, 3);
    EXPECT_EQ(third.column, 2);
    EXPECT_EQ(third.row, 0);
    EXPECT_DOUBLE_EQ(third.originXCm, -36.0);
    EXPECT_EQ(pageTile(grid, 6).column, 2);
    EXPECT_EQ(pageTile(grid, 6).row, 1);
    // Pages outside the job fall on its first or last page.
    EXPECT_EQ(pageTile(grid, 0).column, 0);
    EXPECT_EQ(pageTile(grid, 99).row, 1);

    EXPECT_EQ(lastPrintPage(grid, 9999), 6);
    EXPECT_EQ(lastPrintPage(grid, 4), 4);
    EXPECT_EQ(lastPrintPage(grid, 0), 1);
}

TEST(PrintPage, ATileShowsItsWindowOfTheSheet)
{
    // 40 x 30 cm: the square's top-left corner at (1.5, 1.5) cm lies on
    // page 1 at (150, 150); page 4 shows the sheet 26.7 cm further down.
    auto model = sheetOf(40, 30);
    const Settings s;
    RecordingCanvas first(kUpc), fourth(kUpc), fifth(kUpc);
    drawPrintPage(*model, s, first, kUpc, kUpc, 1);
    drawPrintPage(*model, s, fourth, kUpc, kUpc, 4);
    drawPrintPage(*model, s, fifth, kUpc, kUpc, 5);
    auto hasCorner = [](const RecordingCanvas& c, DevicePoint p) {
        return std::any_of(c.polygons.begin(), c.polygons.end(), [&](const test::RecordedPolygon& poly) {
            return std::find(poly.points.begin(), poly.points.end(), p) != poly.points.end();
        });
    };
    EXPECT_TRUE(hasCorner(first, {150, 150}));
    EXPECT_TRUE(hasCorner(fourth, {150, 150 - 2670}));
    EXPECT_TRUE(hasCorner(fifth, {150 - 1800, 150 - 2670}));
    // Six pages: registration marks on each, eight strokes per grid cell.
    EXPECT_EQ(markStrokes(first), 8 * 6);
    EXPECT_EQ(markStrokes(fourth), 8 * 6);
}

TEST(PrintPage, AOnePageJobHasNoRegistrationMarks)
{
    auto model = sheetOf(17.9, 26);
    RecordingCanvas page(kUpc);
    drawPrintPage(*model, Settings{}, page, kUpc, kUpc, 1);
    EXPECT_EQ(markStrokes(page), 0);
    EXPECT_FALSE(page.polygons.empty());

    auto wide = sheetOf(18.0, 26);
    RecordingCanvas second(kUpc);
    drawPrintPage(*wide, Settings{}, second, kUpc, kUpc, 2);
    EXPECT_EQ(markStrokes(second), 8 * 2);
}

} // namespace
} // namespace nettor
