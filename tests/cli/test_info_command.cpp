// nettor-cli info: the lines it prints, its messages and exit codes.
#include "cli/cli_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using nettor::test::runCli;

namespace {

std::string tempFile(const std::string& name, const std::string& content)
{
    const auto p = std::filesystem::temp_directory_path() / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
}

} // namespace

TEST(InfoCommand, PrintsTheModelSummaryInOrder)
{
    const auto r = runCli(std::string("info \"") + NETTOR_SAMPLES_DIR + "/cube.obj\"");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "objects: 1\n"
              "vertices: 8\n"
              "faces: 6\n"
              "edges: 12\n"
              "border edges: 0\n"
              "texture coordinates: yes\n"
              "bounds min: 0 0 0\n"
              "bounds max: 1 1 1\n");
    EXPECT_EQ(r.err, "");
}

TEST(InfoCommand, OpenSurfaceCountsBorderEdgesAndWarnsOnStandardError)
{
    // Two triangles of the same winding share an edge: a pairing warning.
    const std::string path = tempFile("nettor_cli_same_winding.obj",
                                      "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 1 2 4\n");
    const auto r = runCli("info \"" + path + "\"");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("faces: 2\n"), std::string::npos);
    EXPECT_NE(r.out.find("texture coordinates: no\n"), std::string::npos);
    EXPECT_NE(r.err.find("already defined"), std::string::npos) << r.err;
}

TEST(InfoCommand, FailuresPrintTheMessagesOfTheWindowAndExitOne)
{
    const auto missing = runCli("info /nonexistent/dir/model.obj");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("This file could not be read."), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const auto bad = runCli("info \"" + tempFile("nettor_cli_bad.obj", "v 0 0 0\nf 1 2 3\n") + "\"");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("This file could not be read."), std::string::npos);

    const auto other = runCli("info \"" + tempFile("nettor_cli_notes.txt", "hello") + "\"");
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_NE(other.err.find("Nettor can't read the specified file."), std::string::npos);
}

TEST(InfoCommand, HelpAndVersion)
{
    const auto help = runCli("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("info"), std::string::npos);
    const auto version = runCli("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.out.find("nettor-cli"), std::string::npos);
    const auto none = runCli("");
    EXPECT_NE(none.exitCode, 0);
}
