// Edge numbers land where the drawing puts them in every output: for each
// numbered side, the EPS and the metafile place the number at the same
// anchor, turned to the same angle, on the same side of the edge and at the
// same size as the recording canvas's record of the drawing.
#include "formats/eps_writer.h"
#include "formats/pattern_metafile.h"
#include "pattern/draw_pattern.h"
#include "pattern/sheet_coordinates.h"
#include "support/emf_reader.h"
#include "support/recording_canvas.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace nettor {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double k = kEpsUnitsPerCm;

// A number as placed on the sheet: the point on its edge it belongs to, the
// reading direction, and the middle of its glyphs, all in sheet centimetres
// (y down); its height in centimetres.
struct PlacedNumber {
    std::string text;
    double anchorX = 0, anchorY = 0;
    double dirX = 0, dirY = 0;
    double bodyX = 0, bodyY = 0;
    double heightCm = 0;
};

// The numbered sides of the pattern: midpoint and the inside direction (-s, c).
struct NumberedSide {
    std::string text;
    SheetPoint mid;
    double c = 0, s = 0;
    double length = 0;
};

std::vector<NumberedSide> numberedSides(Model& m)
{
    std::vector<NumberedSide> sides;
    for (auto& part : m.parts)
        for (Face* f : part->faces)
            for (HalfEdge* h : f->outerLoop.halfEdges) {
                if (h->edge->edgeId == -1) continue;
                const SheetPoint p0 = sheetPoint(m, *part, *h->point), p1 = sheetPoint(m, *part, *h->next->point);
                const double l = std::hypot(p1.x - p0.x, p1.y - p0.y);
                sides.push_back({std::to_string(h->edge->edgeId), {(p0.x + p1.x) / 2, (p0.y + p1.y) / 2},
                                 (p1.x - p0.x) / l, (p1.y - p0.y) / l, l});
            }
    return sides;
}

// Text numbers of a recording canvas: the cell's top-left corner is set off
// 1.1 cell heights from the edge and centred along it, so the anchor is
// reference + direction x width / 2 + down x 1.1 height.
std::vector<PlacedNumber> fromRecording(const test::RecordingCanvas& rec, double upc)
{
    std::vector<PlacedNumber> out;
    for (const auto& t : rec.texts) {
        const double e = t.font.escapement * 0.1 * kPi / 180;
        const double dx = std::cos(e), dy = -std::sin(e); // counter-clockwise, y down
        const double nx = -dy, ny = dx;                   // towards the cell's bottom
        const double w = rec.textExtent(t.text).width, h = t.font.height;
        PlacedNumber p;
        p.text = t.text;
        p.anchorX = (t.at.x + dx * w / 2 + nx * 1.1 * h) / upc;
        p.anchorY = (t.at.y + dy * w / 2 + ny * 1.1 * h) / upc;
        p.dirX = dx;
        p.dirY = dy;
        p.bodyX = (t.at.x + dx * w / 2 + nx * h / 2) / upc;
        p.bodyY = (t.at.y + dy * w / 2 + ny * h / 2) / upc;
        p.heightCm = h / upc;
        out.push_back(p);
    }
    return out;
}

// The same for the texts of a metafile.
std::vector<PlacedNumber> fromMetafile(const test::EmfPicture& pic, double upc)
{
    std::vector<PlacedNumber> out;
    for (const auto& t : pic.texts) {
        const double e = t.escapement * 0.1 * kPi / 180;
        const double dx = std::cos(e), dy = -std::sin(e);
        const double nx = -dy, ny = dx;
        double w = 0;
        for (int a : t.advances) w += a;
        const double h = t.fontHeight;
        PlacedNumber p;
        for (char16_t c : t.text) p.text += static_cast<char>(c);
        p.anchorX = (t.reference.x + dx * w / 2 + nx * 1.1 * h) / upc;
        p.anchorY = (t.reference.y + dy * w / 2 + ny * 1.1 * h) / upc;
        p.dirX = dx;
        p.dirY = dy;
        p.bodyX = (t.reference.x + dx * w / 2 + nx * h / 2) / upc;
        p.bodyY = (t.reference.y + dy * w / 2 + ny * h / 2) / upc;
        p.heightCm = h / upc;
        out.push_back(p);
    }
    return out;
}

