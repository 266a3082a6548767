// Projects saved and opened again through the session: the same work in
// every respect the outputs and the views can see, and the same bytes when
// saved once more.
#include "formats/pages_outputs.h"
#include "formats/pattern_svg.h"
#include "formats/project_codes.h"
#include "formats/project_file.h"
#include "formats/write_bmp.h"
#include "pattern/output_target.h"
#include "pattern/textured_pattern.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "unfold/background_unfolding.h"
#include "unfold/manual_unfolding.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace nettor {
namespace {

using namespace test;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string bits(double v)
{
    std::uint64_t u = 0;
    std::memcpy(&u, &v, sizeof u);
    return std::to_string(u) + ' ';
}

// Everything of the model the project does not list but rebuilds: edge
// lengths, fold angles, ridges, planes' use, corner copies, mean lengths.
std::string rebuiltState(const Model& model)
{
    std::string out = bits(model.averageEdgeLength) + bits(model.unitScale);
    for (const auto& object : model.objects) {
        out += bits(object->meanEdgeLength);
        for (const Edge* e : object->edges)
            out += bits(e->length) + bits(e->foldAngle) + std::to_string(e->isRidge) +
                   std::to_string(static_cast<int>(e->state)) + ' ';
        for (const Face* f : object->faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                if (h->cornerCopy) out += bits(h->cornerCopy->x) + bits(h->cornerCopy->y) + bits(h->cornerCopy->z);
                out += h->foldPartner ? "j" : "-";
            }
    }
    return out;
}

// The outputs of the finished pattern in the session's layout.
std::string outputs(Session& session)
{
    if (!session.status.finished) return {};
    std::ostringstream eps;
    session.writeEps(eps);
    std::string out = eps.str() + patternSvg(*session.model, session.settings, OutputTarget::MetafileFile);
    if (session.pagesLayout) {
        out += pagesPdf(*session.pagesLayout, session.settings);
        for (int page = 1; page <= session.pagesLayout->pageCount; ++page)
            out += pagesSvg(*session.pagesLayout, session.settings, page);
    }
    return out;
}

// Saves, opens in a second session and saves again: every view of the work
// is the same.
void expectRoundTrip(Session& original, const std::string& name)
{
    SCOPED_TRACE(name);
    const std::string first = writeTempFile(name + ".nettor", "");
    const std::string second = writeTempFile(name + "-again.nettor", "");
    ASSERT_TRUE(original.saveProject(first));
    EXPECT_FALSE(original.unsavedChanges());
    Session reopened;
    ASSERT_TRUE(reopened.openModel(first)); // Open takes projects beside models
    EXPECT_FALSE(reopened.unsavedChanges());
    EXPECT_EQ(reopened.projectPath, first);
    ASSERT_TRUE(reopened.saveProject(second));
    EXPECT_TRUE(fileBytes(second) == fileBytes(first)) << "saved again, the bytes differ";
    EXPECT_TRUE(reopened.projectJson() == original.projectJson()) << "the project JSON differs";
    EXPECT_TRUE(rebuiltState(*reopened.model) == rebuiltState(*original.model)) << "the rebuilt state differs";
    EXPECT_EQ(reopened.status.finished.load(), original.status.finished.load());
    EXPECT_EQ(reopened.status.unfoldedFaceCount.load(), original.status.unfoldedFaceCount.load());
    EXPECT_TRUE(outputs(reopened) == outputs(original)) << "the outputs differ";
}

void open(Session& session, std::unique_ptr<Model> model)
{
    session.replaceModel(std::move(model));
    session.takeUpModel();
}

void unfoldAndLayOut(Session& session, bool pages)
{
    unfoldOnCallingThread(session, *session.model);
    ASSERT_TRUE(session.status.finished);
    if (!pages) return;
    session.layoutMode = LayoutMode::Pages;
    session.pagesSettings.finishedSizeMm = 120.0;
    PagesResult result = layOutPages({*session.model, session.settings, session.pagesSettings});
    ASSERT_TRUE(result.layout) << result.message;
    session.pagesLayout = std::move(result.layout);
}

std::vector<std::pair<std::string, MeshSpec>> generatedModels()
{
    std::mt19937 rng(29);
    return {{"box", boxSpec()},
            {"l-prism", lPrismSpec()},
            {"convex", randomConvexSpec(rng, 40)},
            {"torus", torusSpec(8, 12)},
            {"height-field", closedHeightFieldSpec(rng, 5)},
            {"star", starPrismSpec(rng, 7)}};
}

TEST(SessionProject, AutomaticUnfoldingsInBothLayoutsComeBackExactly)
{
    for (const auto& [name, spec] : generatedModels()) {
        for (bool pages : {false, true}) {
            Session session;
            open(session, buildModel(spec));
            session.settings.showEdgeIds = 1;
            unfoldAndLayOut(session, pages);
            expectRoundTrip(session, name + (pages ? "-pages" : "-sheet"));
        }
    }
    // Every model among the samples, those in folders of their own with
    // their materials and images too.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NETTOR_SAMPLES_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".mtl" || extension == ".png" || extension == ".jpg" ||
            extension == ".py")
            continue;
        for (bool pages : {false, true}) {
            Session session;
            ASSERT_TRUE(session.openModel(entry.path().string()));
            unfoldAndLayOut(session, pages);
            expectRoundTrip(session, entry.path().stem().string() + (pages ? "-pages" : "-sheet"));
        }
    }
}

