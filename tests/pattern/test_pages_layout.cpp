// The Pages layout over generated models, sizes and papers, and the parts
// that must be split or cannot be laid out at all.
#include "pattern/pages_layout.h"
#include "pattern/pages_packing.h"
#include "support/hand_pattern.h"
#include "support/polygon_overlap.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

using namespace nettor;
using namespace nettor::test;

namespace {

std::vector<PatternPoint> asPoints(const std::vector<MmPoint>& polygon)
{
    std::vector<PatternPoint> out;
    for (const MmPoint& p : polygon) out.push_back({p.x, p.y});
    return out;
}

std::vector<MmPoint> flapPolygon(const LayoutFlap& flap)
{
    std::vector<MmPoint> out{flap.corners[0], flap.corners[1]};
    if (!(flap.corners[2] == flap.corners[1])) out.push_back(flap.corners[2]);
    out.push_back(flap.corners[3]);
    return out;
}

// Faces and flaps of a piece on its page.
std::vector<std::vector<MmPoint>> shapesOnPage(const PagesLayout& layout, const LaidOutPiece& piece)
{
    std::vector<std::vector<MmPoint>> shapes;
    for (const Face* f : piece.faces) shapes.push_back(layout.facePolygon(*f));
    for (const LayoutFlap& flap : piece.flaps) shapes.push_back(flapPolygon(flap));
    for (auto& s : shapes)
        for (MmPoint& p : s) p = piece.onPage(p);
    return shapes;
}

struct Box {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
};

Box boxOf(const std::vector<std::vector<MmPoint>>& shapes)
{
    Box b;
    for (const auto& s : shapes)
        for (const MmPoint& p : s) {
            b.x0 = std::min(b.x0, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.x1 = std::max(b.x1, p.x);
            b.y1 = std::max(b.y1, p.y);
        }
    return b;
}

double longestSide(const Model& m)
{
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const auto& o : m.objects)
        for (const Vertex* v : o->vertices) {
            const double c[3] = {v->position.x, v->position.y, v->position.z};
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], c[i]);
                hi[i] = std::max(hi[i], c[i]);
            }
        }
    return std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
}

