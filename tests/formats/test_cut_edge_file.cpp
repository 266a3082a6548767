// The cut-edge file: its exact text, the model path relative to the file,
// reading it back, and the temporary file of Start and Undo.
#include "model/diagnostics.h"
#include "formats/load_model.h"
#include "formats/cut_edge_file.h"
#include "formats/relative_model_path.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"
#include "support/unfold_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace nettor {
namespace {

namespace fs = std::filesystem;

// Writes a file under the test's own folder, creating its subfolders.
std::string writeUnder(const std::string& relative, const std::string& contents)
{
    const fs::path folder = fs::path(test::writeTempFile(".keep", "")).parent_path();
    const fs::path path = folder / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
}

class CutEdgeFile : public ::testing::Test {
protected:

    // A box model written as OBJ under the test's folder, read back.
    std::unique_ptr<Model> boxAt(const std::string& relative)
    {
        const std::string path = writeUnder(relative, test::toObjText(test::boxSpec()));
        LoadedModel loaded = loadModelFile(path, session.listener);
        EXPECT_EQ(loaded.result, LoadResult::Loaded);
        return loaded.model ? std::move(loaded.model) : std::make_unique<Model>();
    }
    static std::string folderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

    static std::string text(const Model& model, const std::string& relative)
    {
        std::ostringstream out;
        writeCutEdgeFile(model, out, relative);
        return out.str();
    }
    static std::vector<int> marked(const Model& model)
    {
        std::vector<int> out;
        int i = 0;
        for (auto& object : model.objects)
            for (Edge* e : object->edges) {
                if (e->state == EdgeState::MarkedCut) out.push_back(i);
                else EXPECT_EQ(e->state, EdgeState::Untouched) << "edge " << i;
                ++i;
            }
        return out;
    }