TEST(SessionProject, ManualUnfoldingHalfDoneComesBackAndGoesOnTheSame)
{
    std::mt19937 rng(7);
    Session session;
    open(session, buildModel({randomConvexSpec(rng, 30), translated(boxSpec(), {5, 0, 0})}));
    MeshObject& object = *session.model->objects[0];
    session.choosePickMode(FirstFaceMode);
    session.firstFacePick(object.faces[3]);
    EXPECT_TRUE(session.unsavedChanges());
    session.choosePickMode(ConnectEdgeMode);
    for (int i = 0; i < 4 && session.model->currentPart && session.model->currentPart->bestCandidate; ++i)
        session.connectEdgePick(session.model->currentPart->bestCandidate);
    session.cutEdgePick(object.edges[0]);
    ASSERT_GT(session.status.unfoldedFaceCount, 1);
    expectRoundTrip(session, "manual");

    // Both sessions finish the work the same way.
    const std::string path = writeTempFile("manual-continued.nettor", "");
    ASSERT_TRUE(session.saveProject(path));
    Session reopened;
    ASSERT_TRUE(reopened.openProject(path));
    for (Session* s : {&session, &reopened}) {
        s->choosePickMode(ConnectEdgeMode);
        s->connectEdgePick(s->model->currentPart->bestCandidate);
        unfoldOnCallingThread(*s, *s->model);
    }
    EXPECT_EQ(reopened.projectJson(), session.projectJson());
    EXPECT_EQ(outputs(reopened), outputs(session));
}

TEST(SessionProject, TextureSettingsAndCameraComeBack)
{
    Session session;
    open(session, buildModel(boxSpec()));
    auto image = std::make_unique<TextureImage>();
    image->width = 4;
    image->height = 2;
    for (int i = 0; i < 24; ++i) image->pixels.push_back(static_cast<unsigned char>(i * 11));
    session.model->textureImage = std::move(image);
    session.settings.flapSize = 2;
    session.settings.ridgeStyle = 1;
    session.pagesSettings.paper = PaperSize::Letter;
    session.pagesSettings.landscape = true;
    session.camera = ProjectCamera{{0.1f, 0.2f, 0.3f, 0.9f}, {0.5, -0.25, 1.0 / 3.0}, -7.5};
    expectRoundTrip(session, "textured");
    Session reopened;
    ASSERT_TRUE(reopened.openProject(session.projectPath));
    ASSERT_TRUE(reopened.model->textureImage);
    EXPECT_EQ(reopened.model->textureImage->pixels, session.model->textureImage->pixels);
    EXPECT_EQ(reopened.settings.toText(), session.settings.toText());
    EXPECT_EQ(reopened.pagesSettings, session.pagesSettings);
    ASSERT_TRUE(reopened.camera);
    EXPECT_EQ(reopened.camera->distance, -7.5);
    EXPECT_EQ(reopened.camera->modelCentre.z, 1.0 / 3.0);
    EXPECT_EQ(reopened.camera->orientation.w, 0.9f);
}

