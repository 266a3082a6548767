// The outputs of the Pages layout: the PDF read back with poppler's tools
// and measured, the SVG pages parsed for their layers, the EPS pages
// rendered.
#include "formats/pages_outputs.h"
#include "pattern/pages_drawing.h"
#include "support/ghostscript_render.h"
#include "support/hand_pattern.h"
#include "support/polygon_overlap.h"
#include "support/recording_canvas.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string run(const std::string& command, const std::string& name)
{
    const std::string log = testing::TempDir() + "/pages_tool_" + name + ".log";
    std::system((command + " >'" + log + "' 2>&1").c_str());
    return slurp(log);
}

// Three squares as three parts at 100 mm each: two fit an A4 page.
std::unique_ptr<Model> threeSquares() { return layOutFlat(squareRowSpec(3), {0, 1, 2}); }

PagesLayout layOut(const Model& model, const Settings& settings, double sizeMm)
{
    PagesSettings pages;
    pages.finishedSizeMm = sizeMm;
    PagesResult result = layOutPages({model, settings, pages});
    EXPECT_TRUE(result.layout) << result.message;
    return result.layout ? std::move(*result.layout) : PagesLayout{};
}

TEST(PagesOutputs, PdfHasAnA4PagePerSheetAndTrueSizes)
{
    if (!toolAvailable("pdfinfo") || !toolAvailable("pdftoppm")) GTEST_SKIP() << "poppler-utils are not installed";
    auto model = threeSquares();
    Settings settings;
    settings.createFlaps = 0;
    const PagesLayout layout = layOut(*model, settings, 300);
    ASSERT_EQ(layout.pageCount, 2);
    const std::string pdf = testing::TempDir() + "/pages_squares.pdf";
    std::string message;
    ASSERT_TRUE(replaceFiles({{pdf, pagesPdf(layout, settings)}}, message)) << message;

    const std::string info = run("pdfinfo -f 1 -l 2 '" + pdf + "'", "info");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +2\n"))) << info;
    for (int p = 1; p <= 2; ++p)
        EXPECT_TRUE(std::regex_search(info, std::regex("Page +" + std::to_string(p) + " size: +595.276 x 841.89 pts")))
            << info;
    const std::string text = run("pdftotext '" + pdf + "' -", "text");
    EXPECT_NE(text.find('1'), std::string::npos) << "edge numbers are text: " << text;

    // The square alone on page 2, at 100 dots per inch.
    const int dpi = 100;
    const std::string base = pdf + ".p2";
    run("pdftoppm -r " + std::to_string(dpi) + " -f 2 -l 2 -singlefile '" + pdf + "' '" + base + "'", "render");
    const Picture picture = readPpm(base + ".ppm");
    ASSERT_FALSE(picture.empty());
    int x0 = picture.width, x1 = -1, y0 = picture.height, y1 = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.gray(x, y) < 160) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    ASSERT_GE(x1, 0) << "nothing drawn";
    const double mmPerPixel = 25.4 / dpi;
    // From the middle of one line to the middle of the other.
    EXPECT_NEAR((x1 - x0) * mmPerPixel, 100.0, 0.5);
    EXPECT_NEAR((y1 - y0) * mmPerPixel, 100.0, 0.5);
    // Inside the margins.
    EXPECT_GE(x0 * mmPerPixel, 10.0 - 0.5);
    EXPECT_GE(y0 * mmPerPixel, 10.0 - 0.5);
}

class PagesSvg : public UnfoldTest {};

