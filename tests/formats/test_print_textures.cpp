// The printed pattern of a textured model: each face with an image filled
// with it once, in both layouts, and nothing else drawn differently; the
// PDF and the SVG holding each image once; the other outputs, and every
// output of a model without images, the same with the textures on or off.
#include "formats/image_decode.h"
#include "formats/image_embedding.h"
#include "formats/pages_metafile.h"
#include "formats/pages_outputs.h"
#include "formats/pattern_metafile.h"
#include "formats/pattern_pdf.h"
#include "formats/pattern_svg.h"
#include "formats/pdf_document.h"
#include "formats/svg_canvas.h"
#include "formats/project_codes.h"
#include "formats/saved_outputs.h"
#include "formats/text_file.h"
#include "pattern/draw_pattern.h"
#include "pattern/face_image_fill.h"
#include "pattern/pages_drawing.h"
#include "pattern/sheet_coordinates.h"
#include "session/session.h"
#include "support/ghostscript_render.h"
#include "support/recording_canvas.h"
#include "unfold/background_unfolding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace nettor {
namespace {

const std::string kCube = std::string(NETTOR_SAMPLES_DIR) + "/textured_cube/textured_cube.obj";

std::unique_ptr<Session> unfolded(const std::string& path)
{
    auto session = std::make_unique<Session>();
    EXPECT_TRUE(session->openModel(path)) << path;
    unfoldOnCallingThread(*session, *session->model);
    EXPECT_TRUE(session->status.finished);
    session->pagesSettings.finishedSizeMm = 100.0;
    PagesResult result = layOutPages({*session->model, session->settings, session->pagesSettings});
    EXPECT_TRUE(result.layout) << result.message;
    session->pagesLayout = std::move(result.layout);
    return session;
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Everything a recording canvas saw but the image fills.
std::string marks(const test::RecordingCanvas& dc)
{
    std::ostringstream out;
    for (const auto& p : dc.polygons) {
        for (const auto& q : p.points) out << q.x << "," << q.y << " ";
        out << int(p.brush.color.r) << int(p.brush.color.g) << int(p.brush.color.b) << p.outlined << "\n";
    }
    for (const auto& l : dc.lines) out << l.from.x << "," << l.from.y << "-" << l.to.x << "," << l.to.y << int(l.pen.style) << "\n";
    for (const auto& t : dc.texts) out << t.at.x << "," << t.at.y << t.text << "\n";
    return out.str();
}

struct Fills {
    std::string marks;
    std::vector<test::RecordedImageFill> fills;
};

// Checks that each face with an image is filled once, by a mapping that
// carries its corners' texture coordinates to their places, within an
// outline that reaches at most 1 mm past the face and somewhere that far.
void expectEachTexturedFaceFilledOnce(const Model& model, const std::vector<test::RecordedImageFill>& fills,
                                      const std::function<DeviceSpot(const HalfEdge&)>& place, double unitsPerMm)
{
    int textured = 0;
    double farthest = 0.0;
    for (const auto& object : model.objects)
        for (const Face* face : object->faces) {
            if (!printedImage(*face)) continue;
            ++textured;
            int found = 0;
            for (const auto& fill : fills) {
                if (fill.image != printedImage(*face) || fill.mappings.size() != 1) continue;
                const ImageMapping& m = fill.mappings[0];
                bool carries = true;
                for (const HalfEdge* h : face->outerLoop.halfEdges) {
                    const DeviceSpot at = place(*h);
                    const double u = h->texCoord->u, v = h->texCoord->v;
                    carries &= std::hypot(m.a * u + m.c * v + m.e - at.x, m.b * u + m.d * v + m.f - at.y) < 0.01 * unitsPerMm;
                }
                if (!carries) continue;
                ++found;
                for (const auto& polygon : fill.outline)
                    for (const DeviceSpot& p : polygon) {
                        double nearest = INFINITY;
                        for (const HalfEdge* h : face->outerLoop.halfEdges) nearest = std::min(nearest, std::hypot(p.x - place(*h).x, p.y - place(*h).y));
                        // Strip corners lie 1 mm straight out from a corner of the face.
                        farthest = std::max(farthest, nearest / unitsPerMm);
                    }
            }
            EXPECT_EQ(found, 1) << "face " << face->index;
        }
    EXPECT_EQ(static_cast<int>(fills.size()), textured);
    EXPECT_NEAR(farthest, kImageBleedMm, 1e-6);
}

TEST(PrintTextures, EachTexturedFaceIsFilledOnceAndNothingElseChangesInEitherLayout)
{
    auto session = unfolded(kCube);
    const Model& model = *session->model;
    Settings off = session->settings;
    off.printTextures = 0;
    const double upc = 200.0;

    auto sheet = [&](const Settings& settings, OutputTarget target) {
        test::RecordingCanvas dc(upc);
        drawPattern(model, settings, dc, upc, upc, target, 0, 0);
        return Fills{marks(dc), dc.imageFills};
    };
    const Fills on = sheet(session->settings, OutputTarget::Printer);
    EXPECT_EQ(on.marks, sheet(off, OutputTarget::Printer).marks);
    EXPECT_TRUE(sheet(off, OutputTarget::Printer).fills.empty());
    EXPECT_TRUE(sheet(session->settings, OutputTarget::Screen).fills.empty()) << "the view shows no textures";
    expectEachTexturedFaceFilledOnce(model, on.fills, [&](const HalfEdge& h) {
        const SheetPoint p = sheetPoint(model, *h.loop->face->part, *h.point);
        return DeviceSpot{upc * p.x, upc * p.y};
    }, upc / 10);

    const PagesLayout& layout = *session->pagesLayout;
    std::vector<test::RecordedImageFill> all;
    for (int page = 1; page <= layout.pageCount; ++page) {
        test::RecordingCanvas withTextures(upc), without(upc);
        drawLayoutPage(layout, session->settings, page, withTextures, upc / 10);
        drawLayoutPage(layout, off, page, without, upc / 10);
        EXPECT_EQ(marks(withTextures), marks(without)) << "page " << page;
        EXPECT_TRUE(without.imageFills.empty());
        all.insert(all.end(), withTextures.imageFills.begin(), withTextures.imageFills.end());
    }
    expectEachTexturedFaceFilledOnce(model, all, [&](const HalfEdge& h) {
        for (const LaidOutPiece& piece : layout.pieces)
            for (const Face* f : piece.faces)
                if (f == h.loop->face) {
                    const MmPoint p = piece.onPage(layout.local(*h.point));
                    return DeviceSpot{upc / 10 * p.x, upc / 10 * p.y};
                }
        return DeviceSpot{};
    }, upc / 10);
}

TEST(PrintTextures, ThePdfAndTheSvgHoldEachImageOnceTheJpegAsItIs)
{
    auto session = unfolded(kCube);
    const Model& model = *session->model;
    const auto jpeg = readWholeFile(std::string(NETTOR_SAMPLES_DIR) + "/textured_cube/top.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(plainJpegComponents(*jpeg), 3);

    std::ostringstream sheetPdf;
    writePatternPdf(model, session->settings, sheetPdf);
    for (const std::string& pdf : {sheetPdf.str(), pagesPdf(*session->pagesLayout, session->settings)}) {
        EXPECT_EQ(count(pdf, "/Subtype /Image"), 2u);
        EXPECT_EQ(count(pdf, *jpeg), 1u);
        EXPECT_EQ(count(pdf, "/DCTDecode"), 1u);
        EXPECT_EQ(count(pdf, " Do Q"), 5u); // the four sides and the top
    }

    std::vector<std::string> svgs{patternSvg(model, session->settings, OutputTarget::MetafileFile)};
    for (int page = 1; page <= session->pagesLayout->pageCount; ++page)
        svgs.push_back(pagesSvg(*session->pagesLayout, session->settings, page));
    std::size_t uses = 0;
    for (const std::string& svg : svgs) uses += count(svg, "<use ");
    EXPECT_EQ(uses, 10u); // five in the sheet, five over the pages
    const std::string& sheet = svgs[0];
    EXPECT_EQ(count(sheet, "<image "), 2u);
    // The PNG made of the side image's pixels decodes to them again.
    const std::regex png("data:image/png;base64,([A-Za-z0-9+/=]+)");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(sheet, match, png));
    const auto bytes = base64Decode(match[1].str());
    ASSERT_TRUE(bytes);
    const DecodedImage decoded = decodeImage(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(decoded.image) << decoded.message;
    const TextureImage* sides = nullptr;
    for (const auto& image : model.images)
        if (image->width == 300) sides = image.get();
    ASSERT_TRUE(sides);
    EXPECT_TRUE(decoded.image->pixels == sides->pixels);
    EXPECT_NE(sheet.find("data:image/jpeg;base64," + base64Encode({jpeg->begin(), jpeg->end()})), std::string::npos);
}

TEST(PrintTextures, AFaceShowingTooLittleOfItsImageTakesItsColour)
{
    auto session = unfolded(kCube);
    Model& model = *session->model;
    // The first side squeezed to a sliver of its red strip, the top to one point.
    Face& side = *model.objects[0]->faces[0];
    Face& top = *model.objects[0]->faces[4];
    for (HalfEdge* h : side.outerLoop.halfEdges) h->texCoord->v = 0.5 + (h->texCoord->v - 0.5) * 0.001;
    for (HalfEdge* h : top.outerLoop.halfEdges) *h->texCoord = {0.3, 0.6};
    test::RecordingCanvas dc(200);
    drawPattern(model, session->settings, dc, 200, 200, OutputTarget::Printer, 0, 0);
    EXPECT_EQ(dc.imageFills.size(), 3u);
    ASSERT_EQ(dc.colourFills.size(), 2u);
    const Color red = imageColourAt(*printedImage(side), 0.125, 0.5);
    const Color magenta = imageColourAt(*printedImage(top), 0.3, 0.6);
    EXPECT_EQ(red, (Color{220, 30, 30}));
    EXPECT_GT(magenta.r, 200);
    EXPECT_LT(magenta.g, 50);
    const std::vector<Color> colours{dc.colourFills[0].second, dc.colourFills[1].second};
    EXPECT_EQ(std::count(colours.begin(), colours.end(), red), 1);
    EXPECT_EQ(std::count(colours.begin(), colours.end(), magenta), 1);
}

// The colour of a picture at (xCm, yCm) from its top-left corner.
std::array<int, 3> colourAt(const test::Picture& picture, double pixelsPerCm, double xCm, double yCm)
{
    const int x = static_cast<int>(xCm * pixelsPerCm), y = static_cast<int>(yCm * pixelsPerCm);
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return {-1, -1, -1};
    const std::size_t at = (std::size_t(y) * std::size_t(picture.width) + std::size_t(x)) * 3u;
    return {picture.rgb[at], picture.rgb[at + 1], picture.rgb[at + 2]};
}

void expectUprightQuarters(const test::Picture& picture, double pixelsPerCm, const std::string& what)
{
    // The image lies on 1 .. 3 cm of a 4 cm page, its bottom row (red, green) lowest.
    const struct {
        double x, y;
        std::array<int, 3> rgb;
    } spots[] = {{1.5, 2.5, {255, 0, 0}}, {2.5, 2.5, {0, 255, 0}}, {1.5, 1.5, {0, 0, 255}},
                 {2.5, 1.5, {255, 255, 0}}, {0.5, 0.5, {255, 255, 255}}, {3.5, 2.0, {255, 255, 255}}};
    for (const auto& spot : spots) {
        const auto got = colourAt(picture, pixelsPerCm, spot.x, spot.y);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], spot.rgb[c], 12) << what << " at " << spot.x << ", " << spot.y << " channel " << c;
    }
}

TEST(PrintTextures, TheImageStandsUprightInThePdfAndTheSvg)
{
    if (!test::toolAvailable("pdftoppm") || !test::toolAvailable("rsvg-convert"))
        GTEST_SKIP() << "poppler-utils or librsvg2-bin are not installed";
    TextureImage image; // quarters of 4 x 4: red, green below; blue, yellow above
    image.width = image.height = 8;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            static const unsigned char quarters[2][2][3] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 0}}};
            const unsigned char* rgb = quarters[y >= 4][x >= 4];
            image.pixels.insert(image.pixels.end(), rgb, rgb + 3);
        }
    auto fill = [&](Canvas& dc, double upc) {
        // Clipped a little short of the image on the right, so that the outline counts.
        dc.imageFill(image, {{{upc, upc}, {2.8 * upc, upc}, {2.8 * upc, 3 * upc}, {upc, 3 * upc}}},
                     {ImageMapping{2 * upc, 0, 0, -2 * upc, upc, 3 * upc}});
    };
    const std::string dir = testing::TempDir();
    {
        PdfDocument pdf(kPdfUnitsPerCm, 4, 4);
        fill(pdf.addPage(), kPdfUnitsPerCm);
        std::ofstream(dir + "/upright.pdf", std::ios::binary) << [&] {
            std::ostringstream out;
            pdf.write(out);
            return out.str();
        }();
    }
    ASSERT_EQ(std::system(("pdftoppm -r 72 -singlefile '" + dir + "/upright.pdf' '" + dir + "/upright' 2>/dev/null").c_str()), 0);
    const test::Picture fromPdf = test::readPpm(dir + "/upright.ppm");
    ASSERT_FALSE(fromPdf.empty());
    expectUprightQuarters(fromPdf, 72 / 2.54, "PDF");

    SvgCanvas svg(4, 4, 100);
    fill(svg, 100);
    std::ofstream(dir + "/upright.svg") << svg.document();
    const test::RenderResult fromSvg = test::renderSvg(dir + "/upright.svg", dir + "/upright-svg.png");
    ASSERT_EQ(fromSvg.exitCode, 0) << fromSvg.log;
    expectUprightQuarters(fromSvg.picture, 96 / 2.54, "SVG");
}