// Everything the layout promises, measured independently of how it was made.
void checkLayout(const Model& model, const PagesLayout& layout)
{
    const double m = layout.settings.marginMm;
    const double tol = 1e-6;
    std::multiset<const Face*> seen;
    std::vector<std::vector<std::vector<MmPoint>>> shapes;
    for (const LaidOutPiece& piece : layout.pieces) {
        ASSERT_GE(piece.page, 1);
        ASSERT_LE(piece.page, layout.pageCount);
        seen.insert(piece.faces.begin(), piece.faces.end());
        shapes.push_back(shapesOnPage(layout, piece));
        // Inside the margins, flaps included.
        const Box b = boxOf(shapes.back());
        EXPECT_GE(b.x0, m - tol);
        EXPECT_GE(b.y0, m - tol);
        EXPECT_LE(b.x1, layout.paper.width - m + tol);
        EXPECT_LE(b.y1, layout.paper.height - m + tol);
        // Sides at their true length.
        for (const Face* f : piece.faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                const MmPoint a = piece.onPage(layout.local(*h->point));
                const MmPoint c = piece.onPage(layout.local(*h->next->point));
                EXPECT_NEAR(std::hypot(c.x - a.x, c.y - a.y), h->edge->length * layout.mmPerUnit, 0.01);
            }
        // No flap covers a face or another flap of its piece.
        std::vector<std::vector<MmPoint>> faces;
        for (const Face* f : piece.faces) faces.push_back(layout.facePolygon(*f));
        for (std::size_t i = 0; i < piece.flaps.size(); ++i) {
            const auto flap = asPoints(flapPolygon(piece.flaps[i]));
            for (const auto& face : faces) EXPECT_LT(intersectionArea(flap, asPoints(face)), 1e-6);
            for (std::size_t j = i + 1; j < piece.flaps.size(); ++j)
                EXPECT_LT(intersectionArea(flap, asPoints(flapPolygon(piece.flaps[j]))), 1e-6);
        }
    }
    // Every face once.
    int faces = 0;
    for (const auto& part : model.parts)
        for (const Face* f : part->faces) {
            ++faces;
            EXPECT_EQ(seen.count(f), 1u);
        }
    EXPECT_EQ(static_cast<int>(seen.size()), faces);
    // Pieces on one page keep 2 mm apart, and none lies within another.
    for (std::size_t a = 0; a < layout.pieces.size(); ++a)
        for (std::size_t b = a + 1; b < layout.pieces.size(); ++b) {
            if (layout.pieces[a].page != layout.pieces[b].page) continue;
            const Box ba = boxOf(shapes[a]), bb = boxOf(shapes[b]);
            if (ba.x1 + 2 < bb.x0 || bb.x1 + 2 < ba.x0 || ba.y1 + 2 < bb.y0 || bb.y1 + 2 < ba.y0) continue;
            double closest = 1e300;
            for (const auto& sa : shapes[a])
                for (const auto& sb : shapes[b]) {
                    for (std::size_t i = 0; i < sa.size(); ++i)
                        for (std::size_t j = 0; j < sb.size(); ++j)
                            closest = std::min(closest, segmentDistance(sa[i], sa[(i + 1) % sa.size()], sb[j],
                                                                        sb[(j + 1) % sb.size()]));
                    EXPECT_FALSE(insidePolygon(sa[0], sb)) << "piece " << a << " within piece " << b;
                    EXPECT_FALSE(insidePolygon(sb[0], sa)) << "piece " << b << " within piece " << a;
                }
            EXPECT_GE(closest, kPagesGapMm - 1e-9) << "pieces " << a << " and " << b;
        }
}

void expectSameLayout(const PagesLayout& a, const PagesLayout& b)
{
    ASSERT_EQ(a.pageCount, b.pageCount);
    ASSERT_EQ(a.pieces.size(), b.pieces.size());
    for (std::size_t i = 0; i < a.pieces.size(); ++i) {
        EXPECT_EQ(a.pieces[i].faces, b.pieces[i].faces);
        EXPECT_EQ(a.pieces[i].page, b.pieces[i].page);
        EXPECT_EQ(a.pieces[i].rotationDeg, b.pieces[i].rotationDeg);
        EXPECT_EQ(a.pieces[i].offset, b.pieces[i].offset);
        ASSERT_EQ(a.pieces[i].flaps.size(), b.pieces[i].flaps.size());
        for (std::size_t j = 0; j < a.pieces[i].flaps.size(); ++j)
            EXPECT_EQ(a.pieces[i].flaps[j].corners, b.pieces[i].flaps[j].corners);
    }
}

PagesSettings paper(const char* name, bool landscape, double margin)
{
    PagesSettings s;
    EXPECT_TRUE(parsePaperName(name, s));
    s.landscape = landscape;
    s.marginMm = margin;
    return s;
}

class PagesLayoutTest : public UnfoldTest {};

