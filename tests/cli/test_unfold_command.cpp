// nettor-cli unfold: the summary lines, the JSON file and the failures.
#include "cli/cli_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

using nettor::test::runCli;

namespace {

const std::string kCube = std::string("\"") + NETTOR_SAMPLES_DIR + "/cube.obj\"";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string valueOf(const std::string& out, const std::string& key)
{
    for (const std::string& line : lines(out))
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "";
}

} // namespace

TEST(UnfoldCommand, PrintsTheSummaryOfACubeInOrder)
{
    const auto r = runCli("unfold " + kCube);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto ls = lines(r.out);
    const std::vector<std::string> keys = {"faces", "parts", "fold edges", "cut edges",
                                           "border edges", "sheet width", "sheet height",
                                           "pattern scale", "displayed scale", "seconds"};
    ASSERT_EQ(ls.size(), keys.size()) << r.out;
    for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(ls[i].rfind(keys[i] + ": ", 0), 0u) << ls[i];
    EXPECT_EQ(valueOf(r.out, "faces"), "6");
    EXPECT_EQ(valueOf(r.out, "parts"), "1");
    EXPECT_EQ(valueOf(r.out, "fold edges"), "5");
    EXPECT_EQ(valueOf(r.out, "cut edges"), "7");
    EXPECT_EQ(valueOf(r.out, "border edges"), "0");
    // The unit cube becomes the cube from -1 to 1: unitScale is 2.
    const double pattern = std::stod(valueOf(r.out, "pattern scale"));
    const double displayed = std::stod(valueOf(r.out, "displayed scale"));
    EXPECT_NEAR(displayed, pattern * 2.0, 1e-4 * pattern);
    const double w = std::stod(valueOf(r.out, "sheet width"));
    const double h = std::stod(valueOf(r.out, "sheet height"));
    EXPECT_NEAR(pattern, 0.9 * std::min(26.7 / h, 18 / w), 1e-4 * pattern);
    EXPECT_GE(std::stod(valueOf(r.out, "seconds")), 0.0);
    EXPECT_NE(r.err.find("All faces are unfolded."), std::string::npos);
}

TEST(UnfoldCommand, WritesTheWholeUnfoldingAsJson)
{
    const auto path = (std::filesystem::temp_directory_path() / "nettor_cli_unfold_cube.json").string();
    std::filesystem::remove(path);
    const auto r = runCli("unfold " + kCube + " --strategy 0 --json \"" + path + "\"");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(path);
    ASSERT_TRUE(in);
    const nlohmann::json j = nlohmann::json::parse(in);
    for (const char* key : {"unitScale", "patternScale", "displayedScale", "sheetWidth", "sheetHeight"})
        EXPECT_TRUE(j.at(key).is_number()) << key;
    EXPECT_DOUBLE_EQ(j["unitScale"].get<double>(), 2.0);
    EXPECT_DOUBLE_EQ(j["displayedScale"].get<double>(),
                     j["patternScale"].get<double>() * j["unitScale"].get<double>());

    ASSERT_EQ(j["parts"].size(), 1u);
    const auto& part = j["parts"][0];
    EXPECT_EQ(part["id"], 0);
    EXPECT_EQ(part["offset"].size(), 2u);
    std::set<int> placed;
    for (const auto& f : part["faces"]) placed.insert(f.get<int>());
    EXPECT_EQ(placed, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(part["faces"][0], 0);

    ASSERT_EQ(j["faces"].size(), 6u);
    for (const auto& f : j["faces"]) {
        EXPECT_EQ(f["part"], 0);
        ASSERT_EQ(f["corners"].size(), 4u);
        for (const auto& c : f["corners"]) {
            EXPECT_TRUE(c["vertex"].is_number_integer());
            ASSERT_EQ(c["position"].size(), 3u);
            for (const auto& x : c["position"]) EXPECT_LE(std::abs(x.get<double>()), 1.0 + 1e-12);
            ASSERT_EQ(c["point"].size(), 2u);
        }
    }
    // The start face's first corners: the origin and the x axis.
    EXPECT_EQ(j["faces"][0]["corners"][0]["point"][0], 0.0);
    EXPECT_EQ(j["faces"][0]["corners"][1]["point"][1], 0.0);

    ASSERT_EQ(j["edges"].size(), 12u);
    int folds = 0, cuts = 0;
    std::set<int> ids;
    for (const auto& e : j["edges"]) {
        const std::string state = e["state"];
        EXPECT_TRUE(state == "Fold" || state == "Cut") << state;
        folds += state == "Fold";
        cuts += state == "Cut";
        if (state == "Cut") ids.insert(e["edgeId"].get<int>());
        else EXPECT_EQ(e["edgeId"], -1);
        EXPECT_NEAR(e["foldAngle"].get<double>(), 90.0, 1e-6);
        EXPECT_EQ(e["isRidge"], true);
        EXPECT_DOUBLE_EQ(e["length"].get<double>(), 2.0);
        EXPECT_EQ(e["faces"].size(), 2u);
    }
    EXPECT_EQ(folds, 5);
    EXPECT_EQ(cuts, 7);
    EXPECT_EQ(ids, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(UnfoldCommand, OverlapCheckOffAndBadArguments)
{
    const auto off = runCli("unfold " + kCube + " --no-overlap-check --strategy 2");
    EXPECT_EQ(off.exitCode, 0) << off.err;
    EXPECT_EQ(valueOf(off.out, "parts"), "1");

    const auto missing = runCli("unfold /nonexistent/dir/model.obj");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("This file could not be read."), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const auto strategy = runCli("unfold " + kCube + " --strategy 3");
    EXPECT_NE(strategy.exitCode, 0);
    EXPECT_EQ(strategy.out.find("faces:"), std::string::npos);
}