    Session session;
    test::RecordingListener listener{session};
};

TEST_F(CutEdgeFile, RoundTripInOneFolder)
{
    auto model = boxAt("model.obj");
    auto& edges = model->objects[0]->edges;
    edges[1]->state = EdgeState::Cut;
    edges[3]->state = EdgeState::Blocked;
    edges[5]->state = EdgeState::MarkedCut;
    edges[7]->state = EdgeState::Candidate; // not a cut
    edges[8]->state = EdgeState::Fold;
    const std::string ntePath = folderOf(model->filePath) + "/cuts.nte";
    const std::string relative = relativeModelPath(ntePath, model->filePath);
    EXPECT_EQ(relative, "./model.obj");
    std::ofstream(ntePath, std::ios::binary) << text(*model, relative);
    EXPECT_EQ(text(*model, relative), "#Nettor Cut Edge Info\n# v1.1\n\n./model.obj\n1\n3\n5\n");

    Model back;
    ASSERT_TRUE(readCutEdgeFile(ntePath, back, session.listener));
    EXPECT_EQ(marked(back), (std::vector<int>{1, 3, 5})) << "Blocked comes back as MarkedCut";
    EXPECT_TRUE(fs::equivalent(back.filePath, model->filePath)) << back.filePath;
    EXPECT_EQ(back.faceCount, 6);
    EXPECT_TRUE(listener.messages.empty());
}

TEST_F(CutEdgeFile, RoundTripAcrossFolders)
{
    auto model = boxAt("data/model.obj");
    model->objects[0]->edges[11]->state = EdgeState::Cut;
    const std::string ntePath = folderOf(folderOf(model->filePath)) + "/cuts/pattern.nte";
    fs::create_directories(folderOf(ntePath));
    const std::string relative = relativeModelPath(ntePath, model->filePath);
    EXPECT_EQ(relative, "../data/model.obj");
    std::ofstream(ntePath, std::ios::binary) << text(*model, relative);

    // Opened like any model file.
    LoadedModel loaded = loadModelFile(ntePath, session.listener);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    EXPECT_EQ(marked(*loaded.model), (std::vector<int>{11}));
    EXPECT_TRUE(fs::equivalent(loaded.model->filePath, model->filePath));
}

TEST_F(CutEdgeFile, FullPathWhenNoRelativePathIsGiven)
{
    auto model = boxAt("model.obj");
    model->objects[0]->edges[0]->state = EdgeState::Cut;
    const std::string written = text(*model, "");
    EXPECT_EQ(written, "#Nettor Cut Edge Info\n# v1.1\n\n" + model->filePath + "\n0\n");
    // Read from anywhere, the full path is used unchanged.
    const std::string nte = writeUnder("elsewhere/full.nte", written);
    Model back;
    ASSERT_TRUE(readCutEdgeFile(nte, back, session.listener));
    EXPECT_EQ(back.filePath, model->filePath);
    EXPECT_EQ(marked(back), (std::vector<int>{0}));
}

TEST_F(CutEdgeFile, WindowsStylePathsAndLineEnds)
{
    auto model = boxAt("data/model.obj");
    const std::string root = folderOf(folderOf(model->filePath));
    const std::string nte = writeUnder(
        "win/cuts.nte", "#Nettor Cut Edge Info\r\n# v1.1\r\n\r\n..\\data\\model.obj\r\n2\r\n4\r\n");
    Model back;
    ASSERT_TRUE(readCutEdgeFile(nte, back, session.listener)) << (listener.messages.empty() ? "" : listener.messages[0]);
    EXPECT_EQ(marked(back), (std::vector<int>{2, 4}));
    EXPECT_TRUE(fs::equivalent(back.filePath, model->filePath));

    const std::string same = writeUnder("data/same.nte", "#Nettor Cut Edge Info\n# v1.1\n\n.\\model.obj\n");
    Model other;
    EXPECT_TRUE(readCutEdgeFile(same, other, session.listener));
}

TEST_F(CutEdgeFile, PathsLongerThan259Characters)
{
    std::string deep;
    for (int i = 0; i < 12; ++i) deep += "a_rather_long_folder_name_" + std::to_string(i) + "/";
    auto model = boxAt(deep + "model.obj");
    ASSERT_GT(model->filePath.size(), 300u);
    model->objects[0]->edges[9]->state = EdgeState::Cut;
    const std::string nte = folderOf(model->filePath) + "/cuts.nte";
    std::ofstream(nte, std::ios::binary) << text(*model, relativeModelPath(nte, model->filePath));
    Model back;
    ASSERT_TRUE(readCutEdgeFile(nte, back, session.listener));
    EXPECT_EQ(marked(back), (std::vector<int>{9}));

    // A long full path too.
    const std::string full = writeUnder("full.nte", text(*model, ""));
    Model again;
    ASSERT_TRUE(readCutEdgeFile(full, again, session.listener));
    EXPECT_EQ(again.filePath, model->filePath);
}

TEST_F(CutEdgeFile, IndexTokens)
{
    auto model = boxAt("model.obj");
    const std::string nte = writeUnder(
        "cuts.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./model.obj\nabc\n3 7x\n\n+5\n");
    Model back;
    ASSERT_TRUE(readCutEdgeFile(nte, back, session.listener));
    EXPECT_EQ(marked(back), (std::vector<int>{0, 3, 5, 7})) << "\"abc\" is index 0, \"7x\" is 7";
}

TEST_F(CutEdgeFile, IndicesOutsideTheModelAreIgnoredWithAWarning)
{
    auto model = boxAt("model.obj");
    const std::string nte = writeUnder(
        "cuts.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./model.obj\n-1\n4\n12\n99999999999\n2\n");
    std::ostringstream warnings;
    Model back;
    {
        DiagnosticsRedirect redirect(warnings);
        ASSERT_TRUE(readCutEdgeFile(nte, back, session.listener));
    }
    EXPECT_EQ(marked(back), (std::vector<int>{2, 4})) << "a lower index after a higher one is fine";
    EXPECT_NE(warnings.str().find("edge index -1"), std::string::npos) << warnings.str();
    EXPECT_NE(warnings.str().find("edge index 12"), std::string::npos) << warnings.str();
    EXPECT_NE(warnings.str().find("12 edges"), std::string::npos) << warnings.str();
}

TEST_F(CutEdgeFile, SeveralObjectsCountOnAcrossObjects)
{
    auto model = test::buildModel(
        {test::boxSpec(), test::boxSpec({2, 2, 2}, {3, 3, 3}), test::boxSpec({5, 5, 5}, {6, 6, 6})});
    model->filePath = "/models/three.obj";
    model->objects[0]->edges[11]->state = EdgeState::Cut;
    model->objects[1]->edges[0]->state = EdgeState::Cut;
    model->objects[2]->edges[4]->state = EdgeState::MarkedCut;
    EXPECT_EQ(text(*model, ""), "#Nettor Cut Edge Info\n# v1.1\n\n/models/three.obj\n11\n12\n28\n");

    auto fresh = test::buildModel(
        {test::boxSpec(), test::boxSpec({2, 2, 2}, {3, 3, 3}), test::boxSpec({5, 5, 5}, {6, 6, 6})});
    EXPECT_EQ(markListedEdges(*fresh, "11\n12\n28\n36\n", "test"), 1);
    EXPECT_EQ(marked(*fresh), (std::vector<int>{11, 12, 28}));
    EXPECT_EQ(fresh->objects[1]->edges[0]->state, EdgeState::MarkedCut);
}

TEST_F(CutEdgeFile, FailuresAndTheirMessages)
{
    {
        Model m;
        EXPECT_FALSE(readCutEdgeFile(writeUnder("x/none.nte", "") + ".missing", m, session.listener));
        EXPECT_EQ(listener.messages, (std::vector<std::string>{"This file could not be read."}));
    }
    listener.messages.clear();
    {
        const std::string nte = writeUnder("missing.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./gone.obj\n1\n");
        Model m;
        EXPECT_FALSE(readCutEdgeFile(nte, m, session.listener));
        EXPECT_EQ(listener.messages,
                  (std::vector<std::string>{"Can't open the file specified in this NTE file."}));
    }
    listener.messages.clear();
    {
        writeUnder("model.txt", "v 0 0 0\n");
        const std::string nte = writeUnder("model.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./model.txt\n");
        Model m;
        EXPECT_FALSE(readCutEdgeFile(nte, m, session.listener));
        EXPECT_EQ(listener.messages,
                  (std::vector<std::string>{"Can't open the file specified in this NTE file."}));
    }
    listener.messages.clear();
    {
        // A cut-edge file naming itself is not read again.
        const std::string nte = writeUnder("self.nte", "#\n\n./self.nte\n");
        Model m;
        EXPECT_FALSE(readCutEdgeFile(nte, m, session.listener));
    }
    listener.messages.clear();
    {
        // Ends before the model path: the last line read is taken, and fails.
        const std::string nte = writeUnder("short.nte", "#Nettor Cut Edge Info\n# v1.1\n");
        Model m;
        EXPECT_FALSE(readCutEdgeFile(nte, m, session.listener));
        EXPECT_EQ(listener.messages.size(), 1u);
    }
}

TEST_F(CutEdgeFile, OpenCommandKeepsTheCurrentModelOnFailure)
{
    auto current = boxAt("model.obj");
    Model* before = current.get();
    session.model = std::move(current);
    const std::string nte = writeUnder("bad.nte", "#Nettor Cut Edge Info\n# v1.1\n\n./nothing.obj\n");
    EXPECT_FALSE(session.openModel(nte));
    EXPECT_EQ(session.model.get(), before);
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"Can't open the file specified in this NTE file.",
                                                            "This file could not be read."}));
}


} // namespace
} // namespace nettor

