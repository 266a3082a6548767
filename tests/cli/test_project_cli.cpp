// nettor-cli with projects: unfold --project, export and info.
#include "cli/cli_runner.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>
#include <fstream>
#include <sstream>

namespace nettor::test {
namespace {

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every sample in both layouts: export writes what unfold wrote, byte for byte.
TEST(ProjectCli, ExportWritesWhatUnfoldWroteWithoutUnfoldingAgain)
{
    const std::string dir = std::filesystem::path(writeTempFile("x", "")).parent_path().string();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NETTOR_SAMPLES_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".mtl" || extension == ".png" || extension == ".jpg" ||
            extension == ".py")
            continue; // the models, also those in folders with their materials and images
        for (const std::string layout : {"sheet", "pages"}) {
            const std::string base = dir + "/" + entry.path().stem().string() + "-" + layout;
            SCOPED_TRACE(base);
            const std::string outputs = " --json '" + base + ".json' --eps '" + base + ".eps' --pdf '" + base +
                                        ".pdf' --svg '" + base + ".svg' --obj '" + base + ".obj'";
            const CliResult unfolded = runCli("unfold '" + entry.path().string() + "' --layout " + layout +
                                              " --size 120 --project '" + base + ".nettor'" + outputs);
            ASSERT_EQ(unfolded.exitCode, 0) << unfolded.err;
            std::vector<std::string> first;
            for (const auto& file : std::filesystem::directory_iterator(dir))
                if (file.path().string().rfind(base + ".", 0) == 0 || file.path().string().rfind(base + "-", 0) == 0)
                    first.push_back(file.path().string());
            std::map<std::string, std::string> written;
            for (const std::string& path : first)
                if (path.find(".nettor") == std::string::npos) written[path] = contentsOf(path);
            for (const auto& [path, bytes] : written) std::filesystem::remove(path);

            const CliResult exported = runCli("export '" + base + ".nettor'" + outputs);
            ASSERT_EQ(exported.exitCode, 0) << exported.err;
            EXPECT_EQ(exported.out, "");
            ASSERT_GE(written.size(), 5u);
            for (const auto& [path, bytes] : written) EXPECT_TRUE(contentsOf(path) == bytes) << path;
        }
    }
}

TEST(ProjectCli, InfoDescribesAProjectAndDamageIsReported)
{
    const std::string project = writeTempFile("box.nettor", "");
    const std::string model = writeTempFile("box.obj", toObjText(boxSpec()));
    ASSERT_EQ(runCli("unfold '" + model + "' --layout pages --size 100 --project '" + project + "'").exitCode, 0);
    const CliResult info = runCli("info '" + project + "'");
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Faces: 6\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Unfolding: finished"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Layout: pages, 3 page(s) of A4, 4 pieces\n"), std::string::npos) << info.out;

    const std::string bytes = contentsOf(project);
    const std::string cut = writeTempFile("cut.nettor", bytes.substr(0, bytes.size() - 7));
    for (const std::string& command : std::vector<std::string>{"info '" + cut + "'", "export '" + cut + "' --json /dev/null"}) {
        const CliResult damaged = runCli(command);
        EXPECT_EQ(damaged.exitCode, 1);
        EXPECT_NE(damaged.err.find("The project file is cut short."), std::string::npos) << damaged.err;
    }
}

} // namespace
} // namespace nettor::test