TEST(SessionProject, ChangesSinceSavedCountWhatTheUserDidAndNotTheOutputs)
{
    Session session;
    const std::string box = writeTempFile("changes_box.obj", toObjText(boxSpec()));
    ASSERT_TRUE(session.openModel(box));
    EXPECT_FALSE(session.unsavedChanges());
    std::ostringstream nte;
    session.writeCutEdgeFile(nte, "");
    EXPECT_FALSE(session.unsavedChanges());
    session.start();
    EXPECT_TRUE(session.unsavedChanges());
    unfoldOnCallingThread(session, *session.model);
    ASSERT_TRUE(session.saveProject(writeTempFile("changes.nettor", "")));
    EXPECT_FALSE(session.unsavedChanges());
    std::ostringstream eps;
    session.writeEps(eps);
    EXPECT_FALSE(session.unsavedChanges());
    Settings same = session.settings;
    session.settingsDialogClosed(true, same);
    EXPECT_FALSE(session.unsavedChanges());
    same.edgeIdFontSize = 12;
    session.settingsDialogClosed(true, same);
    EXPECT_TRUE(session.unsavedChanges());
    ASSERT_TRUE(session.undoToBeforeStart());
    EXPECT_TRUE(session.unsavedChanges());
}

TEST(SessionProject, AFailedOpenOrSaveKeepsTheWorkAndTheOldFile)
{
    Session session;
    open(session, buildModel(boxSpec()));
    session.choosePickMode(FirstFaceMode);
    session.firstFacePick(session.model->objects[0]->faces[0]);
    const std::string json = session.projectJson();
    const std::string bad = writeTempFile("bad.nettor", "not a project");
    EXPECT_FALSE(session.openProject(bad));
    EXPECT_EQ(session.projectJson(), json);
    EXPECT_TRUE(session.unsavedChanges());

    // A save that cannot be made says so; what was there stays.
    const std::filesystem::path dir = std::filesystem::path(writeTempFile("keep.txt", "")).parent_path();
    const std::string target = (dir / "work.nettor").string();
    ASSERT_TRUE(session.saveProject(target));
    const std::string saved = fileBytes(target);
    session.cutEdgePick(session.model->objects[0]->edges[5]);
    EXPECT_FALSE(session.saveProject((dir / "no such folder" / "work.nettor").string()));
    std::filesystem::create_directories(dir / "taken.nettor" / "inside");
    EXPECT_FALSE(session.saveProject((dir / "taken.nettor").string()));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.nettor" / "inside"));
    EXPECT_TRUE(session.unsavedChanges());
    EXPECT_EQ(session.projectPath, target);
    EXPECT_EQ(fileBytes(target), saved);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) // no temporary file left
        EXPECT_EQ(entry.path().filename().string().find(".nettor."), std::string::npos) << entry.path();

    std::string error;
    const std::string recovery = (dir / "recovery.nettor").string();
    ::umask(022);
    ASSERT_TRUE(session.writeRecoveryCopy(recovery, error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat(recovery.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(session.unsavedChanges());
}

// The textured pattern drawn into a bitmap file: each face filled with its
// own image, sampled at the nearest texel of its interpolated texture
// coordinate; faces without an image grey.
std::string texturedBitmap(const Session& session)
{
    const TexturedPicture picture = buildTexturedPattern(*session.model, session.settings, {});
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& face : picture.faces)
        for (const TexturedCorner& c : face) {
            minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
        }
    constexpr int size = 160;
    std::vector<std::uint8_t> rgb(size * size * 3, 255);
    const double scale = (size - 1) / std::max(maxX - minX, maxY - minY);
    for (std::size_t f = 0; f < picture.faces.size(); ++f) {
        const auto& face = picture.faces[f];
        const TextureImage* image = picture.faceImages[f];
        for (std::size_t k = 1; k + 1 < face.size(); ++k) {
            const TexturedCorner* t[3] = {&face[0], &face[k], &face[k + 1]};
            const auto px = [&](const TexturedCorner* c) { return (c->x - minX) * scale; };
            const auto py = [&](const TexturedCorner* c) { return (maxY - c->y) * scale; };
            const double area = (px(t[1]) - px(t[0])) * (py(t[2]) - py(t[0])) -
                                (px(t[2]) - px(t[0])) * (py(t[1]) - py(t[0]));
            if (std::abs(area) < 1e-12) continue;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    double w[3];
                    for (int i = 0; i < 3; ++i) {
                        const TexturedCorner* a = t[(i + 1) % 3];
                        const TexturedCorner* b = t[(i + 2) % 3];
                        w[i] = ((px(b) - px(a)) * (y + 0.5 - py(a)) - (py(b) - py(a)) * (x + 0.5 - px(a))) / area;
                    }
                    if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
                    std::uint8_t* out = &rgb[(std::size_t(y) * size + std::size_t(x)) * 3];
                    if (!image || !t[0]->hasTexCoord) {
                        out[0] = out[1] = out[2] = 128;
                        continue;
                    }
                    const double u = w[0] * t[0]->u + w[1] * t[1]->u + w[2] * t[2]->u;
                    const double v = w[0] * t[0]->v + w[1] * t[1]->v + w[2] * t[2]->v;
                    const int tx = std::clamp(static_cast<int>(u * image->width), 0, image->width - 1);
                    const int ty = std::clamp(static_cast<int>(v * image->height), 0, image->height - 1);
                    std::memcpy(out, &image->pixels[(std::size_t(ty) * std::size_t(image->width) + std::size_t(tx)) * 3], 3);
                }
        }
    }
    return encodeBitmapFile(size, size, rgb, 24);
}