namespace nettor {
namespace {

// The reader is chosen by the last three characters of the model path,
// whatever comes before them.
TEST_F(CutEdgeFile, ReaderChosenByTheLastThreeCharacters)
{
    const std::string box = test::toObjText(test::boxSpec());
    writeUnder("ends/boxOBJ", box);
    writeUnder("ends/box.xobj", box);
    writeUnder("ends/box.obj.txt", box);
    for (const std::string name : {"boxOBJ", "box.xobj"}) {
        const std::string nte =
            writeUnder("ends/" + name + ".nte", "#Nettor Cut Edge Info\n# v1.1\n\n./" + name + "\n0\n");
        Model m;
        ASSERT_TRUE(readCutEdgeFile(nte, m, session.listener)) << name;
        EXPECT_EQ(m.faceCount, 6) << name;
        EXPECT_EQ(marked(m), (std::vector<int>{0})) << name;
    }
    EXPECT_TRUE(listener.messages.empty());

    const std::string nte = writeUnder("ends/txt.nte", "#\n\n./box.obj.txt\n");
    Model m;
    EXPECT_FALSE(readCutEdgeFile(nte, m, session.listener));
    EXPECT_EQ(listener.messages,
              (std::vector<std::string>{"Can't open the file specified in this NTE file."}));
    listener.messages.clear();
    // Shorter than three characters: no reader.
    Model n;
    EXPECT_FALSE(readCutEdgeFile(writeUnder("ends/two.nte", "#\n\nob\n"), n, session.listener));
    EXPECT_EQ(listener.messages.size(), 1u);
}

} // namespace
} // namespace nettor