TEST_F(PagesLayoutTest, GeneratedModelsSizesAndPapersKeepEveryPromise)
{
    std::mt19937 rng(27);
    std::vector<std::pair<std::string, std::vector<MeshSpec>>> models{
        {"convex", {randomConvexSpec(rng, 30)}},
        {"sphere", {subdividedSphereSpec(2)}},
        {"torus", {torusSpec(16, 8)}},
        {"star", {starPrismSpec(rng, 6)}},
        {"comb", {combPrismSpec(rng, 4)}},
        {"several", {boxSpec(), translated(torusSpec(8, 5), {0, 5, 0}), translated(lPrismSpec(), {4, 0, 0})}},
    };
    const std::vector<PagesSettings> papers{paper("A4", false, 10), paper("A5", true, 5), paper("120x90", false, 8),
                                            paper("Letter", true, 12)};
    const double sizes[] = {60, 200, 450};
    int combination = 0;
    for (const auto& [name, specs] : models) {
        session.settings = Settings{};
        Model& model = take(buildModel(specs));
        session.status.busy = true;
        ASSERT_FALSE(unfoldAll(session, model));
        ASSERT_TRUE(session.status.finished);
        for (const double size : sizes) {
            PagesSettings pages = papers[static_cast<std::size_t>(combination % 4)];
            pages.finishedSizeMm = size;
            Settings settings;
            settings.flapsBothSides = combination % 5 == 3;
            settings.flapSize = combination % 3;
            ++combination;
            SCOPED_TRACE(name + " at " + std::to_string(size) + " mm on " + paperName(pages));
            PagesResult result = layOutPages({model, settings, pages});
            // A face too large for the paper: the size named must work.
            const std::string named = "The largest finished size that fits on ";
            const std::size_t at = result.message.find(named);
            if (!result.layout && at != std::string::npos) {
                const std::size_t is = result.message.find(" is ", at);
                ASSERT_NE(is, std::string::npos);
                pages.finishedSizeMm = std::stod(result.message.substr(is + 4));
                EXPECT_EQ(result.largestFittingSizeMm, pages.finishedSizeMm) << "the size offered is the one named";
                EXPECT_LT(pages.finishedSizeMm, size);
                result = layOutPages({model, settings, pages});
            }
            ASSERT_TRUE(result.layout) << result.message;
            checkLayout(model, *result.layout);
            EXPECT_NEAR(longestSide(model) * result.layout->mmPerUnit, pages.finishedSizeMm, 1e-9 * size);
            const PagesResult again = layOutPages({model, settings, pages});
            ASSERT_TRUE(again.layout);
            expectSameLayout(*result.layout, *again.layout);
        }
    }
}

TEST_F(PagesLayoutTest, TheScaleGivesCentimetresPerModelUnit)
{
    Model& model = take(torusSpec(12, 6));
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    PagesSettings pages;
    pages.sizeMode = ModelSizeMode::Scale;
    pages.cmPerUnit = 2.5; // the torus is 5.4 units across as read
    const PagesResult result = layOutPages({model, Settings{}, pages});
    ASSERT_TRUE(result.layout) << result.message;
    EXPECT_NEAR(longestSide(model) * result.layout->mmPerUnit, 5.4 * 25.0, 1e-9);
    checkLayout(model, *result.layout);
}

TEST_F(PagesLayoutTest, ALongStripIsSplitIntoTheFewestPiecesWithNumberedCuts)
{
    // Twelve squares in one part, 50 mm each at 600 mm: five fit the height
    // of an A4 page with their flaps, so three pieces.
    auto model = layOutFlat(squareRowSpec(12), std::vector<int>(12, 0));
    PagesSettings pages;
    pages.finishedSizeMm = 600;
    const PagesResult result = layOutPages({*model, Settings{}, pages});
    ASSERT_TRUE(result.layout) << result.message;
    const PagesLayout& layout = *result.layout;
    checkLayout(*model, layout);
    EXPECT_EQ(layout.pieces.size(), 3u);
    EXPECT_EQ(layout.partsSplit, 1);
    ASSERT_EQ(layout.splitNumbers.size(), 2u);
    std::set<int> numbers;
    for (const auto& [edge, number] : layout.splitNumbers) {
        numbers.insert(number);
        EXPECT_EQ(edge->edgeId, -1) << "a fold of the model";
        // Both sides carry the number, in different pieces.
        int sidesSeen = 0;
        std::set<const LaidOutPiece*> holders;
        for (const LaidOutPiece& piece : layout.pieces)
            for (const Face* f : piece.faces)
                for (const HalfEdge* h : f->outerLoop.halfEdges)
                    if (h->edge == edge) {
                        ++sidesSeen;
                        holders.insert(&piece);
                        EXPECT_EQ(layout.edgeNumber(*h->edge), number);
                        EXPECT_FALSE(layout.joined(*h));
                    }
        EXPECT_EQ(sidesSeen, 2);
        EXPECT_EQ(holders.size(), 2u);
    }
    int modelNumbers = 0;
    for (const Edge* e : model->objects[0]->edges) modelNumbers = std::max(modelNumbers, e->edgeId);
    EXPECT_EQ(numbers, (std::set<int>{modelNumbers + 1, modelNumbers + 2}));
    // Each new cut has one flap.
    int splitFlaps = 0;
    for (const LaidOutPiece& piece : layout.pieces)
        for (const LayoutFlap& flap : piece.flaps) splitFlaps += layout.splitNumbers.count(flap.side->edge) > 0;
    EXPECT_EQ(splitFlaps, 2);
}

