// nettor-cli unfold of the textured cube with its textures printed: the PDF
// holds each image once, and on the PDF's and the SVG's rendered pages the
// colour at each textured face's centre is that of its image at the face's
// texture-coordinate centre, in the one sheet and on pages.
#include "cli/cli_runner.h"
#include "formats/image_decode.h"
#include "model/mesh.h"
#include "pattern/face_image_fill.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using nettor::test::runCli;

namespace {

const std::string kCubeDir = std::string(NETTOR_SAMPLES_DIR) + "/textured_cube";
constexpr int kDpi = 40;
constexpr int kTolerance = 14; // per colour channel

struct Rgb {
    int r = 0, g = 0, b = 0;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool near(const Rgb& a, const Rgb& b)
{
    return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance && std::abs(a.b - b.b) <= kTolerance;
}

// The pixel at (x, y) from the top-left corner of a decoded image (whose
// rows run bottom row first).
Rgb pixelAt(const nettor::TextureImage& image, double x, double y)
{
    const int col = std::clamp(static_cast<int>(x), 0, image.width - 1);
    const int row = image.height - 1 - std::clamp(static_cast<int>(y), 0, image.height - 1);
    const std::size_t at = (std::size_t(row) * std::size_t(image.width) + std::size_t(col)) * 3u;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

std::unique_ptr<nettor::TextureImage> load(const std::string& path)
{
    nettor::DecodedImage decoded = nettor::loadImageFile(path);
    EXPECT_TRUE(decoded.image) << path << ": " << decoded.message;
    return std::move(decoded.image);
}

std::string run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << command << "\n" << out;
    } else {
        ADD_FAILURE() << "cannot run " << command;
    }
    return out;
}

// The textured faces of the cube as the core reads them, in face order:
// the image and the centre of the texture coordinates.
struct TexturedFace {
    int index = 0;
    const nettor::TextureImage* image = nullptr;
    double u = 0.0, v = 0.0;
};

std::vector<TexturedFace> texturedFaces(const nettor::Model& model)
{
    std::vector<TexturedFace> out;
    for (const nettor::Face* face : model.objects.at(0)->faces) {
        TexturedFace f{face->index, nettor::printedImage(*face), 0.0, 0.0};
        if (!f.image) continue;
        for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) {
            f.u += h->texCoord->u / double(face->outerLoop.halfEdges.size());
            f.v += h->texCoord->v / double(face->outerLoop.halfEdges.size());
        }
        out.push_back(f);
    }
    return out;
}

// Where a face's centre lies: its page (from 1) and its place on the page in
// centimetres from the top-left corner.
struct FaceCentre {
    int page = 1;
    double xCm = 0.0, yCm = 0.0;
};

FaceCentre faceCentre(const nlohmann::json& unfolding, int face, bool pages)
{
    const auto& f = unfolding.at("faces").at(face);
    FaceCentre c;
    const auto& corners = f.at("corners");
    if (pages) {
        c.page = f.at("page");
        for (const auto& corner : corners) {
            c.xCm += corner.at("pageMm")[0].get<double>() / 10.0;
            c.yCm += corner.at("pageMm")[1].get<double>() / 10.0;
        }
    } else {
        // The one sheet: (part offset + point) scaled, behind the 1.5 cm margin.
        const auto& offset = unfolding.at("parts").at(f.at("part").get<int>()).at("offset");
        const double scale = unfolding.at("patternScale");
        for (const auto& corner : corners) {
            c.xCm += (offset[0].get<double>() + corner.at("point")[0].get<double>()) * scale + 1.5;
            c.yCm += (offset[1].get<double>() + corner.at("point")[1].get<double>()) * scale + 1.5;
        }
    }
    c.xCm /= static_cast<double>(corners.size());
    c.yCm /= static_cast<double>(corners.size());
    return c;
}