TEST_F(PagesSvg, LayersHoldTheirOwnMarks)
{
    Model& model = take(torusSpec(12, 6));
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    const Settings settings;
    const PagesLayout layout = layOut(model, settings, 200);
    ASSERT_GE(layout.pageCount, 1);

    for (int page = 1; page <= layout.pageCount; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        // What the page should hold.
        int cuts = 0, folds = 0, flaps = 0, numbers = 0;
        for (const LaidOutPiece& piece : layout.pieces) {
            if (piece.page != page) continue;
            flaps += static_cast<int>(piece.flaps.size());
            for (const Face* f : piece.faces)
                for (const HalfEdge* h : f->outerLoop.halfEdges) {
                    const PageLine line = pageLine(layout, piece, *h, settings);
                    cuts += line == PageLine::Cut;
                    folds += line == PageLine::Ridge || line == PageLine::Valley;
                    numbers += layout.edgeNumber(*h->edge) >= 0;
                }
        }
        std::istringstream in(pagesSvg(layout, settings, page));
        boost::property_tree::ptree tree;
        boost::property_tree::read_xml(in, tree);
        const auto& svg = tree.get_child("svg");
        EXPECT_EQ(svg.get<std::string>("<xmlattr>.xmlns:inkscape"), "http://www.inkscape.org/namespaces/inkscape");
        std::map<std::string, std::map<std::string, int>> layers; // label: element name: count
        std::map<std::string, int> segments;
        for (const auto& [name, child] : svg) {
            if (name != "g" || child.get("<xmlattr>.inkscape:groupmode", "") != "layer") continue;
            const std::string label = child.get<std::string>("<xmlattr>.inkscape:label");
            auto& elements = layers[label];
            for (const auto& [element, node] : child) {
                if (element == "<xmlattr>") continue;
                ++elements[element];
                if (element == "path") {
                    const std::string d = node.get<std::string>("<xmlattr>.d");
                    segments[label] += static_cast<int>(std::count(d.begin(), d.end(), 'L'));
                }
            }
        }
        ASSERT_EQ(layers.size(), 5u);
        for (const char* label : {"Flaps", "Valley folds", "Ridge folds", "Cut lines", "Numbers"})
            EXPECT_TRUE(layers.count(label)) << label;
        // The cut layer holds only cut lines, one segment a cut side.
        for (const auto& [element, count] : layers["Cut lines"]) EXPECT_EQ(element, "path") << count;
        EXPECT_EQ(segments["Cut lines"], cuts);
        EXPECT_EQ(segments["Valley folds"] + segments["Ridge folds"], folds);
        EXPECT_EQ(layers["Flaps"]["polygon"], flaps);
        EXPECT_EQ(layers["Numbers"]["text"], numbers);
        EXPECT_GT(cuts, 0);
    }
}

