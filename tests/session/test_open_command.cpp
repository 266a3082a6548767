// The Open command after its dialog: reader choice, messages, title, hints
// and what survives a failure.
#include "formats/load_model.h"
#include "session/app_state.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

using namespace nettor;
using namespace nettor::test;

namespace {

class OpenCommand : public ::testing::Test {
protected:
    void SetUp() override { resetAppState(); }
    void TearDown() override { resetAppState(); }
    RecordingListener ui;
};

} // namespace

TEST_F(OpenCommand, ExtensionIsComparedIgnoringCase)
{
    const std::string path = writeTempFile("CUBE.OBJ", toObjText(boxSpec()));
    appState().status.finished = true;
    appState().status.undoAvailable = true; // an edge pick on the model before
    ASSERT_TRUE(appState().openModel(path));
    EXPECT_FALSE(appState().status.undoAvailable);
    ASSERT_NE(appState().model, nullptr);
    EXPECT_EQ(appState().model->faceCount, 6);
    EXPECT_EQ(appState().model->filePath, path);
    EXPECT_FALSE(appState().status.finished);
    EXPECT_EQ(ui.titles, (std::vector<std::string>{"CUBE"}));
    EXPECT_EQ(ui.hints, (std::vector<int>{16, 3}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenCommand, UnknownExtensionLeavesAnEmptyModel)
{
    ASSERT_TRUE(appState().openModel(writeTempFile("cube.obj", toObjText(boxSpec()))));
    const std::string txt = writeTempFile("notes.txt", "hello");
    EXPECT_TRUE(appState().openModel(txt));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Nettor can't read the specified file."}));
    ASSERT_NE(appState().model, nullptr);
    EXPECT_EQ(appState().model->faceCount, 0);
    EXPECT_TRUE(appState().model->objects.empty());
    EXPECT_EQ(ui.titles.back(), "");
    EXPECT_EQ(ui.hints, (std::vector<int>{16, 3, 16, 3}));
}

TEST_F(OpenCommand, FailedReadKeepsThePreviousModel)
{
    ASSERT_TRUE(appState().openModel(writeTempFile("cube.obj", toObjText(boxSpec()))));
    Model* before = appState().model.get();
    before->parts.push_back(std::make_unique<UnfoldedPart>()); // an unfolding in progress
    appState().status.finished = true;
    appState().showTexture = true;
    appState().textureWindowOpen = true;
    ui.hints.clear();

    EXPECT_FALSE(appState().openModel(writeTempFile("bad.obj", "v 0 0 0\nf 1 2 3\n")));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_EQ(appState().model.get(), before);
    EXPECT_EQ(before->parts.size(), 1u);
    EXPECT_TRUE(appState().status.finished);
    EXPECT_FALSE(appState().showTexture);
    EXPECT_EQ(ui.textureWindowCloses, 1);
    EXPECT_TRUE(ui.hints.empty());
    EXPECT_EQ(ui.titles.size(), 1u);
}

TEST_F(OpenCommand, MissingFileChangesNothing)
{
    appState().showTexture = true;
    EXPECT_FALSE(appState().openModel("/nonexistent/model.obj"));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_TRUE(appState().showTexture);
    EXPECT_EQ(appState().model, nullptr);
    EXPECT_TRUE(ui.hints.empty());
}

TEST(LoadModel, NamesAndMessages)
{
    EXPECT_EQ(lowerExtension("/a.b/Model.ObJ"), "obj");
    EXPECT_EQ(lowerExtension("/a.b/noext"), "");
    EXPECT_EQ(baseName("/x/y/house.v2.obj"), "house.v2");
    EXPECT_EQ(baseName(""), "");
    EXPECT_EQ(loadResultMessage(LoadResult::ReadFailed), "This file could not be read.");
    EXPECT_EQ(loadResultMessage(LoadResult::UnknownExtension), "Nettor can't read the specified file.");
}