TEST_F(PagesLayoutTest, AFaceLargerThanThePageNamesTheLargestSizeThatFits)
{
    // One square face with flaps of 0.1 of its side on both sides and a
    // little for the cells: 1.2 s + 2.001 must fit 190 mm.
    auto model = layOutFlat(squareRowSpec(1), {0});
    PagesSettings pages;
    pages.finishedSizeMm = 400;
    const PagesResult tooLarge = layOutPages({*model, Settings{}, pages});
    EXPECT_FALSE(tooLarge.layout);
    EXPECT_NE(tooLarge.message.find("The largest finished size that fits on A4 is 156.6 mm."), std::string::npos)
        << tooLarge.message;
    EXPECT_EQ(tooLarge.largestFittingSizeMm, 156.6);
    pages.finishedSizeMm = 156.6;
    EXPECT_TRUE(layOutPages({*model, Settings{}, pages}).layout);
    pages.finishedSizeMm = 156.8;
    EXPECT_FALSE(layOutPages({*model, Settings{}, pages}).layout);
}

TEST_F(PagesLayoutTest, AFlapThatWouldCoverAFaceMovesToTheOtherSide)
{
    // Squares 0 and 2 in one part, 1 in another. Square 2 is moved up to
    // square 0, into the place of square 0's flap on its cut with square 1:
    // that flap goes to square 1's side. The cut of squares 1 and 2 keeps
    // its flap on square 1.
    auto model = layOutFlat(squareRowSpec(3), {0, 1, 0});
    const Face* face0 = model->objects[0]->faces[0];
    const Face* face1 = model->objects[0]->faces[1];
    const Face* face2 = model->objects[0]->faces[2];
    for (HalfEdge* h : face2->outerLoop.halfEdges) h->point->x -= 0.95;
    PagesSettings pages;
    pages.finishedSizeMm = 90; // 30 mm squares
    const PagesResult result = layOutPages({*model, Settings{}, pages});
    ASSERT_TRUE(result.layout) << result.message;
    const PagesLayout& layout = *result.layout;
    checkLayout(*model, layout);
    EXPECT_EQ(layout.flapsMoved, 1);
    EXPECT_EQ(layout.flapsShortened, 0);
    EXPECT_EQ(layout.flapsOmitted, 0);
    std::vector<std::pair<const Face*, const Face*>> flaps; // (face of the flap, face across)
    for (const LaidOutPiece& piece : layout.pieces)
        for (const LayoutFlap& flap : piece.flaps)
            flaps.emplace_back(flap.side->loop->face, flap.side->twin->loop->face);
    std::sort(flaps.begin(), flaps.end(), [](auto a, auto b) { return a.second->index < b.second->index; });
    ASSERT_EQ(flaps.size(), 2u);
    EXPECT_EQ(flaps[0], std::make_pair(face1, face0));
    EXPECT_EQ(flaps[1], std::make_pair(face1, face2));
}

