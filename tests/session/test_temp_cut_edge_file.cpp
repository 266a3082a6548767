// The record that Start leaves for the panel's Undo: where it lives, that
// nobody else's file or link is ever written through, that it gives back the
// model as it was at Start, and when Undo may be offered.
#include "formats/cut_edge_file.h"
#include "formats/load_model.h"
#include "formats/relative_model_path.h"
#include "formats/temp_cut_edge_file.h"
#include "support/model_builders.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace nettor {
namespace {

namespace fs = std::filesystem;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

unsigned modeOf(const fs::path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return 0xFFFFu;
    return static_cast<unsigned>(st.st_mode & 07777);
}

// Each test gets a temporary folder of its own (through TMPDIR) and a folder
// for its models outside it.
class TempCutEdgeFile : public test::UnfoldTest {
protected:
    void SetUp() override
    {
        UnfoldTest::SetUp();
        const char* previous = std::getenv("TMPDIR");
        savedTmp_ = previous ? previous : "";
        hadTmp_ = previous != nullptr;
        testDir_ = fs::path(test::writeTempFile(".keep", "")).parent_path().string();
        tmp_ = useTemporaryFolder("tmp");
    }
    void TearDown() override
    {
        if (hadTmp_) setenv("TMPDIR", savedTmp_.c_str(), 1);
        else unsetenv("TMPDIR");
        UnfoldTest::TearDown();
    }

    // Makes a fresh folder under the test's folder the system's temporary one.
    std::string useTemporaryFolder(const std::string& name)
    {
        const fs::path folder = fs::path(testDir_) / name;
        std::error_code ec;
        fs::remove_all(folder, ec);
        fs::create_directories(folder);
        setenv("TMPDIR", folder.c_str(), 1);
        return fs::weakly_canonical(folder).string();
    }

    std::string writeInTestDir(const std::string& relative, const std::string& contents)
    {
        const fs::path path = fs::path(testDir_) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
        return path.string();
    }

    Model& takeBoxFile(const std::string& relative)
    {
        const std::string objPath = writeInTestDir(relative, test::toObjText(test::boxSpec()));
        LoadedModel loaded = loadModelFile(objPath, session.listener);
        EXPECT_EQ(loaded.result, LoadResult::Loaded);
        loaded.model->filePath = objPath;
        return take(std::move(loaded.model));
    }

    std::string userFolder() const { return tmp_ + "/nettor-" + std::to_string(::geteuid()); }

    std::string testDir_, tmp_, savedTmp_;
    bool hadTmp_ = false;
};

TEST_F(TempCutEdgeFile, RecordLivesInAFolderOfThisUserAndThisSession)
{
    const fs::path record = session.startRecordPath();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.filename(), "nettor_temp.nte");
    const fs::path run = record.parent_path();
    EXPECT_EQ(run.parent_path(), fs::path(userFolder()));
    EXPECT_EQ(run.filename().string().rfind("run-", 0), 0u) << run;
    EXPECT_EQ(modeOf(userFolder()), 0700u);
    EXPECT_EQ(modeOf(run), 0700u);
    EXPECT_EQ(session.startRecordPath(), record.string()) << "the same record for the whole session";

    takeBoxFile("box.obj");
    ASSERT_TRUE(session.saveBeforeUnfolding());
    EXPECT_EQ(modeOf(record) & 077u, 0u) << "nobody else may read the record";
}

TEST_F(TempCutEdgeFile, EachSessionUndoesToItsOwnModel)
{
    const std::string boxPath = writeInTestDir("two/box.obj", test::toObjText(test::boxSpec()));
    const std::string prismPath = writeInTestDir("two/prism.obj", test::toObjText(test::lPrismSpec()));
    std::string firstFolder;
    {
        Session first, second;
        ASSERT_TRUE(first.openModel(boxPath));
        ASSERT_TRUE(second.openModel(prismPath));
        first.model->objects[0]->edges[3]->state = EdgeState::MarkedCut;
        second.model->objects[0]->edges[5]->state = EdgeState::MarkedCut;
        ASSERT_TRUE(first.saveBeforeUnfolding());
        ASSERT_TRUE(second.saveBeforeUnfolding());
        firstFolder = fs::path(first.startRecordPath()).parent_path().string();
        EXPECT_NE(firstFolder, fs::path(second.startRecordPath()).parent_path().string());

        for (Session* s : {&first, &second}) {
            unfoldAll(*s, *s->model);
            ASSERT_TRUE(s->status.finished);
            ASSERT_TRUE(s->undoToBeforeStart());
            EXPECT_TRUE(s->model->parts.empty());
        }
        EXPECT_TRUE(fs::equivalent(first.model->filePath, boxPath));
        EXPECT_EQ(first.model->faceCount, 6);
        EXPECT_EQ(first.model->objects[0]->edges[3]->state, EdgeState::MarkedCut);
        EXPECT_EQ(countState(*first.model, EdgeState::MarkedCut), 1);
        EXPECT_TRUE(fs::equivalent(second.model->filePath, prismPath));
        EXPECT_EQ(second.model->objects[0]->edges[5]->state, EdgeState::MarkedCut);
        EXPECT_EQ(countState(*second.model, EdgeState::MarkedCut), 1);
        EXPECT_TRUE(fs::exists(firstFolder));
    }
    EXPECT_FALSE(fs::exists(firstFolder)) << "a session's record goes with it";
}

