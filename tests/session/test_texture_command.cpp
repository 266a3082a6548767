// Open Texture image and Display Texture: the size rule, what survives a
// refused file, the hints, and when the commands are enabled.
#include "formats/texture_command.h"
#include "session/session.h"
#include "session/commands.h"
#include "support/bmp_encoder.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

using namespace nettor;
using namespace nettor::test;

namespace {

class TextureCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.model = buildModel(boxSpec());
        session.model->hasTexCoords = true;
    }

    static std::string bitmapFile(const std::string& name, int width, int height)
    {
        return writeTempFile(name, encodeBmp(randomBmp(width, height, 24, unsigned(width * 7 + height))));
    }

    Session session;
    RecordingListener ui{session};
};

} // namespace

TEST_F(TextureCommand, PowerOfTwoImageIsShownAtOnce)
{
    const BmpSpec spec = randomBmp(256, 128, 24, 1);
    ASSERT_TRUE(session.openTexture(writeTempFile("tex.bmp", encodeBmp(spec))));
    ASSERT_NE(session.model->textureImage, nullptr);
    EXPECT_EQ(session.model->textureImage->width, 256);
    EXPECT_EQ(session.model->textureImage->height, 128);
    EXPECT_EQ(session.model->textureImage->pixels, expectedPixels(spec));
    EXPECT_TRUE(session.showTexture);
    EXPECT_EQ(ui.hints, (std::vector<int>{20}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(commandState(Command::DisplayTexture, session).enabled);
}

TEST_F(TextureCommand, SidesMustBePowersOfTwo)
{
    for (int side : {1, 2, 4, 1024, 16384}) EXPECT_TRUE(isTextureSide(side)) << side;
    for (int side : {0, -1, -16384, 3, 6, 100, 16383, 32768, 1 << 30}) EXPECT_FALSE(isTextureSide(side)) << side;

    EXPECT_FALSE(session.openTexture(bitmapFile("hundred.bmp", 100, 100)));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{textureSizeMessage}));
    EXPECT_EQ(session.model->textureImage, nullptr);
    EXPECT_FALSE(session.showTexture);
    EXPECT_FALSE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_EQ(ui.hints, (std::vector<int>{20}));

    ui.messages.clear();
    EXPECT_FALSE(session.openTexture(bitmapFile("wide.bmp", 64, 3)));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{textureSizeMessage}));
}

TEST_F(TextureCommand, RefusedFilesKeepThePreviousImage)
{
    ASSERT_TRUE(session.openTexture(bitmapFile("first.bmp", 4, 8)));
    const TextureImage* first = session.model->textureImage.get();
    const std::vector<std::uint8_t> pixels = first->pixels;
    ui.hints.clear();

    std::string damaged = encodeBmp(randomBmp(8, 8, 24, 9));
    damaged.resize(damaged.size() - 1);
    const std::vector<std::string> refused = {"/nonexistent/none.bmp", writeTempFile("damaged.bmp", damaged),
                                              bitmapFile("odd.bmp", 100, 100)};
    for (const std::string& path : refused) {
        EXPECT_FALSE(session.openTexture(path)) << path;
        EXPECT_EQ(session.model->textureImage.get(), first) << path;
        EXPECT_EQ(session.model->textureImage->pixels, pixels) << path;
        EXPECT_TRUE(session.showTexture) << path;
    }
    EXPECT_EQ(ui.messages.size(), refused.size());

    // Even with the texture switched off, a refused file does not switch it on.
    session.toggleTexture();
    EXPECT_FALSE(session.openTexture(refused[1]));
    EXPECT_FALSE(session.showTexture);

    // A good file replaces the image and switches the texture on again.
    ASSERT_TRUE(session.openTexture(bitmapFile("second.bmp", 2, 2)));
    EXPECT_EQ(session.model->textureImage->width, 2);
    EXPECT_TRUE(session.showTexture);
}

TEST_F(TextureCommand, DisplayTextureTogglesAndRedraws)
{
    session.toggleTexture();
    EXPECT_TRUE(session.showTexture);
    session.toggleTexture();
    EXPECT_FALSE(session.showTexture);
    EXPECT_EQ(ui.hints, (std::vector<int>{20, 20}));
}

TEST_F(TextureCommand, Enabling)
{
    EXPECT_TRUE(commandState(Command::OpenTexture, session).enabled);
    EXPECT_FALSE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_FALSE(commandState(Command::TextureWindow, session).enabled);

    session.model->textureImage = std::make_unique<TextureImage>();
    EXPECT_TRUE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_FALSE(commandState(Command::TextureWindow, session).enabled);
    session.status.finished = true;
    EXPECT_TRUE(commandState(Command::TextureWindow, session).enabled);

    session.model->hasTexCoords = false;
    EXPECT_FALSE(commandState(Command::OpenTexture, session).enabled);

    session.model.reset();
    EXPECT_FALSE(commandState(Command::OpenTexture, session).enabled);
    EXPECT_FALSE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_FALSE(commandState(Command::TextureWindow, session).enabled);
    EXPECT_FALSE(session.openTexture(bitmapFile("nomodel.bmp", 2, 2)));
}