TEST_F(PagesLayoutTest, TooManyPagesStopWithTheCountNeeded)
{
    auto model = layOutFlat(squareRowSpec(4), {0, 1, 2, 3});
    PagesSettings pages;
    pages.paper = PaperSize::A5;
    pages.marginMm = 60; // 28 x 90 mm to print on
    pages.finishedSizeMm = 100000;
    const PagesResult result = layOutPages({*model, Settings{}, pages});
    EXPECT_FALSE(result.layout);
    // 4 squares of 25 m over 28 x 90 mm.
    EXPECT_NE(result.message.find("at least 992064 pages"), std::string::npos) << result.message;
}

TEST_F(PagesLayoutTest, SmallPartsSitInTheNotchOfALargeOne)
{
    // An L of three squares and a square: side by side their boxes need
    // more room than the page has, but the square fits the L's notch.
    MeshSpec spec;
    spec.vertices = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0},
                     {0, 2, 0}, {1, 2, 0}, {5, 5, 0}, {5.8, 5, 0}, {5.8, 5.8, 0}, {5, 5.8, 0}};
    spec.faces = {{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {8, 9, 10, 11}};
    auto model = layOutFlat(spec, {0, 0, 0, 1});
    Settings settings;
    settings.createFlaps = 0;
    PagesSettings pages;
    pages.paper = PaperSize::Custom;
    pages.customWidthMm = 130;
    pages.customHeightMm = 130;
    pages.marginMm = 5;
    pages.finishedSizeMm = 5.8 * 55; // 55 mm per unit: the L is 110 mm across, the square 44 mm
    const PagesResult result = layOutPages({*model, settings, pages});
    ASSERT_TRUE(result.layout) << result.message;
    checkLayout(*model, *result.layout);
    EXPECT_EQ(result.layout->pageCount, 1);
}

TEST(PagesPacking, CellMasksGrowMergeAndFindTakenCells)
{
    CellMask piece(3, 2);
    piece.setRun(0, 0, 2);
    piece.set(1, 1);
    EXPECT_EQ(piece.count(), 4);
    const CellMask grown = piece.grown(1);
    EXPECT_EQ(grown.width(), 5);
    EXPECT_EQ(grown.height(), 4);
    EXPECT_TRUE(grown.get(0, 0));
    EXPECT_TRUE(grown.get(4, 2));
    EXPECT_FALSE(grown.get(0, 3));
    CellMask page(130, 10);
    page.merge(grown, 62, 3); // across a word boundary
    EXPECT_TRUE(page.get(66, 5));
    EXPECT_FALSE(page.get(67, 5));
    EXPECT_EQ(page.lastSetIn(5, 0, 129), 66);
    EXPECT_EQ(page.lastSetIn(5, 0, 65), 65);
    EXPECT_EQ(page.lastSetIn(6, 60, 64), 64);
    EXPECT_EQ(page.lastSetIn(6, 66, 129), -1);
    EXPECT_EQ(page.lastSetIn(7, 0, 129), -1);
    EXPECT_EQ(page.lastSetIn(3, 63, 63), 63);
}

// Shapes as the packer gets them: each placed shape turned and moved onto
// its page.
std::vector<std::vector<MmPoint>> placedShapes(const PackItem& item, const PackPlacement& placement)
{
    std::vector<std::vector<MmPoint>> out = item.shapes;
    for (auto& shape : out)
        for (MmPoint& p : shape) {
            const MmPoint t = turned(p, placement.rotationDeg);
            p = {t.x + placement.offset.x, t.y + placement.offset.y};
        }
    return out;
}

