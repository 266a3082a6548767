// Projects saved and opened again through the session: the same work in
// every respect the outputs and the views can see, and the same bytes when
// saved once more.
#include "formats/pages_outputs.h"
#include "formats/pattern_svg.h"
#include "formats/project_file.h"
#include "pattern/output_target.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "unfold/background_unfolding.h"
#include "unfold/manual_unfolding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
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
    for (const auto& entry : std::filesystem::directory_iterator(NETTOR_SAMPLES_DIR)) {
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

} // namespace
} // namespace nettor
