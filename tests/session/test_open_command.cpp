// The Open command after its dialog: reader choice, messages, title, hints
// and what survives a failure.
#include "formats/load_model.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

using namespace nettor;
using namespace nettor::test;

namespace {

class OpenCommand : public ::testing::Test {
protected:
    Session session;
    RecordingListener ui{session};
};

} // namespace

TEST_F(OpenCommand, ExtensionIsComparedIgnoringCase)
{
    const std::string path = writeTempFile("CUBE.OBJ", toObjText(boxSpec()));
    session.status.finished = true;
    session.status.undoAvailable = true; // an edge pick on the model before
    ASSERT_TRUE(session.openModel(path));
    EXPECT_FALSE(session.status.undoAvailable);
    ASSERT_NE(session.model, nullptr);
    EXPECT_EQ(session.model->faceCount, 6);
    EXPECT_EQ(session.model->filePath, path);
    EXPECT_FALSE(session.status.finished);
    EXPECT_EQ(ui.titles, (std::vector<std::string>{"CUBE"}));
    EXPECT_EQ(ui.hints, (std::vector<int>{16, 3}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenCommand, UnknownExtensionLeavesAnEmptyModel)
{
    ASSERT_TRUE(session.openModel(writeTempFile("cube.obj", toObjText(boxSpec()))));
    const std::string txt = writeTempFile("notes.txt", "hello");
    EXPECT_TRUE(session.openModel(txt));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Nettor can't read the specified file."}));
    ASSERT_NE(session.model, nullptr);
    EXPECT_EQ(session.model->faceCount, 0);
    EXPECT_TRUE(session.model->objects.empty());
    EXPECT_EQ(ui.titles.back(), "");
    EXPECT_EQ(ui.hints, (std::vector<int>{16, 3, 16, 3}));
}

TEST_F(OpenCommand, FailedReadKeepsThePreviousModel)
{
    ASSERT_TRUE(session.openModel(writeTempFile("cube.obj", toObjText(boxSpec()))));
    Model* before = session.model.get();
    before->parts.push_back(std::make_unique<UnfoldedPart>()); // an unfolding in progress
    session.status.finished = true;
    session.showTexture = true;
    session.textureWindowOpen = true;
    ui.hints.clear();

    EXPECT_FALSE(session.openModel(writeTempFile("bad.obj", "v 0 0 0\nf 1 2 3\n")));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_EQ(session.model.get(), before);
    EXPECT_EQ(before->parts.size(), 1u);
    EXPECT_TRUE(session.status.finished);
    EXPECT_FALSE(session.showTexture);
    EXPECT_EQ(ui.textureWindowCloses, 1);
    EXPECT_TRUE(ui.hints.empty());
    EXPECT_EQ(ui.titles.size(), 1u);
}

TEST_F(OpenCommand, MissingFileChangesNothing)
{
    session.showTexture = true;
    EXPECT_FALSE(session.openModel("/nonexistent/model.obj"));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"This file could not be read."}));
    EXPECT_TRUE(session.showTexture);
    EXPECT_EQ(session.model, nullptr);
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