TEST(SessionProject, ATexturedObjKeepsItsMaterialsAndImages)
{
    const std::string obj = std::string(NETTOR_SAMPLES_DIR) + "/textured_cube/textured_cube.obj";
    for (bool pages : {false, true}) {
        Session session;
        ASSERT_TRUE(session.openModel(obj));
        ASSERT_EQ(session.model->images.size(), 2u);
        unfoldAndLayOut(session, pages);
        expectRoundTrip(session, pages ? "textured-obj-pages" : "textured-obj-sheet");

        Session reopened;
        ASSERT_TRUE(reopened.openProject(session.projectPath));
        EXPECT_TRUE(reopened.showTexture);
        ASSERT_EQ(reopened.model->images.size(), 2u);
        std::size_t pixelBytes = 0;
        for (std::size_t i = 0; i < 2; ++i) {
            const TextureImage& was = *session.model->images[i];
            const TextureImage& is = *reopened.model->images[i];
            EXPECT_EQ(is.width, was.width);
            EXPECT_EQ(is.height, was.height);
            EXPECT_TRUE(is.pixels == was.pixels) << "image " << i;
            EXPECT_EQ(is.source, was.source);
            EXPECT_TRUE(is.encoded == was.encoded) << "image " << i;
            pixelBytes += is.pixels.size();
        }
        const auto& materials = reopened.model->objects[0]->materials;
        ASSERT_EQ(materials.size(), 3u);
        EXPECT_EQ(materials[1].name, "cap");
        EXPECT_EQ(materials[1].textureName, session.model->objects[0]->materials[1].textureName);
        EXPECT_EQ(materials[2].imageIndex, -1);
        // The images travel as their files: even unpacked the project is
        // much smaller than their pixels alone.
        EXPECT_LT(session.projectJson().size(), pixelBytes / 4);

        const std::string bitmap = texturedBitmap(session);
        EXPECT_EQ(texturedBitmap(reopened), bitmap);
        reopened.model->images[0]->pixels.assign(reopened.model->images[0]->pixels.size(), 0);
        EXPECT_NE(texturedBitmap(reopened), bitmap); // the bitmap shows the images
    }
}

