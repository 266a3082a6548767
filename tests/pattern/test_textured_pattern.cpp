// The textured pattern picture: placement in the window, texture
// coordinates, flaps outside their faces, which lines are drawn, and the
// zoom limits.
#include "pattern/textured_pattern.h"
#include "support/hand_pattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace nettor;
using namespace nettor::test;

namespace {

// Two unit squares side by side, 2 x 1 sheet, 10 pixels per unit.
std::unique_ptr<Model> twoSquares(const std::vector<int>& parts)
{
    auto model = layOutFlat(squareRowSpec(2), parts);
    model->unitScale = 2.0;
    model->textureScale = 20.0;
    return model;
}

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(double x, double y)
    {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    bool containsStrictly(double x, double y) const { return x > minX && x < maxX && y > minY && y < maxY; }
};

Box boxOf(const std::vector<TexturedCorner>& face)
{
    Box b;
    for (const TexturedCorner& c : face) b.add(c.x, c.y);
    return b;
}

// Whether two pictures have the same flap and edge lines: a picture built
// again from the same model repeats the first, nothing of one build is left
// behind for the next.
bool sameLines(const TexturedPicture& a, const TexturedPicture& b)
{
    auto same = [](const std::vector<TexturedSegment>& p, const std::vector<TexturedSegment>& q) {
        return std::equal(p.begin(), p.end(), q.begin(), q.end(), [](const TexturedSegment& s, const TexturedSegment& t) {
            return s.x0 == t.x0 && s.y0 == t.y0 && s.x1 == t.x1 && s.y1 == t.y1;
        });
    };
    return same(a.flapLines, b.flapLines) && same(a.lines, b.lines);
}

} // namespace

TEST(TexturedPattern, SheetIsCentredWithYUpAndMirroredWhenInverted)
{
    auto model = twoSquares({0, 1});
    Settings settings;
    for (bool inverted : {false, true}) {
        model->textureInverted = inverted;
        const TexturedPicture picture = buildTexturedPattern(*model, settings, {});
        ASSERT_EQ(picture.faces.size(), 2u);
        Box all;
        for (const auto& face : picture.faces)
            for (const TexturedCorner& c : face) all.add(c.x, c.y);
        EXPECT_DOUBLE_EQ(all.minX, -10);
        EXPECT_DOUBLE_EQ(all.maxX, 10);
        EXPECT_DOUBLE_EQ(all.minY, -5);
        EXPECT_DOUBLE_EQ(all.maxY, 5);
        // The first square lies at pattern x 0..1: the left half, or the right
        // half once mirrored. Pattern y 0 (the top of the sheet) is window y 5.
        const Box first = boxOf(picture.faces[0]);
        EXPECT_DOUBLE_EQ(inverted ? first.minX : first.maxX, 0);
        EXPECT_DOUBLE_EQ(inverted ? first.maxX : first.minX, inverted ? 10 : -10);
        const auto& corners = picture.faces[0];
        const auto& sides = model->parts[0]->faces[0]->outerLoop.halfEdges;
        ASSERT_EQ(corners.size(), sides.size());
        for (std::size_t i = 0; i < sides.size(); ++i) EXPECT_DOUBLE_EQ(corners[i].y, sides[i]->point->y == 0 ? 5 : -5);
    }
}

TEST(TexturedPattern, CornersCarryTheirTextureCoordinates)
{
    auto model = twoSquares({0, 0});
    MeshObject& object = *model->objects.front();
    TexCoord* tc = object.addTexCoord(0.25, 0.75);
    Face* face = object.faces[1];
    face->outerLoop.halfEdges[0]->texCoord = tc;
    const TexturedPicture picture = buildTexturedPattern(*model, Settings{}, {});
    ASSERT_EQ(picture.faces.size(), 2u);
    for (const TexturedCorner& c : picture.faces[0]) EXPECT_FALSE(c.hasTexCoord);
    const auto& second = picture.faces[1];
    ASSERT_EQ(second.size(), 4u);
    EXPECT_TRUE(second[0].hasTexCoord);
    EXPECT_EQ(second[0].u, 0.25);
    EXPECT_EQ(second[0].v, 0.75);
    EXPECT_FALSE(second[1].hasTexCoord);
}