// Text numbers of an EPS file: "[cos a sin a -sin a cos a Xt Yt]e" then
// "(n)t". The text starts at (Xt, Yt), runs along (cos a, sin a) with an
// estimated 0.7055 x size per digit, and is lifted 0.2 of that off its edge.
std::vector<PlacedNumber> fromEps(const std::string& eps, double pageHeight)
{
    std::vector<PlacedNumber> out;
    const std::regex size(R"(/_MS-Gothic ([-0-9.e]+) )");
    const std::regex number(R"(\n\[([^\]]*)\]e\n\((\d+)\)t)");
    std::smatch sm;
    double fs = 0;
    if (std::regex_search(eps, sm, size)) fs = std::stod(sm[1]);
    for (auto it = std::sregex_iterator(eps.begin(), eps.end(), number); it != std::sregex_iterator(); ++it) {
        std::istringstream in((*it)[1].str());
        double a, b, c, d, xt, yt;
        in >> a >> b >> c >> d >> xt >> yt;
        const std::string text = (*it)[2];
        const double w = fs * 0.7055555555555555, half = w * static_cast<double>(text.size()) / 2;
        // PostScript y runs up; the sheet's runs down.
        auto sheetX = [](double x) { return (x - 10) / k; };
        auto sheetY = [&](double y) { return (pageHeight - 10 - y) / k; };
        const double ax = xt + half * a + 0.2 * w * b, ay = yt + half * b - 0.2 * w * a;
        PlacedNumber p;
        p.text = text;
        p.anchorX = sheetX(ax);
        p.anchorY = sheetY(ay);
        p.dirX = a;
        p.dirY = -b;
        // The digits stand on the baseline, their middle about a third of
        // the size above it.
        p.bodyX = sheetX(xt + half * a - 0.35 * fs * b);
        p.bodyY = sheetY(yt + half * b + 0.35 * fs * a);
        p.heightCm = fs / k;
        out.push_back(p);
    }
    return out;
}

// Every numbered side has exactly one number of each output at its midpoint
// (within tolerance cm; the recording's within referenceTolerance, as its
// points are truncated to whole device units), reading the same way,
// inside the face, of the expected size.
void expectPlacedOnTheirSides(const std::vector<NumberedSide>& sides, const std::vector<PlacedNumber>& reference,
                              const std::vector<PlacedNumber>& output, double tolerance, const std::string& name,
                              double referenceTolerance)
{
    ASSERT_EQ(output.size(), sides.size()) << name;
    ASSERT_EQ(reference.size(), sides.size());
    auto near = [&](const std::vector<PlacedNumber>& list, const NumberedSide& side,
                    double within) -> const PlacedNumber* {
        const PlacedNumber* best = nullptr;
        double bestDistance = within;
        for (const auto& p : list) {
            const double dist = std::hypot(p.anchorX - side.mid.x, p.anchorY - side.mid.y);
            if (p.text == side.text && dist <= bestDistance) {
                best = &p;
                bestDistance = dist;
            }
        }
        return best;
    };
    for (const NumberedSide& side : sides) {
        const PlacedNumber* r = near(reference, side, referenceTolerance);
        const PlacedNumber* o = near(output, side, tolerance);
        ASSERT_TRUE(r) << "recording: no number " << side.text << " at " << side.mid.x << ", " << side.mid.y;
        ASSERT_TRUE(o) << name << ": no number " << side.text << " at " << side.mid.x << ", " << side.mid.y;
        // Same reading direction as the drawing: along the edge, either way.
        EXPECT_NEAR(o->dirX * r->dirX + o->dirY * r->dirY, 1.0, 1e-3) << name << " number " << side.text;
        EXPECT_NEAR(std::abs(o->dirX * side.c + o->dirY * side.s), 1.0, 1e-3) << name << " number " << side.text;
        // The glyphs lie inside the face, towards (-s, c), as in the drawing.
        const double inside = (o->bodyX - side.mid.x) * -side.s + (o->bodyY - side.mid.y) * side.c;
        const double insideRef = (r->bodyX - side.mid.x) * -side.s + (r->bodyY - side.mid.y) * side.c;
        EXPECT_GT(insideRef, 0) << "recording number " << side.text;
        EXPECT_GT(inside, 0) << name << " number " << side.text;
        EXPECT_NEAR(inside, insideRef, 0.6 * r->heightCm) << name << " number " << side.text;
        EXPECT_NEAR(o->heightCm, r->heightCm, 0.03 * r->heightCm) << name << " number " << side.text;
    }
}

