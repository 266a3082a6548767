// The EPS writer: exact texts of small patterns, and Ghostscript renderings
// of unfolded models.
#include "formats/eps_writer.h"
#include "support/ghostscript_render.h"
#include "support/hand_pattern.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace nettor {
namespace {

using test::MeshSpec;

Settings plainSettings()
{
    Settings s;
    s.createFlaps = 0;
    s.showEdgeIds = 0;
    s.omitFlatEdges = 1;
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Line);
    s.valleyStyle = static_cast<int>(FoldLineStyle::Dot);
    return s;
}

std::string eps(Model& model, const Settings& settings)
{
    std::ostringstream out;
    writeEps(model, settings, out);
    return out.str();
}

std::string after(const std::string& text, const std::string& marker)
{
    const auto at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}

int count(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// The numbers of the first "[a b c d x y]e" matrix after position from.
std::vector<double> matrixAt(const std::string& text, std::size_t from)
{
    const auto open = text.find("\n[", from), close = text.find("]e", from);
    std::istringstream in(text.substr(open + 2, close - open - 2));
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

// ---- exact texts ----

TEST(EpsText, HeaderAndBoxOfATenCentimetrePattern)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    model->sheetWidth = 1;
    model->patternScale = 10; // 10 cm wide, 10 cm high
    const std::string text = eps(*model, plainSettings());
    const std::string expectedHeader =
        "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator:Nettor\n%%DocumentFonts: MS-Gothic\n"
        "%%DocumentNeededFonts: MS-Gothic\n%%DocumentProcSets: Nettor 0 0\n"
        "%%DocumentSuppliedProcSets: Nettor 0 0\n%%BoundingBox:0 0 391.429 391.429\n"
        "%%ColorUsage: Color\n%AI3_IncludePlacedImages\n%%TileBox: 0 0 391.429 391.429\n"
        "%%DocumentPreview: Header\n%%EndComments\n%%BeginProcSet:Nettor 0 0\n"
        "/Nettor dup 100 dict def load begin\n";
    EXPECT_EQ(text.substr(0, expectedHeader.size()), expectedHeader);
    EXPECT_NE(text.find("\nend\n%%EndProcSet\n%%EndProlog\n%%BeginSetup\nNettor begin\nn\n"
                        "%%BeginEncoding: _MS-Gothic MS-Gothic\n[]/_MS-Gothic/MS-Gothic Z\n"
                        "%%EndEncoding\n%%EndSetup\n%%Note:\n"),
              std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(count(text, "showpage"), 0);
}

TEST(EpsText, BodyWithoutNumbersOrFlaps)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    // Box 4 cm + 20 = 134.286 units; corners at 1.5 and 2.5 cm.
    const std::string body = after(eps(*model, plainSettings()), "\n%%Note:");
    const std::string lo = "52.8571", hi = "81.4286";
    std::string expected = "\n[]0 d\nnewpath\n" + lo + " " + hi + " moveto\n" + hi + " " + hi +
                           " lineto\n" + hi + " " + lo + " lineto\n" + lo + " " + lo +
                           " lineto\nclosepath\n1.0 1.0 1.0 setrgbcolor\nfill\n0 0 0 1 K";
    const std::pair<std::string, std::string> sides[4] = {
        {lo + " " + hi, hi + " " + hi}, {hi + " " + hi, hi + " " + lo},
        {hi + " " + lo, lo + " " + lo}, {lo + " " + lo, lo + " " + hi}};
    for (const auto& [from, to] : sides) expected += "\n[]0 d\n" + from + " m\n" + to + " l\nS";
    EXPECT_EQ(body, expected);
}

TEST(EpsText, MaterialColourInColourMode)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    MeshObject& object = *model->objects[0];
    object.materials.emplace_back();
    object.materials[0].ambient[0] = 0.25f;
    object.materials[0].ambient[1] = 0.5f;
    object.materials[0].ambient[2] = 1.0f;
    object.faces[0]->materialIndex = 0;
    Settings s = plainSettings();
    EXPECT_NE(eps(*model, s).find("\n0.25 0.5 1 setrgbcolor\nfill"), std::string::npos);
    s.colorMode = 0;
    EXPECT_NE(eps(*model, s).find("\n1.0 1.0 1.0 setrgbcolor\nfill"), std::string::npos);
}

