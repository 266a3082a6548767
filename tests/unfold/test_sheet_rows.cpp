// The rows of the arrangement: a position outside a row's openings, as they
// are or trimmed by the upper corners, must be ruled out by a corner of a
// placed rectangle, whatever the rectangles' shapes and however far the
// candidate is lifted above its row.
#include "unfold/sheet_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using nettor::SheetRows;

namespace {

struct LatticeRect {
    double x0, y0, x1, y1;
};

bool pointIn(double px, double py, const LatticeRect& r) { return r.x0 <= px && px <= r.x1 && r.y0 <= py && py <= r.y1; }

bool meetByCorner(const LatticeRect& t, const LatticeRect& o)
{
    const double ox[4] = {o.x0, o.x0, o.x1, o.x1}, oy[4] = {o.y0, o.y1, o.y0, o.y1};
    const double tx[4] = {t.x0, t.x0, t.x1, t.x1}, ty[4] = {t.y0, t.y1, t.y0, t.y1};
    for (int i = 0; i < 4; ++i)
        if (pointIn(ox[i], oy[i], t) || pointIn(tx[i], ty[i], o)) return true;
    return false;
}

} // namespace

TEST(SheetRows, EveryPositionOutsideTheOpeningsMeetsAPlacedRectangleByACorner)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 20; ++round) {
        const double tallest = 2.0;
        SheetRows rows;
        std::vector<LatticeRect> placed;
        std::vector<double> xs{0.0};
        rows.addRow(0.0);
        // Rectangles on a coarse lattice so that edges touch and coincide,
        // some long and thin across the others; sparse sheets leave the
        // corners room to be wrongly ruled out.
        const int count = round % 2 == 0 ? 60 : 6 + round;
        for (int i = 0; i < count; ++i) {
            const double x0 = std::floor(unit(rng) * 16) * 0.25, y0 = std::floor(unit(rng) * 16) * 0.25;
            double w = 0.25 * (1 + std::floor(unit(rng) * 4)), h = 0.25 * (1 + std::floor(unit(rng) * 4));
            if (i % 7 == 0) w = 0.05, h = tallest;
            if (i % 7 == 1) w = 3.0, h = 0.05;
            // Some tops just above a lattice line, below a lifted candidate.
            const LatticeRect r{x0, y0, x0 + w, y0 + h + (i % 7 == 2 ? 0.0007 : 0.0)};
            placed.push_back(r);
            rows.addRectangle(r.x0, r.y0, r.x1, r.y1);
            rows.addRow(r.y1);
            xs.push_back(r.x1);
        }
        std::sort(xs.begin(), xs.end());
        std::vector<std::pair<double, double>> openings;
        SheetRows::Scratch scratch;
        for (int q = 0; q < 40; ++q) {
            const double w = 0.05 + unit(rng) * 1.5, h = 0.05 + unit(rng) * (tallest - 0.05);
            const double dx = 0.001 * w, dy = 0.001 * h;
            for (std::size_t row = 0; row < rows.ys().size(); ++row) {
                const double y = rows.ys()[row];
                rows.openings(row, w, h, dy, openings, scratch);
                // The openings as they are, then less what the upper corners
                // rule out; the trimmed ones lie within the first.
                std::vector<std::pair<double, double>> trimmed = openings;
                rows.trimByUpperCorners(row, w, h, dy, trimmed, scratch);
                for (const auto* list : {&openings, &trimmed}) {
                    ASSERT_FALSE(list->empty());
                    for (std::size_t i = 1; i < list->size(); ++i)
                        ASSERT_LE((*list)[i - 1].second, (*list)[i].first) << "openings out of order";
                }
                auto within = [](const std::vector<std::pair<double, double>>& list, double left) {
                    return std::any_of(list.begin(), list.end(),
                                       [&](const auto& o) { return o.first < left && left < o.second; });
                };
                for (double x : xs) {
                    const double left = x + dx;
                    if (within(trimmed, left)) {
                        EXPECT_TRUE(within(openings, left)) << "trimming opened x " << x;
                        continue;
                    }
                    const LatticeRect t{left, y + dy, left + w, y + dy + h};
                    EXPECT_TRUE(std::any_of(placed.begin(), placed.end(),
                                            [&](const LatticeRect& o) { return meetByCorner(t, o); }))
                        << "round " << round << ", row " << y << ", x " << x << ", size " << w << " x " << h
                        << (within(openings, left) ? ", ruled out by an upper corner" : "");
                }
            }
        }
    }
}

