// When each command is enabled, and what the document's commands send.
#include "session/commands.h"

#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

namespace nettor {
namespace {

using test::RecordingListener;

class CommandRules : public ::testing::Test {
protected:
    bool enabled(Command c) const { return commandState(c, session).enabled; }

    void loadBox(bool texCoords = false, bool textureImage = false)
    {
        auto model = test::buildModel(test::boxSpec());
        model->hasTexCoords = texCoords;
        if (textureImage) model->textureImage = std::make_unique<TextureImage>();
        session.model = std::move(model);
    }

    Session session;
};

const Command kPatternOutputs[] = {Command::SaveEmf,   Command::SaveEps, Command::SavePdf, Command::CopyPattern,
                                   Command::Print,     Command::PrintPreview, Command::PrintSetup,
                                   Command::ZoomIn,    Command::ZoomOut, Command::ScaleUp,
                                   Command::ScaleDown};
const Command kAlways[] = {Command::Open,          Command::Exit,   Command::ToggleToolbar,
                           Command::ToggleStatusBar, Command::Setting, Command::Help,
                           Command::About,         Command::NextPane, Command::PreviousPane};

TEST_F(CommandRules, WithoutAModelOnlyTheFrameCommandsRun)
{
    for (Command c : kAlways) EXPECT_TRUE(enabled(c)) << static_cast<int>(c);
    for (Command c : kPatternOutputs) EXPECT_FALSE(enabled(c)) << static_cast<int>(c);
    for (Command c : {Command::SaveCutEdges, Command::ExportObj, Command::InvertFaces,
                      Command::UndoLastEdgePick, Command::OpenTexture, Command::DisplayTexture,
                      Command::TextureWindow})
        EXPECT_FALSE(enabled(c)) << static_cast<int>(c);
    // The flags alone do not enable commands that need a model.
    session.status.invertAllowed = true;
    session.status.finished = true;
    EXPECT_FALSE(enabled(Command::InvertFaces));
    EXPECT_FALSE(enabled(Command::ExportObj));
    EXPECT_FALSE(enabled(Command::SaveCutEdges));
}

TEST_F(CommandRules, ALoadedModelEnablesTheCutEdgeFileAndInvertUntilThePartStarts)
{
    loadBox();
    session.status.invertAllowed = true;
    EXPECT_TRUE(enabled(Command::SaveCutEdges));
    EXPECT_TRUE(enabled(Command::InvertFaces));
    for (Command c : kPatternOutputs) EXPECT_FALSE(enabled(c)) << static_cast<int>(c);
    EXPECT_FALSE(enabled(Command::ExportObj));
    EXPECT_FALSE(enabled(Command::OpenTexture)); // no texture coordinates
    session.status.invertAllowed = false;
    EXPECT_FALSE(enabled(Command::InvertFaces));
    session.status.undoAvailable = true;
    EXPECT_TRUE(enabled(Command::UndoLastEdgePick));
}

TEST_F(CommandRules, AFinishedUnfoldingEnablesThePatternOutputs)
{
    loadBox();
    session.status.finished = true;
    for (Command c : kPatternOutputs) EXPECT_TRUE(enabled(c)) << static_cast<int>(c);
    EXPECT_TRUE(enabled(Command::ExportObj));
    EXPECT_TRUE(enabled(Command::SaveCutEdges));
    EXPECT_FALSE(enabled(Command::TextureWindow)); // no texture image
}

TEST_F(CommandRules, TextureCommandsFollowTheModelsTexture)
{
    loadBox(true, false);
    EXPECT_TRUE(enabled(Command::OpenTexture));
    EXPECT_FALSE(enabled(Command::DisplayTexture));

    loadBox(true, true);
    EXPECT_TRUE(enabled(Command::DisplayTexture));
    EXPECT_FALSE(commandState(Command::DisplayTexture, session).checked);
    session.showTexture = true;
    EXPECT_TRUE(commandState(Command::DisplayTexture, session).checked);
    EXPECT_FALSE(enabled(Command::TextureWindow));
    session.status.finished = true;
    EXPECT_TRUE(enabled(Command::TextureWindow));
    // The user's own image is not printed: Print Textures waits for a
    // material's image, and is then on until switched off.
    EXPECT_FALSE(enabled(Command::PrintTextures));
    session.model->objects[0]->materials.resize(1);
    session.model->objects[0]->materials[0].imageIndex = 0;
    session.model->images.push_back(std::make_unique<TextureImage>());
    EXPECT_TRUE(enabled(Command::PrintTextures));
    EXPECT_TRUE(commandState(Command::PrintTextures, session).checked);
    session.togglePrintTextures();
    EXPECT_FALSE(commandState(Command::PrintTextures, session).checked);
    EXPECT_EQ(session.settings.printTextures, 0);
    session.togglePrintTextures();
    EXPECT_EQ(session.settings.printTextures, 1);
}

TEST_F(CommandRules, ZoomAndScaleSendTheirHintsOnlyWhenFinished)
{
    RecordingListener listener{session};
    const Command view[] = {Command::ZoomIn, Command::ZoomOut, Command::ScaleUp, Command::ScaleDown};
    for (Command c : view) session.patternViewCommand(c);
    EXPECT_TRUE(listener.hints.empty());
    session.status.finished = true;
    for (Command c : view) session.patternViewCommand(c);
    session.patternViewCommand(Command::Open);
    EXPECT_EQ(listener.hints, (std::vector<int>{13, 14, 11, 12}));
}

TEST_F(CommandRules, InvertReversesEveryFaceAndRedrawsEvenWithoutAModel)
{
    RecordingListener listener{session};
    session.invertFaces();
    EXPECT_EQ(listener.hints, std::vector<int>{20});

    loadBox();
    const Face* face = session.model->objects[0]->faces[0];
    const Plane before = face->plane;
    ASSERT_NE(before.a * before.a + before.b * before.b + before.c * before.c, 0.0);
    session.invertFaces();
    EXPECT_EQ(face->plane.a, -before.a);
    EXPECT_EQ(face->plane.b, -before.b);
    EXPECT_EQ(face->plane.c, -before.c);
    EXPECT_EQ(listener.hints, (std::vector<int>{20, 20}));
}

TEST_F(CommandRules, UndoAndDisplayTextureSendTheirHints)
{
    RecordingListener listener{session};
    session.undoLastEdgePick();
    session.toggleTexture();
    EXPECT_TRUE(session.showTexture);
    session.toggleTexture();
    EXPECT_FALSE(session.showTexture);
    EXPECT_EQ(listener.hints, (std::vector<int>{15, 20, 20}));
}

TEST_F(CommandRules, SettingsDialogTakesValuesOnlyWithOk)
{
    RecordingListener listener{session};
    Settings edited;
    edited.showEdgeIds = 1;
    edited.edgeIdFontSize = 30;
    edited.flapsBothSides = 5;
    session.settingsDialogClosed(false, edited);
    EXPECT_EQ(session.settings.toText(), Settings{}.toText());
    session.settingsDialogClosed(true, edited);
    EXPECT_EQ(session.settings.showEdgeIds, 1);
    EXPECT_EQ(session.settings.edgeIdFontSize, 30);
    EXPECT_EQ(session.settings.flapsBothSides, 1);
    EXPECT_EQ(listener.hints, (std::vector<int>{5, 20, 5, 20}));
}

} // namespace
} // namespace nettor