TEST(PrintTextures, OnlyJpegFilesThatEveryViewerReadsAlikePassAsTheyAre)
{
    auto segment = [](unsigned char marker, const std::string& body) {
        const std::size_t length = body.size() + 2;
        return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} + body;
    };
    auto jpeg = [&](const std::string& before, int components, char precision = 8) {
        std::string frame{precision, 0, 16, 0, 16, static_cast<char>(components)};
        for (int c = 0; c < components; ++c) frame += std::string{static_cast<char>(c + 1), 0x11, 0};
        return std::string("\xFF\xD8", 2) + before + segment(0xC0, frame);
    };
    auto adobe = [&](char transform) { return segment(0xEE, std::string("Adobe\0\x64\0\0\0\0", 11) + transform); };
    EXPECT_EQ(plainJpegComponents(jpeg("", 3)), 3);
    EXPECT_EQ(plainJpegComponents(jpeg(segment(0xE0, "JFIF"), 1)), 1);
    EXPECT_EQ(plainJpegComponents(jpeg(adobe(1), 3)), 3); // YCbCr, said outright
    EXPECT_FALSE(plainJpegComponents(jpeg(adobe(0), 3))); // RGB
    EXPECT_FALSE(plainJpegComponents(jpeg("", 4)));       // CMYK
    EXPECT_FALSE(plainJpegComponents(jpeg("", 3, 12)));   // 12-bit samples
    EXPECT_FALSE(plainJpegComponents(jpeg("", 3).substr(0, 9)));
    EXPECT_FALSE(plainJpegComponents(std::string("\x89PNG\r\n\x1a\n", 8)));
}