TEST_F(TempCutEdgeFile, SavedAtStartAndReadBackForUndo)
{
    Model& m = takeBoxFile("models/box.obj");
    m.objects[0]->edges[2]->state = EdgeState::MarkedCut;
    m.objects[0]->edges[7]->state = EdgeState::MarkedCut;
    EXPECT_FALSE(session.startRecordSaved());
    ASSERT_TRUE(session.saveBeforeUnfolding());
    EXPECT_TRUE(session.startRecordSaved());

    // The model path in the record is relative to the record and leads to
    // the model file.
    std::istringstream lines(readText(session.startRecordPath()));
    std::string header1, header2, empty, modelLine, first, second, rest;
    std::getline(lines, header1);
    std::getline(lines, header2);
    std::getline(lines, empty);
    std::getline(lines, modelLine);
    lines >> first >> second >> rest;
    EXPECT_EQ(header1, "#Nettor Cut Edge Info");
    EXPECT_EQ(modelLine.front(), '.');
    EXPECT_TRUE(fs::equivalent(fs::path(session.startRecordPath()).parent_path() / modelLine, m.filePath));
    EXPECT_EQ(first, "2");
    EXPECT_EQ(second, "7");
    EXPECT_TRUE(rest.empty());

    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    EXPECT_FALSE(session.saveBeforeUnfolding()) << "only before an unfolding is finished";
    EXPECT_TRUE(session.startRecordSaved()) << "a refused save keeps the record of Start";

    auto back = session.readModelBeforeUnfolding();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->objects[0]->edges[2]->state, EdgeState::MarkedCut);
    EXPECT_EQ(back->objects[0]->edges[7]->state, EdgeState::MarkedCut);
    EXPECT_EQ(countState(*back, EdgeState::MarkedCut), 2);
    for (auto& object : back->objects)
        for (Face* f : object->faces) EXPECT_FALSE(f->unfolded);
}

TEST_F(TempCutEdgeFile, UndoMakesTheSavedModelCurrent)
{
    Model& m = takeBoxFile("box.obj");
    m.objects[0]->edges[4]->state = EdgeState::MarkedCut;
    ASSERT_TRUE(session.saveBeforeUnfolding());
    EXPECT_FALSE(session.unfoldingUndoAvailable()) << "nothing to take back before the unfolding is finished";
    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    EXPECT_TRUE(session.unfoldingUndoAvailable());
    session.status.undoAvailable = true;
    session.showTexture = true;
    session.textureWindowOpen = true;
    listener.hints.clear();

    ASSERT_TRUE(session.reloadBeforeUnfolding());
    Model* now = session.model.get();
    ASSERT_NE(now, &m);
    EXPECT_FALSE(session.status.finished);
    EXPECT_FALSE(session.unfoldingUndoAvailable());
    EXPECT_FALSE(session.status.undoAvailable) << "the edge picks of the old model are gone";
    EXPECT_FALSE(session.showTexture);
    EXPECT_EQ(listener.textureWindowCloses, 1);
    EXPECT_EQ(listener.hints, (std::vector<int>{16, 3}));
    EXPECT_EQ(listener.titles.back(), "box");
    EXPECT_EQ(now->objects[0]->edges[4]->state, EdgeState::MarkedCut);
    EXPECT_EQ(countState(*now, EdgeState::MarkedCut), 1);
    EXPECT_TRUE(now->parts.empty());
}

TEST_F(TempCutEdgeFile, UndoOnlyAfterASuccessfulSaveForTheCurrentModel)
{
    // Nothing saved yet: an unfolding finished without Start offers no Undo.
    Model& box = takeBoxFile("box.obj");
    Model* current = session.model.get();
    unfoldAll(session, box);
    ASSERT_TRUE(session.status.finished);
    EXPECT_FALSE(session.unfoldingUndoAvailable());
    session.status.finished = false;
    listener.messages.clear(); // the unfolding's own report
    EXPECT_FALSE(session.reloadBeforeUnfolding());
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_EQ(session.model.get(), current);

    // Saved, then another model opened: the record is not that model's.
    ASSERT_TRUE(session.saveBeforeUnfolding());
    const std::string other = writeInTestDir("other.obj", test::toObjText(test::lPrismSpec()));
    ASSERT_TRUE(session.openModel(other));
    EXPECT_FALSE(session.startRecordSaved());
    session.status.finished = true;
    EXPECT_FALSE(session.unfoldingUndoAvailable());
    session.status.finished = false;
    current = session.model.get();
    listener.messages.clear();
    EXPECT_FALSE(session.reloadBeforeUnfolding());
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_EQ(session.model.get(), current);
}