std::string freshPrintFolder(const std::string& name)
{
    const std::string dir = testing::TempDir() + "/print_textures_" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void checkPrintedTextures(const std::string& layoutArguments, bool pages)
{
    const std::string dir = freshPrintFolder(pages ? "pages" : "sheet");
    const auto r = runCli("unfold " + kCubeDir + "/textured_cube.obj " + layoutArguments + " --pdf " + dir +
                          "/c.pdf --svg " + dir + "/c.svg --json " + dir + "/c.json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(dir + "/c.json");
    const auto unfolding = nlohmann::json::parse(in);

    // Each image once: every drawing of an image of one size names the same
    // object, and there are as many objects as images.
    const std::string list = run("pdfimages -list " + dir + "/c.pdf");
    std::map<std::string, std::set<std::string>> objectsBySize;
    std::map<std::string, std::string> encodingBySize;
    std::istringstream rows(list);
    std::string row;
    int drawn = 0;
    while (std::getline(rows, row)) {
        std::istringstream words(row);
        std::string page, num, type, width, height, color, comp, bpc, enc, interp, object;
        if (!(words >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc >> interp >> object) ||
            type != "image")
            continue;
        objectsBySize[width + "x" + height].insert(object);
        encodingBySize[width + "x" + height] = enc;
        ++drawn;
    }
    EXPECT_EQ(drawn, 5) << list; // the four sides and the top
    ASSERT_EQ(objectsBySize.size(), 2u) << list;
    EXPECT_EQ(objectsBySize["300x200"].size(), 1u) << list;
    EXPECT_EQ(objectsBySize["64x64"].size(), 1u) << list;
    EXPECT_EQ(encodingBySize["64x64"], "jpeg") << "the JPEG passes as it is\n" << list;

    nettor::Model model;
    ASSERT_TRUE(model.readObj(kCubeDir + "/textured_cube.obj"));
    std::map<int, std::unique_ptr<nettor::TextureImage>> pdfPages, svgPages;
    const auto faces = texturedFaces(model);
    ASSERT_EQ(faces.size(), 5u);
    for (const TexturedFace& face : faces) {
        const Rgb expected = pixelAt(*face.image, face.u * face.image->width, (1.0 - face.v) * face.image->height);
        const FaceCentre centre = faceCentre(unfolding, face.index, pages);
        const std::string p = std::to_string(centre.page);
        auto& pdf = pdfPages[centre.page];
        if (!pdf) {
            run("pdftoppm -r " + std::to_string(kDpi) + " -png -singlefile -f " + p + " -l " + p + " " + dir +
                "/c.pdf " + dir + "/pdf-" + p);
            pdf = load(dir + "/pdf-" + p + ".png");
        }
        auto& svg = svgPages[centre.page];
        if (!svg) {
            const std::string file = pages ? dir + "/c-" + p + ".svg" : dir + "/c.svg";
            run("rsvg-convert -d " + std::to_string(kDpi) + " -p " + std::to_string(kDpi) + " -b white -o " + dir +
                "/svg-" + p + ".png " + file);
            svg = load(dir + "/svg-" + p + ".png");
        }
        ASSERT_TRUE(pdf && svg);
        const double x = centre.xCm / 2.54 * kDpi, y = centre.yCm / 2.54 * kDpi;
        EXPECT_PRED2(near, pixelAt(*pdf, x, y), expected) << "PDF, face " << face.index << " on page " << p;
        EXPECT_PRED2(near, pixelAt(*svg, x, y), expected) << "SVG, face " << face.index << " on page " << p;
    }
}

TEST(PrintTexturesCli, OneSheetPdfAndSvgShowEachFacesPartOfItsImage)
{
    checkPrintedTextures("", false);
}

TEST(PrintTexturesCli, PagesPdfAndSvgShowEachFacesPartOfItsImage)
{
    checkPrintedTextures("--layout pages --size 100", true);
}

TEST(PrintTexturesCli, NoPrintTexturesLeavesNoImages)
{
    const std::string dir = freshPrintFolder("off");
    const auto r = runCli("unfold " + kCubeDir + "/textured_cube.obj --no-print-textures --pdf " + dir + "/c.pdf --svg " +
                          dir + "/c.svg");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string list = run("pdfimages -list " + dir + "/c.pdf");
    EXPECT_EQ(list.find(" image "), std::string::npos) << list;
    std::ifstream svg(dir + "/c.svg");
    const std::string text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("<image"), std::string::npos);
}

} // namespace
