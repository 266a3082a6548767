// The PDF of the printed pages, read back with poppler's tools.
#include "formats/pattern_pdf.h"
#include "formats/pdf_document.h"
#include "pattern/page_grid.h"
#include "pattern/sheet_coordinates.h"
#include "support/ghostscript_render.h"
#include "support/hand_pattern.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace nettor {
namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string run(const std::string& command)
{
    // One log per test: CTest runs the tests of this file side by side.
    const std::string log = testing::TempDir() + "/pdf_tool_" +
                            testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    std::system((command + " >'" + log + "' 2>&1").c_str());
    return slurp(log);
}

// columns x rows squares of 10 cm, each its own part: every inner edge is a
// numbered cut.
std::unique_ptr<Model> squareGrid(int columns, int rows)
{
    test::MeshSpec spec;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= columns; ++x) spec.vertices.push_back({double(x), double(y), 0});
    std::vector<int> parts;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const int a = y * (columns + 1) + x;
            spec.faces.push_back({a, a + columns + 1, a + columns + 2, a + 1});
            parts.push_back(static_cast<int>(parts.size()));
        }
    return test::layOutFlat(spec, parts, 10.0);
}

class PatternPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::toolAvailable("pdfinfo") || !test::toolAvailable("pdftoppm"))
            GTEST_SKIP() << "poppler-utils are not installed";
    }

    std::string write(Model& model, const Settings& s, const std::string& name)
    {
        const std::string path = testing::TempDir() + "/" + name + ".pdf";
        std::ofstream out(path, std::ios::binary);
        writePatternPdf(model, s, out);
        return path;
    }

    // Page p rendered at dpi; empty when it cannot be rendered.
    test::Picture render(const std::string& pdf, int page, int dpi)
    {
        const std::string base = pdf + ".p" + std::to_string(page);
        run("pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
            std::to_string(page) + " -singlefile '" + pdf + "' '" + base + "'");
        return test::readPpm(base + ".ppm");
    }
};

TEST_F(PatternPdf, ThreeByTwoPagesShowTheirWindowsWithMarks)
{
    auto model = squareGrid(4, 3); // 40 x 30 cm
    ASSERT_EQ(pageGrid(*model).pages(), 6);
    Settings s;
    s.showEdgeIds = 1;
    s.createFlaps = 0;
    const std::string pdf = write(*model, s, "grid");

    const std::string info = run("pdfinfo -f 1 -l 6 '" + pdf + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +6\n"))) << info;
    for (int p = 1; p <= 6; ++p)
        EXPECT_TRUE(std::regex_search(
            info, std::regex("Page +" + std::to_string(p) + " size: +595.276 x 841.89 pts \\(A4\\)")))
            << info;
    EXPECT_NE(run("pdftotext '" + pdf + "' -").find('7'), std::string::npos) << "numbers are text";

    const int dpi = 40;
    const double pxPerCm = dpi / 2.54;
    int lines = 0, faces = 0;
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const test::Picture pic = render(pdf, page, dpi);
        ASSERT_FALSE(pic.empty());
        EXPECT_NEAR(pic.width, 21 * pxPerCm, 1.5);
        EXPECT_NEAR(pic.height, 29.7 * pxPerCm, 1.5);
        const PageTile tile = pageTile(pageGrid(*model), page);
        auto onPage = [&](double xCm, double yCm, int& px, int& py) {
            const double x = xCm + tile.originXCm, y = yCm + tile.originYCm;
            px = static_cast<int>(x * pxPerCm);
            py = static_cast<int>(y * pxPerCm);
            return x > 0.3 && x < 20.7 && y > 0.3 && y < 29.4;
        };
        // Each registration cross reaches 1 cm out of the content area; the
        // faces, drawn after the marks, cover them where the sheet has a face.
        int marks = 0;
        for (const double x : {0.7, 20.3})
            for (const double y : {1.5, 28.2}) {
                const double sx = x - tile.originXCm, sy = y - tile.originYCm;
                const bool covered = sx > 1.5 && sx < 41.5 && sy > 1.5 && sy < 31.5;
                if (covered) continue;
                EXPECT_TRUE(pic.darkNear(static_cast<int>(x * pxPerCm), static_cast<int>(y * pxPerCm), 1))
                    << "mark arm at " << x << ", " << y << " cm";
                ++marks;
            }
        EXPECT_GT(marks, 0);
        const int linesBefore = lines;
        for (auto& part : model->parts)
            for (Face* f : part->faces) {
                double cx = 0, cy = 0;
                for (HalfEdge* h : f->outerLoop.halfEdges) {
                    const SheetPoint a = sheetPoint(*model, *part, *h->point);
                    const SheetPoint b = sheetPoint(*model, *part, *h->next->point);
                    cx += a.x / 4;
                    cy += a.y / 4;
                    int px, py;
                    if (!onPage((a.x + b.x) / 2, (a.y + b.y) / 2, px, py)) continue;
                    EXPECT_TRUE(pic.darkNear(px, py, 1)) << "line at " << px << ", " << py;
                    ++lines;
                }
                int px, py;
                if (!onPage(cx, cy, px, py)) continue;
                EXPECT_FALSE(pic.darkNear(px, py, 3)) << "face middle at " << px << ", " << py;
                ++faces;
            }
        EXPECT_GT(lines, linesBefore);
    }
    // Every side shows on some page, some more than once where windows overlap.
    EXPECT_GE(lines, 4 * 12);
    EXPECT_GE(faces, 12);
}