TEST(PagesOutputs, EpsPagesRenderAndFilesAreReplacedWhole)
{
    auto model = threeSquares();
    const Settings settings;
    const PagesLayout layout = layOut(*model, settings, 300);
    const std::string dir = testing::TempDir() + "/pages_eps";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::vector<std::pair<std::string, std::string>> files;
    for (int page = 1; page <= layout.pageCount; ++page)
        files.emplace_back(pageFilePath(dir + "/squares.eps", page), pagesEps(layout, settings, page));
    std::string message;
    ASSERT_TRUE(replaceFiles(files, message)) << message;
    EXPECT_TRUE(std::filesystem::exists(dir + "/squares-1.eps"));
    EXPECT_TRUE(std::filesystem::exists(dir + "/squares-2.eps"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2);
    // One file that cannot be written: the others are not written either.
    files.emplace_back(dir + "/no-such-folder/x.eps", "x");
    const std::string before = slurp(dir + "/squares-1.eps");
    files[0].second = "changed";
    EXPECT_FALSE(replaceFiles(files, message));
    EXPECT_NE(message.find("no-such-folder"), std::string::npos);
    EXPECT_EQ(slurp(dir + "/squares-1.eps"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2);
    if (toolAvailable("gs")) {
        const RenderResult r = renderEps(dir + "/squares-2.eps", 36);
        EXPECT_EQ(r.exitCode, 0) << r.log;
        EXPECT_GT(r.picture.darkPixels(), 100);
    }
    EXPECT_EQ(pageFilePath("a.b/out", 3), "a.b/out-3");
    EXPECT_EQ(pageFilePath("dir/out.svg", 12), "dir/out-12.svg");
}

} // namespace

namespace {

// The box a number takes on its page, in device units: the canvas puts the
// text's top-left corner at `at` and turns it by the font's escapement,
// counter-clockwise as seen on the device (y down).
std::vector<PatternPoint> numberBox(const RecordedText& text)
{
    RecordingCanvas measure;
    measure.selectFont(text.font);
    const TextExtent extent = measure.textExtent(text.text);
    const double turn = text.font.escapement * 3.14159265358979323846 / 1800.0;
    const PatternPoint along{std::cos(turn), -std::sin(turn)}, down{std::sin(turn), std::cos(turn)};
    const PatternPoint o{static_cast<double>(text.at.x), static_cast<double>(text.at.y)};
    const double w = extent.width, h = extent.height;
    return {o,
            {o.x + w * along.x, o.y + w * along.y},
            {o.x + w * along.x + h * down.x, o.y + w * along.y + h * down.y},
            {o.x + h * down.x, o.y + h * down.y}};
}

} // namespace

class PagesNumbers : public UnfoldTest {};

TEST_F(PagesNumbers, NumbersOfSmallFacesShrinkSoThatNoneRunsOverAnother)
{
    Model& model = take(subdividedSphereSpec(4)); // 5,120 faces, about 8 mm wide at 200 mm
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    Settings settings;
    settings.useOriginalFont = false; // numbers as text, whose boxes the canvas measures
    const PagesLayout layout = layOut(model, settings, 200);
    ASSERT_GE(layout.pageCount, 1);

    int numbers = 0, shrunk = 0;
    for (int page = 1; page <= layout.pageCount; ++page) {
        RecordingCanvas dc(100.0); // 10 units to the mm
        drawLayoutPage(layout, settings, page, dc, 10.0);
        std::vector<std::vector<PatternPoint>> boxes;
        for (const RecordedText& text : dc.texts) {
            boxes.push_back(numberBox(text));
            shrunk += text.font.height < std::lround(10.0 * settings.edgeIdFontSize * 0.35277777777777778) - 1;
        }
        numbers += static_cast<int>(boxes.size());
        // Every pair whose extents meet, found by a sweep along x: boxes
        // whose extents are apart cannot overlap.
        struct Extent {
            double minX, minY, maxX, maxY;
        };
        std::vector<Extent> extents;
        for (const auto& box : boxes) {
            Extent e{box[0].x, box[0].y, box[0].x, box[0].y};
            for (const PatternPoint& p : box)
                e = {std::min(e.minX, p.x), std::min(e.minY, p.y), std::max(e.maxX, p.x), std::max(e.maxY, p.y)};
            extents.push_back(e);
        }
        std::vector<std::size_t> byLeft(boxes.size());
        for (std::size_t i = 0; i < byLeft.size(); ++i) byLeft[i] = i;
        std::sort(byLeft.begin(), byLeft.end(),
                  [&](std::size_t a, std::size_t b) { return extents[a].minX < extents[b].minX; });
        for (std::size_t a = 0; a < byLeft.size(); ++a)
            for (std::size_t b = a + 1; b < byLeft.size() && extents[byLeft[b]].minX <= extents[byLeft[a]].maxX; ++b) {
                const std::size_t i = byLeft[a], j = byLeft[b];
                if (extents[i].maxY < extents[j].minY || extents[j].maxY < extents[i].minY) continue;
                const double smaller = std::min(polygonArea(boxes[i]), polygonArea(boxes[j]));
                // Device rounding may let two boxes touch; a real overlap covers
                // a good part of one of them.
                ASSERT_LE(intersectionArea(boxes[i], boxes[j]), 0.05 * smaller)
                    << "page " << page << ": " << dc.texts[i].text << " and " << dc.texts[j].text;
            }
    }
    EXPECT_GT(numbers, 1000);
    EXPECT_GT(shrunk, 0); // the faces here are too small for the settings' font
}