// A row's blocks are kept up as rectangles come in; they must open and trim
// exactly as blocks merged afresh from the row's rectangles, whichever of
// the rows and the rectangles came first, and with a rectangle's rows
// joined in two ranges.
TEST(SheetRows, BlocksKeptUpOpenAsBlocksMergedAfresh)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 10; ++round) {
        std::vector<LatticeRect> placed;
        for (int i = 0; i < 80; ++i) {
            const double x0 = std::floor(unit(rng) * 24) * 0.25, y0 = std::floor(unit(rng) * 24) * 0.25;
            const double w = i % 9 == 0 ? 4.0 : 0.25 * (1 + std::floor(unit(rng) * 4));
            const double h = i % 9 == 1 ? 3.0 : 0.25 * (1 + std::floor(unit(rng) * 4)) + (i % 5 == 0 ? 0.0007 : 0.0);
            placed.push_back({x0, y0, x0 + w, y0 + h});
        }
        // Some tops are left without a row of their own, so that a row's
        // blocks hold rectangles ending below the tops of candidates.
        auto rowAtTop = [](std::size_t i) { return i % 4 != 3; };
        SheetRows asPlaced, rowsFirst, rectsFirst;
        for (SheetRows* rows : {&asPlaced, &rowsFirst, &rectsFirst}) rows->addRow(0.0);
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const LatticeRect& r = placed[i];
            asPlaced.addRectangle(r.x0, r.y0, r.x1, r.y1);
            asPlaced.addRow(r.y0);
            rowsFirst.addRow(r.y0);
            if (rowAtTop(i)) {
                asPlaced.addRow(r.y1);
                rowsFirst.addRow(r.y1);
            }
            rectsFirst.addRectangle(r.x0, r.y0, r.x1, r.y1);
        }
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const LatticeRect& r = placed[i];
            // Its rows in two ranges, the upper first, as two threads may
            // take them.
            const nettor::GridBox rect{r.x0, r.y0, r.x1, r.y1};
            const auto [from, to] = rowsFirst.recordRectangle(rect);
            const std::size_t middle = from + (to - from) / 2;
            rowsFirst.joinRows(rect, middle, to);
            rowsFirst.joinRows(rect, from, middle);
            rectsFirst.addRow(r.y0);
            if (rowAtTop(i)) rectsFirst.addRow(r.y1);
        }
        ASSERT_EQ(asPlaced.ys(), rowsFirst.ys());
        ASSERT_EQ(asPlaced.ys(), rectsFirst.ys());
        SheetRows::Scratch scratch;
        for (int q = 0; q < 30; ++q) {
            const double w = 0.05 + unit(rng) * 1.5, h = 0.05 + unit(rng) * 2.0, lift = 0.001 * h;
            for (std::size_t row = 0; row < asPlaced.ys().size(); ++row) {
                std::vector<std::pair<double, double>> open[3], trimmed[3];
                int i = 0;
                for (const SheetRows* rows : {&asPlaced, &rowsFirst, &rectsFirst}) {
                    rows->openings(row, w, h, lift, open[i], scratch);
                    trimmed[i] = open[i];
                    rows->trimByUpperCorners(row, w, h, lift, trimmed[i], scratch);
                    ++i;
                }
                for (int k = 1; k < 3; ++k) {
                    ASSERT_EQ(open[k], open[0]) << "round " << round << ", row " << row << ", order " << k;
                    ASSERT_EQ(trimmed[k], trimmed[0]) << "round " << round << ", row " << row << ", order " << k;
                }
            }
        }
    }
}