TEST(PagesPacking, RandomShapesStayInsideTheMarginsAndApartInEveryOrderAndTurn)
{
    std::mt19937 rng(2027);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int across = 0;
    for (int round = 0; round < 40; ++round) {
        const PaperMm paper{80 + 100 * unit(rng), 80 + 100 * unit(rng)};
        const double margin = 3 + 7 * unit(rng);
        // Triangles, L shapes and slivers of up to half the paper.
        std::vector<PackItem> items(static_cast<std::size_t>(3 + rng() % 24));
        for (PackItem& item : items) {
            const double w = 5 + unit(rng) * (paper.width / 2 - 5), h = 5 + unit(rng) * (paper.height / 2 - 5);
            if (rng() % 3 == 0)
                item.shapes = {{{0, 0}, {w, 0}, {w, h / 8}, {0, h / 8}}};
            else if (rng() % 2)
                item.shapes = {{{0, 0}, {w, 0}, {w * unit(rng), h}}};
            else
                item.shapes = {{{0, 0}, {w, 0}, {w, h / 3}, {0, h / 3}}, {{0, h / 3}, {w / 3, h / 3}, {w / 3, h}, {0, h}}};
            item.fitTurn = 0.0;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        const PackResult packed = packPieces(items, paper, margin, nullptr);
        ASSERT_FALSE(packed.doesNotFit || packed.tooManyPages || packed.cancelled);
        across += packed.packedAcross;
        std::vector<std::vector<std::vector<MmPoint>>> shapes;
        for (std::size_t i = 0; i < items.size(); ++i) {
            shapes.push_back(placedShapes(items[i], packed.placements[i]));
            const Box b = boxOf(shapes.back());
            EXPECT_GE(b.x0, margin - 1e-6);
            EXPECT_GE(b.y0, margin - 1e-6);
            EXPECT_LE(b.x1, paper.width - margin + 1e-6);
            EXPECT_LE(b.y1, paper.height - margin + 1e-6);
            EXPECT_GE(packed.placements[i].page, 1);
            EXPECT_LE(packed.placements[i].page, packed.pageCount);
        }
        for (std::size_t a = 0; a < items.size(); ++a)
            for (std::size_t b = a + 1; b < items.size(); ++b) {
                if (packed.placements[a].page != packed.placements[b].page) continue;
                double closest = 1e300;
                for (const auto& sa : shapes[a])
                    for (const auto& sb : shapes[b]) {
                        for (std::size_t i = 0; i < sa.size(); ++i)
                            for (std::size_t j = 0; j < sb.size(); ++j)
                                closest = std::min(closest, segmentDistance(sa[i], sa[(i + 1) % sa.size()], sb[j],
                                                                            sb[(j + 1) % sb.size()]));
                        EXPECT_FALSE(insidePolygon(sa[0], sb));
                        EXPECT_FALSE(insidePolygon(sb[0], sa));
                    }
                EXPECT_GE(closest, kPagesGapMm - 1e-9) << "items " << a << " and " << b;
            }
        // The same again.
        const PackResult again = packPieces(items, paper, margin, nullptr);
        ASSERT_EQ(again.pageCount, packed.pageCount);
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(again.placements[i].page, packed.placements[i].page);
            EXPECT_EQ(again.placements[i].offset, packed.placements[i].offset);
            EXPECT_EQ(again.placements[i].rotationDeg, packed.placements[i].rotationDeg);
        }
    }
    // The paper turned a quarter won somewhere, so its placements were
    // turned back and checked too.
    EXPECT_GT(across, 0);
}

TEST(PagesPacking, MoreThanTenThousandPagesStopWithTheItemsPlaced)
{
    // Squares larger than half the page: one a page.
    std::vector<PackItem> items(static_cast<std::size_t>(kMaxPages) + 5);
    for (PackItem& item : items) item.shapes = {{{0, 0}, {30, 0}, {30, 30}, {0, 30}}};
    const PackResult packed = packPieces(items, {40, 40}, 2, nullptr);
    EXPECT_TRUE(packed.tooManyPages);
    EXPECT_EQ(packed.pageCount, kMaxPages);
    EXPECT_EQ(packed.placedBeforeStop, kMaxPages);
}

} // namespace