TEST(EpsText, FoldStyles)
{
    auto model = test::layOutFlat(test::squareRowSpec(2), {0, 0});
    Settings s = plainSettings();
    s.omitFlatEdges = 0;
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Dot);
    std::string body = after(eps(*model, s), "\n%%Note:");
    EXPECT_EQ(count(body, "\n[4 ]0 d"), 1);
    EXPECT_EQ(count(body, "\nS"), 7);

    s.ridgeStyle = static_cast<int>(FoldLineStyle::None);
    body = after(eps(*model, s), "\n%%Note:");
    EXPECT_EQ(count(body, "\n[4 ]0 d"), 0);
    EXPECT_EQ(count(body, "\nS"), 6) << "the None fold writes nothing";
    EXPECT_EQ(count(body, "\n[]0 d"), 1 + 6) << "not even a dash setting";

    s.omitFlatEdges = 1;
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Dot);
    EXPECT_EQ(count(after(eps(*model, s), "\n%%Note:"), "\nS"), 6) << "flat fold omitted";
}

TEST(EpsText, FlapsAreFilledWhiteAndOutlinedOpenAtTheBase)
{
    auto model = test::layOutFlat(test::squareRowSpec(2), {0, 1});
    Settings s = plainSettings();
    s.createFlaps = 1;
    s.ridgeStyle = static_cast<int>(FoldLineStyle::Dot);
    const std::string body = after(eps(*model, s), "\n%%Note:");
    // The flap comes before the faces, its outline has three sides.
    const std::regex flap("\nnewpath(\n[-0-9.e+]+ [-0-9.e+]+ (moveto|lineto)){4}\nclosepath\n1.0 1.0 "
                          "1.0 setrgbcolor\nfill\n0 0 0 1 K(\n[-0-9.e+]+ [-0-9.e+]+ [ml]){4}\nS\n\\[\\]0 d");
    EXPECT_EQ(std::distance(std::sregex_iterator(body.begin(), body.end(), flap),
                            std::sregex_iterator()),
              1);
    EXPECT_LT(body.find("0 0 0 1 K"), body.find("[]0 d"));
    EXPECT_EQ(count(body, "\n[4 ]0 d"), 1) << "the flapped side is a dotted ridge fold";
}

// Two squares stacked: the cut between them runs leftward in the lower face
// and rightward in the upper one.
std::unique_ptr<Model> stackedSquares()
{
    MeshSpec spec;
    spec.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    spec.faces = {{0, 1, 2, 3}, {3, 2, 4, 5}};
    return test::layOutFlat(spec, {0, 1});
}

