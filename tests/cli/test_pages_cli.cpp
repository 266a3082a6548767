// nettor-cli unfold --layout pages: the summary, the JSON additions, the
// page files, and bad settings that write nothing.
#include "cli/cli_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>

using nettor::test::runCli;

namespace {

const std::string kSamples = std::string(NETTOR_SAMPLES_DIR);

std::string fresh(const std::string& name)
{
    const std::string dir = testing::TempDir() + "/pages_cli_" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

int files(const std::string& dir)
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
}

TEST(PagesCli, SummaryJsonAndPageFiles)
{
    const std::string dir = fresh("house");
    const auto r = runCli("unfold " + kSamples + "/house.obj --layout pages --paper A5 --landscape --margin 8 --size 120"
                          " --json " + dir + "/h.json --svg " + dir + "/h.svg --eps " + dir + "/h.eps --pdf " + dir + "/h.pdf");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(dir + "/h.json");
    const auto json = nlohmann::json::parse(in);
    const auto& layout = json.at("layout");
    EXPECT_EQ(layout.at("mode"), "pages");
    EXPECT_EQ(layout.at("paperMm"), nlohmann::json({210.0, 148.0}));
    EXPECT_EQ(layout.at("marginMm"), 8.0);
    const int pages = layout.at("pages");
    ASSERT_GE(pages, 1);
    EXPECT_NE(r.out.find("pages: " + std::to_string(pages) + "\n"), std::string::npos) << r.out;
    for (const char* line : {"parts split: ", "flaps moved: ", "flaps shortened: ", "flaps left out: "})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    // The finished size: the longest side of the box, normalised to 2 units.
    EXPECT_NEAR(layout.at("mmPerUnit").get<double>() * 2.0, 120.0, 1e-9);
    for (int p = 1; p <= pages; ++p) {
        EXPECT_TRUE(std::filesystem::exists(dir + "/h-" + std::to_string(p) + ".svg"));
        EXPECT_TRUE(std::filesystem::exists(dir + "/h-" + std::to_string(p) + ".eps"));
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/h-" + std::to_string(pages + 1) + ".svg"));
    EXPECT_TRUE(std::filesystem::exists(dir + "/h.pdf"));
    // Each part's placement and outline, each corner on its page: corners
    // inside the outline's box and the margins.
    for (const auto& part : json.at("parts")) {
        ASSERT_TRUE(part.contains("page"));
        ASSERT_TRUE(part.contains("rotationDeg"));
        ASSERT_TRUE(part.contains("offsetMm"));
        ASSERT_GE(part.at("outlineMm").size(), 3u);
    }
    for (const auto& face : json.at("faces"))
        for (const auto& corner : face.at("corners")) {
            const double x = corner.at("pageMm")[0], y = corner.at("pageMm")[1];
            EXPECT_GE(x, 8.0 - 1e-9);
            EXPECT_LE(x, 210.0 - 8.0 + 1e-9);
            EXPECT_GE(y, 8.0 - 1e-9);
            EXPECT_LE(y, 148.0 - 8.0 + 1e-9);
        }
}

TEST(PagesCli, BadSettingsAndImpossibleLayoutsWriteNothing)
{
    const std::string model = kSamples + "/cube.obj";
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"--paper 5x5", "The paper is smaller than 10 mm"},
        {"--paper 3000x400", "The paper is larger than 2 m"},
        {"--paper B7", "Unknown paper"},
        {"--margin 150", "leaves no printable area"},
        {"--margin -2", "margin"},
        {"--size 0", "The finished size must be a positive number"},
        {"--size -30", "The finished size must be a positive number"},
        {"--size 1e300", "too large"},
        {"--scale 0", "The scale must be a positive number"},
        {"--size 900", "The largest finished size that fits on A4 is"},
        {"--paper A5 --margin 70 --size 500000", "pages; at most 10000 are allowed"},
    };
    for (const auto& c : cases) {
        const std::string dir = fresh("bad");
        const auto r = runCli("unfold " + model + " --layout pages " + c.arguments + " --json " + dir + "/o.json --pdf " +
                              dir + "/o.pdf --svg " + dir + "/o.svg --eps " + dir + "/o.eps");
        EXPECT_EQ(r.exitCode, 1) << c.arguments;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
        EXPECT_EQ(files(dir), 0) << c.arguments;
    }
    // --size and --scale exclude each other.
    EXPECT_NE(runCli("unfold " + model + " --layout pages --size 100 --scale 2").exitCode, 0);
}

} // namespace