class NumberPlacement : public test::UnfoldTest {
protected:
    Model& unfolded()
    {
        Model& m = take(test::buildModel(test::subdividedSphereSpec(1)));
        unfoldAll(session, m);
        EXPECT_TRUE(session.status.finished);
        return m;
    }
};

TEST_F(NumberPlacement, TextNumbersInEpsAndMetafile)
{
    Model& m = unfolded();
    Settings s;
    s.showEdgeIds = 1;
    s.edgeIdFontSize = 14;
    s.createFlaps = 1;
    const auto sides = numberedSides(m);
    ASSERT_GT(sides.size(), 10u);

    const double upc = 96 * 0.39370078740157477;
    test::RecordingCanvas rec(upc);
    drawPattern(m, s, rec, upc, upc, OutputTarget::MetafileFile, 0, 0);
    const auto reference = fromRecording(rec, upc);

    const test::EmfPicture pic = test::readEmf(patternMetafile(m, s, OutputTarget::MetafileFile));
    ASSERT_TRUE(pic.ok()) << pic.error;
    // Truncation to whole pixels moves a number by up to a pixel or two.
    expectPlacedOnTheirSides(sides, reference, fromMetafile(pic, upc), 3 / upc, "metafile", 3 / upc);

    std::ostringstream eps;
    writeEps(m, s, eps);
    const double pageHeight = (m.sheetHeight * m.patternScale + 3) * k + 20;
    expectPlacedOnTheirSides(sides, reference, fromEps(eps.str(), pageHeight), 0.01, "EPS", 3 / upc);
}

// The stroke digits of the EPS file are the recording's lines, moved by the
// EPS margin of 10 units and turned upside down.
TEST_F(NumberPlacement, StrokeDigitsInEpsFollowTheDrawing)
{
    Model& m = unfolded();
    Settings s;
    s.showEdgeIds = 1;
    s.useOriginalFont = 1;
    s.edgeIdFontSize = 14;
    s.createFlaps = 0;

    test::RecordingCanvas rec(k);
    drawPattern(m, s, rec, k, k, OutputTarget::MetafileFile, 0, 0);
    std::vector<test::RecordedLine> digits;
    for (const auto& l : rec.lines)
        if (l.pen == Pen::solid(2, kBlack)) digits.push_back(l);
    ASSERT_GT(digits.size(), 20u);

    std::ostringstream out;
    writeEps(m, s, out);
    const std::string eps = out.str();
    const double pageHeight = (m.sheetHeight * m.patternScale + 3) * k + 20;
    // Segments of the blocks that end in "stroke" (faces end in "fill").
    struct Segment {
        double x0, y0, x1, y1;
    };
    std::vector<Segment> segments, block;
    std::istringstream lines(eps);
    std::string line;
    double cx = 0, cy = 0;
    while (std::getline(lines, line)) {
        std::istringstream l(line);
        double x, y;
        std::string op;
        if (line == "newpath") block.clear();
        else if (line == "stroke") segments.insert(segments.end(), block.begin(), block.end()), block.clear();
        else if (line == "fill") block.clear();
        else if (l >> x >> y >> op) {
            if (op == "lineto") block.push_back({cx, cy, x, y});
            if (op == "moveto" || op == "lineto") cx = x, cy = y;
        }
    }
    ASSERT_EQ(segments.size(), digits.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const Segment& g = segments[i];
        EXPECT_NEAR(g.x0 - 10, digits[i].from.x, 1.01) << "segment " << i;
        EXPECT_NEAR(pageHeight - 10 - g.y0, digits[i].from.y, 1.01) << "segment " << i;
        EXPECT_NEAR(g.x1 - 10, digits[i].to.x, 1.01) << "segment " << i;
        EXPECT_NEAR(pageHeight - 10 - g.y1, digits[i].to.y, 1.01) << "segment " << i;
    }
}

} // namespace
} // namespace nettor
