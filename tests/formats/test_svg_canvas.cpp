// The SVG canvas: its elements, and a pattern rendered by a real SVG reader
// next to the EPS of the same pattern.
#include "pattern/draw_pattern.h"
#include "formats/eps_writer.h"
#include "formats/svg_canvas.h"
#include "pattern/text_metrics.h"
#include "support/ghostscript_render.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nettor {
namespace {

TEST(SvgCanvas, TextIsATextElementWithItsRotation)
{
    SvgCanvas svg(10, 5, 100);
    Font font;
    font.height = 100;
    font.escapement = 900;
    svg.selectFont(font);
    svg.textOut(120, 340, "1<2");
    const std::string doc = svg.document();
    EXPECT_NE(doc.find("<text transform=\"translate(120 340) rotate(-90)\""), std::string::npos) << doc;
    EXPECT_NE(doc.find(">1&lt;2</text>"), std::string::npos);
    EXPECT_NE(doc.find("font-family=\"Arial"), std::string::npos);
    EXPECT_NE(doc.find("width=\"10cm\" height=\"5cm\" viewBox=\"0 0 1000 500\""), std::string::npos);
}

TEST(SvgCanvas, ArialExtents)
{
    SvgCanvas svg(10, 5, 100);
    Font font;
    font.height = 100;
    svg.selectFont(font);
    // Two digits of 0.556 em; the em of a 100-unit cell is 89.5 units.
    EXPECT_EQ(svg.textExtent("10").width, 100);
    EXPECT_EQ(svg.textExtent("10").height, 100);
    EXPECT_LT(svg.textExtent("iii").width, svg.textExtent("WWW").width);
    EXPECT_NEAR(arialAscentForCellHeight(100), 81.0, 0.1);
}

TEST(SvgCanvas, PensBecomeStrokes)
{
    SvgCanvas svg(10, 5, 100);
    svg.selectPen(Pen::null());
    svg.moveTo(0, 0);
    svg.lineTo(10, 10);
    svg.selectPen(Pen::dotted(1, kBlack));
    svg.moveTo(20, 20);
    svg.lineTo(30, 30);
    svg.lineTo(40, 20);
    svg.selectPen(Pen::solid(5, {255, 0, 0}));
    svg.moveTo(50, 50);
    svg.lineTo(60, 60);
    const std::string doc = svg.document();
    EXPECT_EQ(doc.find("M0 0"), std::string::npos) << "null pens draw nothing";
    EXPECT_NE(doc.find("d=\"M20 20L30 30L40 20\" fill=\"none\" stroke=\"#000000\" stroke-width=\"3.5\" "
                       "stroke-dasharray=\"14 14\""),
              std::string::npos)
        << doc;
    EXPECT_NE(doc.find("d=\"M50 50L60 60\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"5\""),
              std::string::npos)
        << doc;
}

TEST(SvgCanvas, PolygonsFillAndOutline)
{
    SvgCanvas svg(10, 5, 100);
    svg.selectBrush(Brush::solid({1, 2, 3}));
    svg.selectPen(Pen::stockWhite());
    svg.polygon({{0, 0}, {10, 0}, {10, 10}});
    svg.fillPolygon({{1, 1}, {2, 2}, {3, 1}});
    const std::string doc = svg.document();
    EXPECT_NE(doc.find("<polygon points=\"0,0 10,0 10,10\" fill=\"#010203\" stroke=\"#ffffff\""),
              std::string::npos);
    EXPECT_NE(doc.find("<polygon points=\"1,1 2,2 3,1\" fill=\"#010203\" stroke=\"none\"/>"),
              std::string::npos);
}

class SvgRendering : public test::UnfoldTest {};

TEST_F(SvgRendering, PatternLooksLikeItsEps)
{
    if (!test::toolAvailable("rsvg-convert") || !test::toolAvailable("convert") ||
        !test::toolAvailable("gs"))
        GTEST_SKIP() << "rsvg-convert, ImageMagick or Ghostscript is not installed";
    Model& m = take(test::buildModel(test::lPrismSpec()));
    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    Settings s;
    s.showEdgeIds = 1;
    s.flapsBothSides = 1;

    const double widthCm = m.sheetWidth * m.patternScale + 3, heightCm = m.sheetHeight * m.patternScale + 3;
    SvgCanvas svg(widthCm, heightCm, 100);
    drawPattern(m, s, svg, 100, 100, OutputTarget::MetafileFile, 0, 0);
    const std::string svgPath = test::writeTempFile("pattern.svg", svg.document());
    const auto fromSvg = test::renderSvg(svgPath, svgPath + ".png");
    ASSERT_EQ(fromSvg.exitCode, 0) << fromSvg.log;
    ASSERT_FALSE(fromSvg.picture.empty());

    std::ostringstream eps;
    writeEps(m, s, eps);
    const auto fromEps = test::renderEps(test::writeTempFile("pattern.eps", eps.str()), 72);
    ASSERT_EQ(fromEps.exitCode, 0) << fromEps.log;

    // rsvg-convert draws 96 pixels per inch; Ghostscript at 72 dpi one pixel per unit.
    const double svgPxPerCm = 96 / 2.54;
    EXPECT_NEAR(fromSvg.picture.width, widthCm * svgPxPerCm, 1.5);
    const double epsHeight = heightCm * kEpsUnitsPerCm + 20;
    int checked = 0;
    for (auto& part : m.parts)
        for (Face* f : part->faces)
            for (HalfEdge* h : f->outerLoop.halfEdges) {
                if (h->edge->edgeId == -1 && h->edge->state != EdgeState::Border) continue;
                const double xCm = (part->offsetX + (h->point->x + h->next->point->x) / 2) * m.patternScale + 1.5;
                const double yCm = (part->offsetY + (h->point->y + h->next->point->y) / 2) * m.patternScale + 1.5;
                EXPECT_TRUE(fromSvg.picture.darkNear(static_cast<int>(xCm * svgPxPerCm),
                                                     static_cast<int>(yCm * svgPxPerCm), 2))
                    << "SVG cut line at " << xCm << ", " << yCm;
                EXPECT_TRUE(fromEps.picture.darkNear(
                    static_cast<int>(xCm * kEpsUnitsPerCm + 10),
                    static_cast<int>(fromEps.picture.height - (epsHeight - 10 - yCm * kEpsUnitsPerCm)), 2))
                    << "EPS cut line at " << xCm << ", " << yCm;
                ++checked;
            }
    EXPECT_GT(checked, 10);
    // Similar amounts of ink (the EPS pixels are 25 % larger).
    const double svgInk = fromSvg.picture.darkPixels() / (svgPxPerCm * svgPxPerCm);
    const double epsInk = fromEps.picture.darkPixels() / (kEpsUnitsPerCm * kEpsUnitsPerCm);
    EXPECT_GT(svgInk, 0.3 * epsInk);
    EXPECT_LT(svgInk, 3.0 * epsInk);
}

} // namespace
} // namespace nettor