TEST(SessionProject, ADamagedImageOrImageIndexIsRefusedWithAMessage)
{
    Session session;
    ASSERT_TRUE(session.openModel(std::string(NETTOR_SAMPLES_DIR) + "/textured_cube/textured_cube.obj"));
    const nlohmann::json saved = nlohmann::json::parse(session.projectJson());
    auto errorWith = [&](const std::function<void(nlohmann::json&)>& edit) {
        nlohmann::json edited = saved;
        edit(edited);
        return readProjectJson(edited.dump()).error;
    };
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["materialImages"][0] = 2; }),
              "Object 1 material 1 image is out of range (2).");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["materialImages"][1] = -2; }),
              "Object 1 material 2 image is out of range (-2).");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["materialNames"].erase(0); }),
              "Object 1: \"materialNames\" has 2 entries where 3 were expected.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["images"][1]["width"] = 7; }),
              "Material image 2 decodes to " + std::to_string(session.model->images[1]->width) + " x " +
                  std::to_string(session.model->images[1]->height) + " pixels where 7 x " +
                  std::to_string(session.model->images[1]->height) + " were expected.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["images"][0]["encoded"] = "iVBORw0KGgo="; }),
              "Material image 1 cannot be decoded. The file is not a PNG, JPEG, TGA, BMP or GIF image.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["images"][0]["encoded"] = "#"; }),
              "Material image 1's file bytes are not base64.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["images"] = 3; }), "The material images are not a list.");

    // Damaged bytes inside either image file: a message or an image of the
    // size the file says, never a crash.
    for (int image : {0, 1}) {
        const std::string text = saved["model"]["images"][image]["encoded"].get<std::string>();
        const std::vector<unsigned char> original = *base64Decode(text);
        for (std::size_t at = 0; at < original.size(); at += 7) {
            std::vector<unsigned char> damaged = original;
            damaged[at] ^= 0xA5;
            nlohmann::json edited = saved;
            edited["model"]["images"][image]["encoded"] = base64Encode(damaged);
            const ProjectContent read = readProjectJson(edited.dump());
            if (!read.model) {
                EXPECT_FALSE(read.error.empty()) << image << ' ' << at;
                continue;
            }
            const TextureImage& got = *read.model->images[static_cast<std::size_t>(image)];
            EXPECT_EQ(got.pixels.size(), std::size_t(got.width) * std::size_t(got.height) * 3u);
        }
    }

    // An image the reading could not find stays missing, and nothing refers to it.
    nlohmann::json missing = saved;
    missing["model"]["images"][0] = nullptr;
    missing["model"]["objects"][0]["materialImages"][0] = -1;
    const ProjectContent read = readProjectJson(missing.dump());
    ASSERT_TRUE(read.model) << read.error;
    EXPECT_FALSE(read.model->images[0]);
    EXPECT_TRUE(read.model->images[1]);

    // The work that was open stays open when such a file is chosen.
    nlohmann::json bad = saved;
    bad["model"]["objects"][0]["materialImages"][0] = 9;
    const std::string path = writeTempFile("bad-image-index.nettor", compressProjectText(bad.dump()));
    const std::string before = session.projectJson();
    EXPECT_FALSE(session.openProject(path));
    EXPECT_EQ(session.projectJson(), before);
}

TEST(SessionProject, ProjectsSavedBeforeMaterialImagesStillOpen)
{
    const std::string dir = std::string(NETTOR_SAMPLES_DIR) + "/../fuzz/corpus/project/";
    for (const char* name : {"cube-sheet.nettor", "house-pages.nettor"}) {
        const ProjectContent read = readProjectFile(dir + name);
        ASSERT_TRUE(read.model) << name << ": " << read.error;
        EXPECT_TRUE(read.model->images.empty());
        for (const Material& m : read.model->objects[0]->materials) EXPECT_EQ(m.imageIndex, -1);
    }
}

} // namespace
} // namespace nettor
