// The metafile writer: its frame, well-formed records that play back the
// same drawing as the recording canvas, random drawings, and pictures
// converted by an independent EMF reader (emf2svg).
#include "formats/emf_canvas.h"
#include "formats/emf_records.h"
#include "formats/load_model.h"
#include "formats/pattern_metafile.h"
#include "pattern/draw_pattern.h"
#include "pattern/text_metrics.h"
#include "support/emf_reader.h"
#include "support/ghostscript_render.h"
#include "support/hand_pattern.h"
#include "support/recording_canvas.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace nettor {
namespace {

using test::EmfPicture;
using test::RecordingCanvas;

// A recording canvas that measures text as the metafile does, so that both
// place numbers at the same points.
class ArialRecordingCanvas : public RecordingCanvas {
public:
    using RecordingCanvas::RecordingCanvas;
    void selectFont(const Font& font) override
    {
        height_ = font.height;
        RecordingCanvas::selectFont(font);
    }
    TextExtent textExtent(const std::string& text) const override
    {
        return {static_cast<int>(std::lround(arialTextWidth(text, height_))), height_};
    }

private:
    int height_ = 0;
};

// Two unit squares stacked, each its own part: the edge between them is a
// cut numbered 1, drawn once leftward and once rightward.
std::unique_ptr<Model> stackedSquares()
{
    test::MeshSpec spec;
    spec.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    spec.faces = {{0, 1, 2, 3}, {3, 2, 4, 5}};
    return test::layOutFlat(spec, {0, 1}, 3.0);
}

std::uint32_t penStyleOf(const Pen& p)
{
    return p.style == PenStyle::Null ? emf::PS_NULL : p.style == PenStyle::Dot ? emf::PS_DOT : emf::PS_SOLID;
}

// The metafile plays back exactly the drawing the recording canvas saw
// (null-pen lines draw nothing and are left out of the metafile).
void expectSameDrawing(const RecordingCanvas& rec, const EmfPicture& pic)
{
    std::vector<test::RecordedLine> visible;
    for (const auto& l : rec.lines)
        if (l.pen.style != PenStyle::Null) visible.push_back(l);
    ASSERT_EQ(pic.lines.size(), visible.size());
    for (std::size_t i = 0; i < visible.size(); ++i) {
        EXPECT_EQ(pic.lines[i].from, visible[i].from) << "line " << i;
        EXPECT_EQ(pic.lines[i].to, visible[i].to) << "line " << i;
        EXPECT_EQ(pic.lines[i].penStyle, penStyleOf(visible[i].pen)) << "line " << i;
        EXPECT_EQ(pic.lines[i].penWidth, visible[i].pen.width) << "line " << i;
        EXPECT_EQ(pic.lines[i].color, visible[i].pen.color) << "line " << i;
    }
    ASSERT_EQ(pic.polygons.size(), rec.polygons.size());
    for (std::size_t i = 0; i < rec.polygons.size(); ++i) {
        EXPECT_EQ(pic.polygons[i].points, rec.polygons[i].points) << "polygon " << i;
        EXPECT_EQ(pic.polygons[i].fill, rec.polygons[i].brush.color) << "polygon " << i;
        const bool outlined = rec.polygons[i].outlined && rec.polygons[i].pen.style != PenStyle::Null;
        EXPECT_EQ(pic.polygons[i].outlined, outlined) << "polygon " << i;
        if (outlined) {
            EXPECT_EQ(pic.polygons[i].outline, rec.polygons[i].pen.color) << "polygon " << i;
        }
    }
    ASSERT_EQ(pic.texts.size(), rec.texts.size());
    for (std::size_t i = 0; i < rec.texts.size(); ++i) {
        EXPECT_EQ(pic.texts[i].reference, rec.texts[i].at) << "text " << i;
        EXPECT_EQ(pic.texts[i].text, emfText(rec.texts[i].text)) << "text " << i;
        EXPECT_EQ(pic.texts[i].fontHeight, rec.texts[i].font.height) << "text " << i;
        EXPECT_EQ(pic.texts[i].escapement, rec.texts[i].font.escapement) << "text " << i;
        EXPECT_EQ(pic.texts[i].faceName, rec.texts[i].font.faceName) << "text " << i;
        EXPECT_TRUE(pic.texts[i].transparent) << "text " << i;
        int advance = 0;
        for (int a : pic.texts[i].advances) advance += a;
        EXPECT_NEAR(advance, arialTextWidth(rec.texts[i].text, rec.texts[i].font.height), 1.0);
    }
}

// drawPattern on a metafile and on a recording canvas of the same resolution.
EmfPicture drawBoth(Model& model, const Settings& s, double dpi, ArialRecordingCanvas& rec,
                    OutputTarget target = OutputTarget::MetafileFile)
{
    const auto bytes = patternMetafile(model, s, target, dpi, dpi);
    drawPattern(model, s, rec, dpi * 0.39370078740157477, dpi * 0.39370078740157477, target, 0, 0);
    return test::readEmf(bytes);
}

// ---- frame and header ----

TEST(EmfFrame, SheetExtentPlusMarginsInHundredthsOfAMillimetre)
{
    auto model = test::layOutFlat(test::squareRowSpec(1), {0});
    model->sheetWidth = 10;
    model->sheetHeight = 5;
    const EmfFrame frame = metafileFrame(*model);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, 13000);
    EXPECT_EQ(frame.bottom, 8000);