TEST(TexturedPattern, FlapsStandOutsideTheirFacesOnNumberedEdgesOnly)
{
    auto model = twoSquares({0, 1}); // the middle edge is cut and numbered
    for (bool inverted : {false, true}) {
        model->textureInverted = inverted;
        Settings settings;
        settings.flapSize = static_cast<std::int32_t>(FlapSize::Large);
        TexturedPicture picture = buildTexturedPattern(*model, settings, {});
        ASSERT_EQ(picture.flapLines.size(), 3u) << "one flap of three segments";
        // The flap's outer segment lies h = 0.18 x averageEdgeLength x 10 from
        // the cut edge at window x 0, on the side away from the face it
        // belongs to (the first square met, on the left unless mirrored).
        const double h = 0.18 * model->averageEdgeLength * 10;
        const TexturedSegment& outer = picture.flapLines[1];
        EXPECT_NEAR(outer.x0, inverted ? -h : h, 1e-9);
        EXPECT_NEAR(outer.x1, inverted ? -h : h, 1e-9);
        const Box owner = boxOf(picture.faces[0]);
        EXPECT_FALSE(owner.containsStrictly((outer.x0 + outer.x1) / 2, (outer.y0 + outer.y1) / 2));
        EXPECT_TRUE(sameLines(buildTexturedPattern(*model, settings, {}), picture));

        settings.flapsBothSides = 1;
        picture = buildTexturedPattern(*model, settings, {});
        EXPECT_EQ(picture.flapLines.size(), 6u);
        EXPECT_NEAR(picture.flapLines[4].x0, inverted ? h : -h, 1e-9);

        settings.createFlaps = 0;
        EXPECT_TRUE(buildTexturedPattern(*model, settings, {}).flapLines.empty());
    }
    // One part: no numbered edge, no flap.
    auto joined = twoSquares({0, 0});
    EXPECT_TRUE(buildTexturedPattern(*joined, Settings{}, {}).flapLines.empty());
}

TEST(TexturedPattern, SilhouetteAndFoldLines)
{
    TexturedPatternOptions options;
    options.lineTransparency = 0.25;

    auto cut = twoSquares({0, 1});
    // Six border sides and the cut edge once from each side.
    TexturedPicture picture = buildTexturedPattern(*cut, Settings{}, options);
    EXPECT_EQ(picture.lines.size(), 8u);
    EXPECT_DOUBLE_EQ(picture.lineAlpha, 0.75);
    options.showSilhouette = false;
    EXPECT_TRUE(buildTexturedPattern(*cut, Settings{}, options).lines.empty());

    auto fold = twoSquares({0, 0});
    options.showSilhouette = true;
    EXPECT_EQ(buildTexturedPattern(*fold, Settings{}, options).lines.size(), 6u) << "borders only";
    fold->textureShowEdges = true;
    EXPECT_EQ(buildTexturedPattern(*fold, Settings{}, options).lines.size(), 7u) << "the fold once";
    options.showSilhouette = false;
    picture = buildTexturedPattern(*fold, Settings{}, options);
    ASSERT_EQ(picture.lines.size(), 1u);
    EXPECT_DOUBLE_EQ(picture.lines[0].x0, 0);
    EXPECT_DOUBLE_EQ(picture.lines[0].x1, 0);
    EXPECT_DOUBLE_EQ(std::abs(picture.lines[0].y1 - picture.lines[0].y0), 10);
    EXPECT_TRUE(sameLines(buildTexturedPattern(*fold, Settings{}, options), picture));
}

TEST(TexturedPattern, ScaleStartsAtFiveHundredPixelsAndShrinksNoFurtherThanTen)
{
    auto model = twoSquares({0, 1});
    resetTextureScale(*model);
    EXPECT_DOUBLE_EQ(model->sheetHeight * texturedPixelsPerUnit(*model), 500);

    EXPECT_TRUE(dragTextureScale(*model, 10, 0));
    EXPECT_NEAR(model->sheetHeight * texturedPixelsPerUnit(*model), 550, 1e-9);
    EXPECT_TRUE(dragTextureScale(*model, -5, -5));
    EXPECT_NEAR(model->sheetHeight * texturedPixelsPerUnit(*model), 495, 1e-9);

    // Drag up and left until refused; the sheet never drops below 10 pixels.
    int refusals = 0;
    for (int i = 0; i < 100; ++i) {
        if (!dragTextureScale(*model, -20, -20)) ++refusals;
        EXPECT_GE(model->sheetHeight * texturedPixelsPerUnit(*model), 10);
    }
    EXPECT_GT(refusals, 0);
    const double small = model->textureScale;
    EXPECT_FALSE(dragTextureScale(*model, -150, 0)) << "a factor below zero is refused";
    EXPECT_EQ(model->textureScale, small);
    EXPECT_TRUE(dragTextureScale(*model, 20, 20)) << "enlarging still works";
    EXPECT_GT(model->textureScale, small);
}