TEST_F(PatternPdf, OnePagePatternHasNoMarks)
{
    auto model = squareGrid(1, 1); // 10 x 10 cm
    const std::string pdf = write(*model, Settings{}, "one");
    EXPECT_TRUE(std::regex_search(run("pdfinfo '" + pdf + "'"), std::regex("Pages: +1\n")));
    const test::Picture pic = render(pdf, 1, 40);
    ASSERT_FALSE(pic.empty());
    const double pxPerCm = 40 / 2.54;
    EXPECT_FALSE(pic.darkNear(static_cast<int>(0.7 * pxPerCm), static_cast<int>(1.5 * pxPerCm), 2));
    EXPECT_FALSE(pic.darkNear(static_cast<int>(19.5 * pxPerCm), static_cast<int>(28.9 * pxPerCm), 2));
    // The square's left side at 1.5 cm.
    EXPECT_TRUE(pic.darkNear(static_cast<int>(1.5 * pxPerCm), static_cast<int>(6.5 * pxPerCm), 1));
}

TEST(PdfDocument, TextAndNumbersAreWrittenPlainly)
{
    EXPECT_EQ(pdfLiteral("a(b)\\c"), "(a\\(b\\)\\\\c)");
    EXPECT_EQ(pdfLiteral("\xC3\xA9\xE2\x82\xAC\n"), "(\xE9?" "?)");

    PdfDocument doc;
    PdfPage& page = doc.addPage();
    page.selectPen(Pen::dotted(1, kBlack));
    page.moveTo(0, 0);
    page.lineTo(10, 20);
    const std::string content = page.content();
    EXPECT_NE(content.find("0 0 m\n10 20 l\nS\n"), std::string::npos) << content;
    EXPECT_NE(content.find("] 0 d"), std::string::npos) << "dotted";
    std::ostringstream out;
    out.imbue(std::locale("C"));
    doc.write(out);
    const std::string file = out.str();
    EXPECT_EQ(file.rfind("%PDF-1.4\n", 0), 0u);
    // The cross-reference table points at each object.
    const auto xref = file.rfind("startxref\n");
    ASSERT_NE(xref, std::string::npos);
    const std::size_t table = std::stoul(file.substr(xref + 10));
    ASSERT_EQ(file.compare(table, 5, "xref\n"), 0);
    std::istringstream entries(file.substr(table + 5));
    int first, count;
    entries >> first >> count;
    std::string offset, generation, kind;
    entries >> offset >> generation >> kind; // the free entry
    for (int i = 1; i < count; ++i) {
        entries >> offset >> generation >> kind;
        EXPECT_EQ(file.compare(std::stoul(offset), std::to_string(i).size() + 6, std::to_string(i) + " 0 obj"), 0)
            << "object " << i;
    }
}

} // namespace
} // namespace nettor