    // The same frame in the file, with a 96 dpi reference screen of 20 x 15
    // inches.
    const EmfPicture pic = test::readEmf(patternMetafile(*model, Settings{}, OutputTarget::Clipboard));
    ASSERT_TRUE(pic.ok()) << pic.error;
    EXPECT_EQ(pic.frame[2], 13000);
    EXPECT_EQ(pic.frame[3], 8000);
    EXPECT_EQ(pic.devicePx[0], 1920);
    EXPECT_EQ(pic.devicePx[1], 1440);
    EXPECT_EQ(pic.deviceMm[0], 508);
    EXPECT_EQ(pic.deviceMm[1], 381);

    // Scale and sheet size both count; truncated, not rounded.
    model->sheetWidth = 2.00009;
    model->patternScale = 5;
    EXPECT_EQ(metafileFrame(*model).right, 13000);
}

TEST(EmfRecords, HeaderCountsAndSizesAgreeWithTheBytes)
{
    auto model = stackedSquares();
    Settings s;
    s.showEdgeIds = 1;
    s.createFlaps = 1;
    const auto bytes = patternMetafile(*model, s, OutputTarget::MetafileFile);
    const EmfPicture pic = test::readEmf(bytes);
    ASSERT_TRUE(pic.ok()) << pic.error;
    // Independently of the reader: walk the sizes from the start.
    std::size_t at = 0, records = 0;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 |
                                   static_cast<std::uint32_t>(bytes[at + 7]) << 24;
        ASSERT_GE(size, 8u);
        at += size;
        ++records;
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(pic.fileSize, bytes.size());
    EXPECT_EQ(pic.recordCount, records);
    EXPECT_EQ(pic.types.front(), emf::EMR_HEADER);
    EXPECT_EQ(pic.types.back(), emf::EMR_EOF);
    // Every object keeps its own handle; handle 0 is the metafile's.
    const auto creates = std::count_if(pic.types.begin(), pic.types.end(), [](std::uint32_t t) {
        return t == emf::EMR_CREATEPEN || t == emf::EMR_CREATEBRUSHINDIRECT || t == emf::EMR_EXTCREATEFONTINDIRECTW;
    });
    EXPECT_GE(creates, 4);
    EXPECT_EQ(pic.handleCount, creates + 1);
    // The picture's bounds lie inside the frame at 96 dpi.
    const double pxPer01mm = 96 / 2540.0;
    EXPECT_GE(pic.bounds[0], 0);
    EXPECT_LE(pic.bounds[2], pic.frame[2] * pxPer01mm);
    EXPECT_LE(pic.bounds[3], pic.frame[3] * pxPer01mm);
    EXPECT_GT(pic.bounds[2], pic.bounds[0]);
}