TEST(EpsText, LeftwardAndRightwardTextNumbers)
{
    auto model = stackedSquares();
    Settings s = plainSettings();
    s.showEdgeIds = 1;
    s.edgeIdFontSize = 1; // no minimum size in EPS
    const std::string text = eps(*model, s);
    const std::string body = after(text, "\n%%Note:");
    ASSERT_EQ(count(body, "\n(1)t\nT\nU"), 2);
    EXPECT_EQ(count(body, "\nu\n0 0 0 1 k\n/_MS-Gothic 1 1 0 0 z\n["), 2);

    // Box height (2 + 3) x k + 20; the cut lies at y = 2.5 cm.
    const double boxHeight = 5 * kEpsUnitsPerCm + 20;
    const double edgeY = boxHeight - 10 - 2.5 * kEpsUnitsPerCm;
    const double w = 0.7055555555555555;
    const auto first = body.find("\nu\n");
    const auto second = body.find("\nu\n", first + 1);
    // Leftward: unrotated, above the edge.
    const auto left = matrixAt(body, first);
    ASSERT_EQ(left.size(), 6u);
    EXPECT_EQ(left[0], 1);
    EXPECT_EQ(left[3], 1);
    EXPECT_NEAR(left[4], 2.0 * kEpsUnitsPerCm + 10 - w / 2, 1e-3);
    EXPECT_NEAR(left[5], edgeY + 0.2 * w, 1e-3);
    EXPECT_NE(body.find("\n[1 0 -0 1 "), std::string::npos);
    // Rightward: turned by 180 degrees, below the edge.
    const auto right = matrixAt(body, second);
    ASSERT_EQ(right.size(), 6u);
    EXPECT_EQ(right[0], -1);
    EXPECT_EQ(right[3], -1);
    EXPECT_NEAR(right[1], 0, 1e-9);
    EXPECT_NEAR(right[4], 2.0 * kEpsUnitsPerCm + 10 + w / 2, 1e-3);
    EXPECT_NEAR(right[5], edgeY - 0.2 * w, 1e-3);
}

TEST(EpsText, StrokeDigitNumbers)
{
    auto model = stackedSquares();
    test::edgeBetween(*model, 2, 3)->edgeId = 13;
    Settings s = plainSettings();
    s.showEdgeIds = 1;
    s.useOriginalFont = 1;
    const std::string body = after(eps(*model, s), "\n%%Note:");
    EXPECT_EQ(count(body, ")t"), 0);
    // Two sides, two digits each; "3" and "1" each lift the pen once.
    EXPECT_EQ(count(body, "\nnewpath\n"), 2 + 4);
    EXPECT_EQ(count(body, "\nstroke"), 4);
    EXPECT_EQ(count(body, "\nS\n"), 8 + 4) << "eight lines, then a pen lift in each digit";
    // The leftward side's digits are upright: all above the edge (PS y up),
    // their bottoms 0.2 x size off it.
    const double edgeY = 5 * kEpsUnitsPerCm + 20 - 10 - 2.5 * kEpsUnitsPerCm;
    const auto start = body.rfind("\n[]0 d\nnewpath");
    ASSERT_NE(start, std::string::npos);
    const auto secondDigitEnd = body.find("\nstroke", body.find("\nstroke", start) + 1);
    std::istringstream digits(body.substr(start, secondDigitEnd - start));
    std::string line;
    int points = 0;
    while (std::getline(digits, line)) {
        double x, y;
        std::string op;
        std::istringstream l(line);
        if (l >> x >> y >> op && (op == "moveto" || op == "lineto")) {
            ++points;
            EXPECT_GT(y, edgeY + 0.19 * 8 * 0.8063492063492064 - 1e-6);
        }
    }
    EXPECT_GT(points, 10);
}

TEST(EpsText, NothingWithoutACurrentModel)
{
    Session session;
    std::ostringstream out;
    session.writeEps(out);
    EXPECT_TRUE(out.str().empty());
}

// ---- Ghostscript ----

class EpsGhostscript : public test::UnfoldTest {
protected:
    void SetUp() override
    {
        UnfoldTest::SetUp();
        if (!test::toolAvailable("gs")) GTEST_SKIP() << "Ghostscript is not installed";
    }

    // Unfolds the model with the engine and renders its EPS.
    test::RenderResult unfoldAndRender(std::unique_ptr<Model> model, const Settings& settings,
                                       const std::string& name)
    {
        Model& m = take(std::move(model));
        unfoldAll(session, m);
        EXPECT_TRUE(session.status.finished);
        const std::string path = test::writeTempFile(name + ".eps", eps(m, settings));
        auto result = test::renderEps(path, 72);
        EXPECT_EQ(result.exitCode, 0) << result.log;
        EXPECT_EQ(result.log.find("Error"), std::string::npos) << result.log;
        const std::string shown = test::epsShownText(path);
        EXPECT_EQ(shown.find("ERROR"), std::string::npos) << shown;
        if (settings.showEdgeIds && !settings.useOriginalFont) {
            EXPECT_NE(shown.find('1'), std::string::npos) << "the edge numbers are shown";
        }
        return result;
    }

