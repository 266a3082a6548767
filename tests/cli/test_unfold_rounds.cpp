// nettor-cli unfold --fewest-parts: the rounds a search made, given back
// with --rounds, repeat it byte for byte.
#include "cli/cli_runner.h"
#include "support/shape_generators.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using nettor::test::runCli;

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of the summary line "key: value", or "" without that line.
std::string summaryValue(const std::string& out, const std::string& key)
{
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "";
}

} // namespace

TEST(UnfoldRounds, TheRoundsOfATimedSearchRepeatItsJson)
{
    const auto dir = std::filesystem::temp_directory_path() / "nettor_cli_unfold_rounds";
    std::filesystem::create_directories(dir);
    std::mt19937 rng(20);
    {
        std::ofstream obj(dir / "field.obj");
        obj << nettor::test::toObjText(nettor::test::closedHeightFieldSpec(rng, 20));
    }
    const std::string model = "\"" + (dir / "field.obj").string() + "\"";
    const std::string timedJson = (dir / "timed.json").string(), repeatedJson = (dir / "repeated.json").string();

    const auto timed =
        runCli("unfold " + model + " --fewest-parts --time-limit 0.1 --seed 3 --json \"" + timedJson + "\"");
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    const std::string rounds = summaryValue(timed.out, "search rounds");
    ASSERT_FALSE(rounds.empty()) << timed.out;
    EXPECT_GE(std::stoi(rounds), 1);

    const auto repeated = runCli("unfold " + model + " --fewest-parts --rounds " + rounds +
                                 " --seed 3 --json \"" + repeatedJson + "\"");
    ASSERT_EQ(repeated.exitCode, 0) << repeated.err;
    EXPECT_EQ(summaryValue(repeated.out, "search rounds"), rounds);
    EXPECT_EQ(summaryValue(repeated.out, "parts"), summaryValue(timed.out, "parts"));
    const std::string json = readFile(timedJson);
    EXPECT_FALSE(json.empty());
    EXPECT_TRUE(json == readFile(repeatedJson)) << "the JSON of " << rounds << " rounds differs";

    // Without the search there are no rounds to tell, and none to give.
    const auto greedy = runCli("unfold " + model);
    ASSERT_EQ(greedy.exitCode, 0) << greedy.err;
    EXPECT_EQ(summaryValue(greedy.out, "search rounds"), "");
    const auto alone = runCli("unfold " + model + " --rounds 3");
    EXPECT_NE(alone.exitCode, 0);
    EXPECT_NE(alone.err.find("--fewest-parts"), std::string::npos) << alone.err;
    EXPECT_NE(runCli("unfold " + model + " --fewest-parts --rounds 0").exitCode, 0);
    std::filesystem::remove_all(dir);
}