TEST(EmfRecords, TheReaderRejectsBrokenFiles)
{
    auto model = stackedSquares();
    const auto good = patternMetafile(*model, Settings{}, OutputTarget::MetafileFile);
    ASSERT_TRUE(test::readEmf(good).ok());

    auto shortened = good;
    shortened.resize(shortened.size() - 20); // without its end-of-file record
    EXPECT_FALSE(test::readEmf(shortened).ok());

    auto badSize = good;
    badSize[good[4] + 4] += 2; // the second record's size no longer a multiple of 4
    EXPECT_FALSE(test::readEmf(badSize).ok());

    auto badCount = good;
    badCount[52] += 1;
    EXPECT_FALSE(test::readEmf(badCount).ok());

    auto extra = good;
    extra.insert(extra.end(), {27, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(test::readEmf(extra).ok()) << "a record after the end";
}

TEST(EmfCanvas, EmptyDrawingAndFinishingTwice)
{
    EmfCanvas emf(EmfFrame{0, 0, 100, 100});
    const auto first = emf.finish();
    emf.moveTo(0, 0);
    emf.lineTo(5, 5); // ignored after the end
    EXPECT_EQ(emf.finish(), first);
    const EmfPicture pic = test::readEmf(first);
    ASSERT_TRUE(pic.ok()) << pic.error;
    EXPECT_EQ(pic.bounds[2], -1) << "an empty picture has empty bounds";
    EXPECT_TRUE(pic.lines.empty());
    EXPECT_EQ(pic.handleCount, 1);
}

TEST(EmfCanvas, ConnectedLinesBecomeOnePolylineAndNullPensNothing)
{
    EmfCanvas emf(EmfFrame{0, 0, 1000, 1000});
    emf.selectPen(Pen::solid(1, kBlack));
    emf.moveTo(0, 0);
    emf.lineTo(10, 0);
    emf.lineTo(10, 10);
    emf.lineTo(0, 10);
    emf.moveTo(30, 30); // a new run
    emf.lineTo(40, 40);
    emf.selectPen(Pen::null());
    emf.lineTo(50, 50);
    emf.selectPen(Pen::dotted(1, Color{1, 2, 3}));
    emf.moveTo(60, 60);
    emf.lineTo(70, 70);
    const EmfPicture pic = test::readEmf(emf.finish());
    ASSERT_TRUE(pic.ok()) << pic.error;
    EXPECT_EQ(std::count(pic.types.begin(), pic.types.end(), emf::EMR_POLYLINE), 1);
    EXPECT_EQ(std::count(pic.types.begin(), pic.types.end(), emf::EMR_LINETO), 2);
    ASSERT_EQ(pic.lines.size(), 5u);
    EXPECT_EQ(pic.lines[2].to, (DevicePoint{0, 10}));
    EXPECT_EQ(pic.lines[3].from, (DevicePoint{30, 30}));
    EXPECT_EQ(pic.lines[4].penStyle, emf::PS_DOT);
    EXPECT_EQ(pic.lines[4].color, (Color{1, 2, 3}));
}

TEST(EmfCanvas, TextIsUtf16WithItsAdvances)
{
    EXPECT_EQ(emfText("12"), u"12");
    EXPECT_EQ(emfText("\xC3\xA9t\xC3\xA9"), u"\u00e9t\u00e9");
    EXPECT_EQ(emfText("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
    EXPECT_EQ(emfText("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(emfText("\xE2\x82"), u"\uFFFD\uFFFD") << "a sequence cut short";
    EXPECT_EQ(emfText("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong";

    EmfCanvas emf(EmfFrame{0, 0, 1000, 1000});
    Font font;
    font.height = 40;
    font.escapement = 900;
    emf.selectFont(font);
    emf.setTransparentBackground();
    emf.textOut(100, 200, "10");
    emf.textOut(100, 200, "");
    const EmfPicture pic = test::readEmf(emf.finish());
    ASSERT_TRUE(pic.ok()) << pic.error;
    ASSERT_EQ(pic.texts.size(), 1u);
    EXPECT_EQ(pic.texts[0].text, u"10");
    EXPECT_EQ(pic.texts[0].reference, (DevicePoint{100, 200}));
    EXPECT_EQ(pic.texts[0].escapement, 900);
    EXPECT_EQ(pic.texts[0].fontHeight, 40);
    EXPECT_EQ(pic.texts[0].faceName, "Arial");
    ASSERT_EQ(pic.texts[0].advances.size(), 2u);
    EXPECT_EQ(pic.texts[0].advances[0] + pic.texts[0].advances[1], emf.textExtent("10").width);
}

// ---- the pattern drawing ----

TEST(EmfPattern, PlaysBackTheDrawingWithNumbersInBothFonts)
{
    auto model = stackedSquares();
    MeshObject& object = *model->objects[0];
    object.materials.emplace_back();
    object.materials[0].ambient[0] = 1.0f;
    object.faces[1]->materialIndex = 0;
    Settings s;
    s.showEdgeIds = 1;
    s.createFlaps = 1;
    s.colorMode = 1;
    s.omitFlatEdges = 0;
    s.valleyStyle = static_cast<int>(FoldLineStyle::Dot);
    for (int original = 0; original <= 1; ++original) {
        s.useOriginalFont = original;
        for (const double dpi : {96.0, 300.0}) {
            SCOPED_TRACE("font " + std::to_string(original) + " at " + std::to_string(dpi));
            ArialRecordingCanvas rec(dpi * 0.39370078740157477);
            const EmfPicture pic = drawBoth(*model, s, dpi, rec);
            ASSERT_TRUE(pic.ok()) << pic.error;
            expectSameDrawing(rec, pic);
            EXPECT_EQ(pic.texts.empty(), original == 1);
            EXPECT_FALSE(pic.lines.empty());
        }
    }
}

TEST(EmfPattern, RandomPatternsGiveWellFormedRecords)
{
    std::mt19937 rng(20261208);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Session session;
        session.model = test::buildModel(test::randomConvexSpec(rng, 6 + round % 20));
        Model& model = *session.model;
        takeUpModel(session, model);
        unfoldAll(session, model);
        ASSERT_TRUE(session.status.finished);

        Settings s;
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        s.createFlaps = pick(2);
        s.flapsBothSides = pick(2);
        s.flapSize = pick(3);
        s.showEdgeIds = 1;
        s.useOriginalFont = pick(2);
        s.edgeIdFontSize = 1 + pick(40);
        s.omitFlatEdges = pick(2);
        s.ridgeStyle = pick(3);
        s.valleyStyle = pick(3);
        s.colorMode = pick(2);
        model.patternScale *= 0.2 + pick(40) * 0.1;
        const double dpi = 40 + pick(600);
        ArialRecordingCanvas rec(dpi * 0.39370078740157477);
        const EmfPicture pic = drawBoth(model, s, dpi, rec, round % 2 ? OutputTarget::Clipboard
                                                                       : OutputTarget::MetafileFile);
        ASSERT_TRUE(pic.ok()) << pic.error;
        expectSameDrawing(rec, pic);
    }

    // Direct calls with values no pattern makes.
    for (int round = 0; round < 200; ++round) {
        EmfCanvas emf(EmfFrame{0, 0, static_cast<int>(rng() % 100000), static_cast<int>(rng() % 100000)},
                      static_cast<double>(rng() % 1000) - 100, 96);
        auto coordinate = [&] {
            const int kind = static_cast<int>(rng() % 4);
            return kind == 0 ? INT_MAX : kind == 1 ? INT_MIN : static_cast<int>(rng() % 20001) - 10000;
        };
        for (int op = 0; op < 30; ++op) {
            switch (rng() % 7) {
            case 0: emf.selectPen(Pen{static_cast<PenStyle>(rng() % 3), static_cast<int>(rng() % 8) - 1,
                                      Color{1, 2, 3}, rng() % 2 == 0});
                break;
            case 1: emf.selectBrush(Brush{Color{static_cast<std::uint8_t>(rng())}, rng() % 2 == 0}); break;
            case 2: {
                Font f;
                f.height = static_cast<int>(rng() % 200) - 50;
                f.escapement = static_cast<int>(rng() % 7200) - 3600;
                f.faceName = rng() % 2 ? "Arial" : std::string(40, 'x');
                emf.selectFont(f);
                break;
            }
            case 3: {
                std::vector<DevicePoint> points(rng() % 6);
                for (auto& p : points) p = {coordinate(), coordinate()};
                if (rng() % 2) emf.polygon(points); else emf.fillPolygon(points);
                break;
            }
            case 4: emf.moveTo(coordinate(), coordinate()); break;
            case 5: emf.lineTo(coordinate(), coordinate()); break;
            case 6: {
                const char* texts[] = {"", "7", "123", "\xE2\x82\xAC", "\xFF\xFE", "long text here"};
                emf.textOut(coordinate(), coordinate(), texts[rng() % 6]);
                break;
            }
            }
        }
        const EmfPicture pic = test::readEmf(emf.finish());
        ASSERT_TRUE(pic.ok()) << "round " << round << ": " << pic.error;
    }
}

// ---- an independent reader: emf2svg ----

class EmfConversion : public test::UnfoldTest {
protected:
    void SetUp() override
    {
        UnfoldTest::SetUp();
        if (!test::toolAvailable("emf2svg-conv") || !test::toolAvailable("rsvg-convert") ||
            !test::toolAvailable("convert"))
            GTEST_SKIP() << "emf2svg-conv, rsvg-convert or ImageMagick is not installed";
    }

    // Unfolds the model, converts its metafile to SVG and renders that; every
    // cut and border line must be dark at its midpoint.
    void convertAndCheck(std::unique_ptr<Model> model, const Settings& s, const std::string& name)
    {
        Model& m = take(std::move(model));
        unfoldAll(session, m);
        ASSERT_TRUE(session.status.finished);
        const auto bytes = patternMetafile(m, s, OutputTarget::MetafileFile);
        const EmfPicture pic = test::readEmf(bytes);
        ASSERT_TRUE(pic.ok()) << pic.error;
        const std::string emfPath = test::writeTempFile(name + ".emf", std::string(bytes.begin(), bytes.end()));
        const std::string svgPath = emfPath + ".svg", log = emfPath + ".log";
        const int status = std::system(("emf2svg-conv -i '" + emfPath + "' -o '" + svgPath + "' >'" + log +
                                        "' 2>&1").c_str());
        ASSERT_EQ(status, 0) << "emf2svg-conv failed";
        std::ifstream svgFile(svgPath);
        std::stringstream svgText;
        svgText << svgFile.rdbuf();
        const std::string svg = svgText.str();
        ASSERT_NE(svg.find("<svg"), std::string::npos);

        const auto rendered = test::renderSvg(svgPath, svgPath + ".png");
        ASSERT_EQ(rendered.exitCode, 0) << rendered.log;
        const test::Picture& p = rendered.picture;
        ASSERT_FALSE(p.empty());
        // emf2svg draws the reference device's pixels one to one and crops
        // the picture to the header's bounds.
        const double upc = 96 * 0.39370078740157477;
        EXPECT_NEAR(p.width, pic.bounds[2] - pic.bounds[0] + 1, 1.5);
        EXPECT_NEAR(p.height, pic.bounds[3] - pic.bounds[1] + 1, 1.5);
        int checked = 0;
        for (auto& part : m.parts)
            for (Face* f : part->faces)
                for (HalfEdge* h : f->outerLoop.halfEdges) {
                    if (h->edge->edgeId == -1 && h->edge->state != EdgeState::Border) continue;
                    const double x = ((part->offsetX + (h->point->x + h->next->point->x) / 2) * m.patternScale + 1.5);
                    const double y = ((part->offsetY + (h->point->y + h->next->point->y) / 2) * m.patternScale + 1.5);
                    EXPECT_TRUE(p.darkNear(static_cast<int>(x * upc) - pic.bounds[0],
                                           static_cast<int>(y * upc) - pic.bounds[1], 2))
                        << name << ": cut line at " << x << ", " << y << " cm";
                    ++checked;
                }
        EXPECT_GT(checked, 5);
        if (s.showEdgeIds && !s.useOriginalFont) {
            EXPECT_NE(svg.find("<text"), std::string::npos);
        }
    }
};

TEST_F(EmfConversion, HouseWithTextNumbersAndFlaps)
{
    LoadedModel loaded = loadModelFile(std::string(NETTOR_SAMPLES_DIR) + "/house.obj", nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    Settings s;
    s.showEdgeIds = 1;
    s.createFlaps = 1;
    convertAndCheck(std::move(loaded.model), s, "house");
}

TEST_F(EmfConversion, LPrismWithStrokeDigitsAndDottedValleys)
{
    Settings s;
    s.showEdgeIds = 1;
    s.useOriginalFont = 1;
    s.omitFlatEdges = 0;
    s.valleyStyle = static_cast<int>(FoldLineStyle::Dot);
    convertAndCheck(test::buildModel(test::lPrismSpec()), s, "lprism");
}

TEST_F(EmfConversion, SubdividedSphere)
{
    Settings s;
    s.showEdgeIds = 1;
    s.flapsBothSides = 1;
    convertAndCheck(test::buildModel(test::subdividedSphereSpec(2)), s, "sphere");
}

} // namespace
} // namespace nettor
