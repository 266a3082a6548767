// Damaged, cut-short and hand-edited projects: the reader says what is
// wrong and never crashes, reads out of bounds or follows a bad index.
#include "formats/project_codes.h"
#include "formats/project_file.h"
#include "state/engine_state.h"
#include "support/model_builders.h"
#include "unfold/prepare_for_unfolding.h"
#include "unfold/unfold_all.h"
#include "unfold/take_up_model.h"

#include <nlohmann/json.hpp>
#include <gtest/gtest.h>

namespace nettor {
namespace {

using namespace test;

// A finished box laid out on pages: every part of the format in use.
struct SavedBox {
    std::string bytes;
    std::string json;
    SavedBox()
    {
        EngineState engine;
        std::unique_ptr<Model> model = buildModel({boxSpec(), lPrismSpec()});
        takeUpModel(engine, *model);
        unfoldAll(engine, *model);
        ProjectState state;
        state.finished = engine.status.finished;
        state.layoutMode = LayoutMode::Pages;
        state.pagesSettings.finishedSizeMm = 100.0;
        PagesResult pages = layOutPages({*model, state.settings, state.pagesSettings});
        model->textureImage = std::make_unique<TextureImage>();
        model->textureImage->width = 2;
        model->textureImage->height = 2;
        model->textureImage->pixels.assign(12, 200);
        const ProjectSource source{*model, state, pages.layout ? &*pages.layout : nullptr};
        json = projectJsonText(source);
        bytes = projectFileBytes(source);
    }
};

const SavedBox& savedBox()
{
    static const SavedBox box;
    return box;
}

TEST(ProjectReader, ReadsWhatWasWritten)
{
    const ProjectContent read = readProjectBytes(savedBox().bytes);
    ASSERT_TRUE(read.model) << read.error;
    EXPECT_TRUE(read.layout);
    EXPECT_EQ(read.model->objects.size(), 2u);
}

TEST(ProjectReader, CutShortOrFlippedFilesAreRefusedWithAMessage)
{
    const std::string& bytes = savedBox().bytes;
    for (std::size_t length = 0; length < bytes.size(); length += 10) {
        const ProjectContent read = readProjectBytes(std::string_view(bytes).substr(0, length));
        EXPECT_FALSE(read.model) << length;
        EXPECT_FALSE(read.error.empty()) << length;
    }
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::string flipped = bytes;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        const ProjectContent read = readProjectBytes(flipped);
        EXPECT_TRUE(read.model || !read.error.empty()) << at;
    }
    EXPECT_EQ(readProjectBytes(bytes.substr(0, bytes.size() / 2)).error, "The project file is cut short.");
    EXPECT_EQ(readProjectBytes("plain text").error, "The project file is damaged.");
}

// Every single value of the JSON replaced by something wrong: a message or
// a project, nothing else.
TEST(ProjectReader, EveryValueReplacedByNonsenseIsHandled)
{
    const nlohmann::json original = nlohmann::json::parse(savedBox().json);
    const nlohmann::json flat = original.flatten();
    const std::vector<nlohmann::json> nonsense = {-1, 2147483647, 1.5, "x", nullptr, true};
    int refused = 0;
    for (const auto& [pointer, value] : flat.items()) {
        for (const nlohmann::json& bad : nonsense) {
            if (bad == value) continue;
            nlohmann::json edited = flat;
            edited[pointer] = bad;
            const ProjectContent read = readProjectJson(edited.unflatten().dump());
            if (!read.model) {
                EXPECT_FALSE(read.error.empty()) << pointer;
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, static_cast<int>(flat.size()));
}

TEST(ProjectReader, SaysWhatIsWrong)
{
    const nlohmann::json original = nlohmann::json::parse(savedBox().json);
    auto errorWith = [&](const std::function<void(nlohmann::json&)>& edit) {
        nlohmann::json edited = original;
        edit(edited);
        return readProjectJson(edited.dump()).error;
    };
    EXPECT_EQ(errorWith([](auto& j) { j["version"] = 2; }),
              "This project was saved by a newer Nettor (format version 2); this program reads up to version 1.");
    EXPECT_EQ(errorWith([](auto& j) { j["format"] = "something-else"; }), "This file is not a Nettor project.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["corners"][4] = 99; }),
              "Object 1 face 2 corner is out of range (99).");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["faceSizes"].erase(0); }),
              "Object 1: the face list does not match the corners.");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["objects"][0]["edgeCount"] = 13; }),
              "Object 1: the face list does not match the mesh (13 edges saved, 12 built).");
    EXPECT_EQ(errorWith([](auto& j) { j["unfolding"]["parts"][0]["faces"][0] = 1000; }),
              "Part 1 face 1 is out of range (1000).");
    EXPECT_EQ(errorWith([](auto& j) { j["layout"]["pieces"][0]["page"] = 0; }), "Piece 1 page is out of range (0).");
    EXPECT_EQ(errorWith([](auto& j) { j["model"]["textures"][0]["width"] = 3; }),
              "The texture's pixels do not match its size.");
    EXPECT_EQ(readProjectJson("{\"format\": \"nettor-project\", \"vers").error,
              "The project file is damaged: its contents are not valid JSON.");
}

TEST(ProjectReader, AStreamThatUnpacksTooLargeIsRefusedBeforeItIsHeld)
{
    std::string error;
    const std::string zeros = compressProjectText(std::string(1 << 20, ' '));
    EXPECT_FALSE(decompressProjectBytes(zeros, 1 << 16, error));
    EXPECT_EQ(error, "The project is larger than this program reads.");
    EXPECT_TRUE(decompressProjectBytes(zeros, 1 << 21, error));
}

TEST(ProjectReader, Base64KeepsEveryByteAndRefusesOtherText)
{
    std::vector<unsigned char> bytes;
    for (int n = 0; n < 300; ++n) {
        EXPECT_EQ(base64Decode(base64Encode(bytes)), bytes);
        bytes.push_back(static_cast<unsigned char>(n * 37));
    }
    EXPECT_FALSE(base64Decode("ab$d"));
    EXPECT_FALSE(base64Decode("abcde"));
}

} // namespace
} // namespace nettor