TEST(PrintTextures, OutputsWithoutImagesAndThoseThatHoldNoneAreTheSameWithTexturesOnOrOff)
{
    for (const std::string& path : {std::string(NETTOR_SAMPLES_DIR) + "/house.obj", std::string(NETTOR_SAMPLES_DIR) + "/gem.mqo", kCube}) {
        auto session = unfolded(path);
        const Model& model = *session->model;
        const PagesLayout& layout = *session->pagesLayout;
        const bool images = path == kCube;
        auto outputs = [&](int printTextures) {
            Settings s = session->settings;
            s.printTextures = printTextures;
            std::vector<std::string> out;
            std::ostringstream eps, emf;
            writeSavedOutput(SavedOutput::Eps, model, s, "x.eps", eps);
            writeSavedOutput(SavedOutput::Emf, model, s, "x.emf", emf);
            out.push_back(eps.str());
            out.push_back(emf.str());
            const auto pageEmf = pageMetafile(layout, s, 1, 96, 96);
            out.emplace_back(pageEmf.begin(), pageEmf.end());
            out.push_back(pagesEps(layout, s, 1));
            if (!images) {
                std::ostringstream pdf;
                writePatternPdf(model, s, pdf);
                out.push_back(pdf.str());
                out.push_back(patternSvg(model, s, OutputTarget::MetafileFile));
                out.push_back(pagesPdf(layout, s));
                out.push_back(pagesSvg(layout, s, 1));
            }
            return out;
        };
        EXPECT_EQ(outputs(1), outputs(0)) << path;
    }
}

} // namespace
} // namespace nettor