TEST_F(TempCutEdgeFile, ModelFileGoneSinceStart)
{
    Model& m = takeBoxFile("gone.obj");
    ASSERT_TRUE(session.saveBeforeUnfolding());
    fs::remove(m.filePath);
    Model* current = session.model.get();
    EXPECT_FALSE(session.reloadBeforeUnfolding());
    EXPECT_EQ(session.model.get(), current);
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"Can't open the file specified in this NTE file.",
                                                            "This file could not be read."}));
}

TEST_F(TempCutEdgeFile, NeverWritesThroughALinkAtTheRecord)
{
    const std::string victim = writeInTestDir("victim.txt", "keep me");
    const std::string record = session.startRecordPath();
    ASSERT_FALSE(record.empty());
    fs::create_symlink(victim, record);
    takeBoxFile("box.obj");
    ASSERT_TRUE(session.saveBeforeUnfolding());
    EXPECT_EQ(readText(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(record));
    EXPECT_EQ(readText(record).rfind("#Nettor Cut Edge Info\n", 0), 0u);
}

TEST_F(TempCutEdgeFile, RefusesAUserFolderThatIsNotSafe)
{
    takeBoxFile("box.obj");
    ASSERT_TRUE(session.saveBeforeUnfolding());

    // Someone planted a link where this user's folder belongs.
    const std::string planted = useTemporaryFolder("planted");
    const fs::path elsewhere = fs::path(testDir_) / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, planted + "/nettor-" + std::to_string(::geteuid()));
    EXPECT_EQ(session.startRecordPath(), "");
    EXPECT_FALSE(session.saveBeforeUnfolding());
    EXPECT_FALSE(session.startRecordSaved()) << "the earlier record is not the model's state at this Start";
    EXPECT_TRUE(fs::is_empty(elsewhere));

    // A plain file in its place.
    const std::string file = useTemporaryFolder("file");
    std::ofstream(file + "/nettor-" + std::to_string(::geteuid())) << "x";
    EXPECT_EQ(session.startRecordPath(), "");

    // A folder of this user open to others is narrowed first.
    const std::string open = useTemporaryFolder("open");
    const fs::path own = open + "/nettor-" + std::to_string(::geteuid());
    fs::create_directory(own);
    ::chmod(own.c_str(), 0777);
    EXPECT_FALSE(session.startRecordPath().empty());
    EXPECT_EQ(modeOf(own), 0700u);

    // A folder of another user (only root can make one here).
    if (::geteuid() == 0) {
        const std::string foreign = useTemporaryFolder("foreign");
        const fs::path theirs = foreign + "/nettor-0";
        fs::create_directory(theirs);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        ::chmod(theirs.c_str(), 0700);
        EXPECT_EQ(session.startRecordPath(), "");
    }
}

TEST_F(TempCutEdgeFile, CutsOfAnUnfoldingAreRespectedWhenReloaded)
{
    const std::string objPath = writeInTestDir("prism.obj", test::toObjText(test::lPrismSpec()));
    LoadedModel loaded = loadModelFile(objPath, session.listener);
    Model& m = take(std::move(loaded.model));
    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    // Save the finished unfolding's cuts as a file, open it, unfold again.
    const std::string nte = fs::path(objPath).parent_path().string() + "/prism.nte";
    {
        std::ofstream out(nte, std::ios::binary);
        session.writeCutEdgeFile(out, relativeModelPath(nte, m.filePath));
    }
    std::vector<int> cuts;
    int i = 0;
    for (Edge* e : m.objects[0]->edges) {
        if (e->state == EdgeState::Cut) cuts.push_back(i);
        ++i;
    }
    ASSERT_FALSE(cuts.empty());
    ASSERT_TRUE(session.openModel(nte));
    Model& again = take(std::move(session.model));
    unfoldAll(session, again);
    ASSERT_TRUE(session.status.finished);
    for (int index : cuts)
        EXPECT_NE(again.objects[0]->edges[static_cast<std::size_t>(index)]->state, EdgeState::Fold)
            << "edge " << index << " was marked to be cut";
}

} // namespace
} // namespace nettor