    // Each cut line of the model is dark in the picture (72 dpi: one PostScript unit a pixel).
    void expectDarkCutLines(const Model& m, const test::Picture& p)
    {
        const double height = (m.sheetHeight * m.patternScale + 3) * kEpsUnitsPerCm + 20;
        int checked = 0;
        for (auto& part : m.parts)
            for (Face* f : part->faces)
                for (HalfEdge* h : f->outerLoop.halfEdges) {
                    if (h->edge->edgeId == -1 && h->edge->state != EdgeState::Border) continue;
                    const double x = ((part->offsetX + (h->point->x + h->next->point->x) / 2) *
                                          m.patternScale + 1.5) * kEpsUnitsPerCm + 10;
                    const double y = ((part->offsetY + (h->point->y + h->next->point->y) / 2) *
                                          m.patternScale + 1.5) * kEpsUnitsPerCm + 10;
                    // PostScript y runs up from the bottom; picture rows run down from the top.
                    EXPECT_TRUE(p.darkNear(static_cast<int>(x), static_cast<int>(p.height - (height - y)), 2))
                        << "cut line at " << x << ", " << y;
                    ++checked;
                }
        EXPECT_GT(checked, 0);
    }
};

TEST_F(EpsGhostscript, BoxWithTextNumbersAndFlapsOnBothSides)
{
    Settings s;
    s.showEdgeIds = 1;
    s.createFlaps = 1;
    s.flapsBothSides = 1;
    auto result = unfoldAndRender(test::buildModel(test::boxSpec()), s, "box");
    ASSERT_FALSE(result.picture.empty());
    const Model& m = *session.model;
    EXPECT_EQ(result.picture.width,
              static_cast<int>(std::ceil((m.sheetWidth * m.patternScale + 3) * kEpsUnitsPerCm + 20)));
    EXPECT_GT(result.picture.darkPixels(), 200);
    expectDarkCutLines(m, result.picture);
}

TEST_F(EpsGhostscript, LPrismWithStrokeNumbersAndValleys)
{
    Settings s;
    s.showEdgeIds = 1;
    s.useOriginalFont = 1;
    s.createFlaps = 1;
    s.flapSize = static_cast<int>(FlapSize::Large);
    s.omitFlatEdges = 0;
    auto result = unfoldAndRender(test::buildModel(test::lPrismSpec()), s, "lprism");
    ASSERT_FALSE(result.picture.empty());
    expectDarkCutLines(*session.model, result.picture);
}

TEST_F(EpsGhostscript, ManyPartsOfASphere)
{
    Settings s;
    s.showEdgeIds = 1;
    auto result = unfoldAndRender(test::buildModel(test::subdividedSphereSpec(2)), s, "sphere");
    ASSERT_FALSE(result.picture.empty());
    expectDarkCutLines(*session.model, result.picture);
}

TEST_F(EpsGhostscript, TheErrorTextOfThePrologWorks)
{
    // The failure path itself: its text is drawn (and nothing else goes wrong).
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    std::string text = eps(*model, plainSettings());
    text += "\nnewpath 20 20 moveto 60 60 lineto 60 20 lineto closepath"
            "\n_e (ERROR: can't fill, increase flatness) _E";
    const std::string path = test::writeTempFile("error.eps", text);
    auto result = test::renderEps(path, 72);
    EXPECT_EQ(result.exitCode, 0) << result.log;
    EXPECT_EQ(result.log.find("Error"), std::string::npos) << result.log;
    // The extracted text has a typographic apostrophe.
    const std::string shown = test::epsShownText(path);
    EXPECT_NE(shown.find("ERROR: can"), std::string::npos) << shown;
    EXPECT_NE(shown.find("t fill, increase flatness"), std::string::npos) << shown;
}

} // namespace
} // namespace nettor
