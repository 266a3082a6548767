// nettor-cli info on files read through Assimp: it counts the faces Assimp
// itself finds in them, on one closed surface.
#include "cli/cli_runner.h"
#include "support/mesh_files.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace nettor::test;

namespace {

std::string tempFile(const std::string& name, const std::string& content)
{
    const auto p = std::filesystem::temp_directory_path() / ("nettor_cli_" + name);
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
}

// The number of faces Assimp reads from the file, on its own.
unsigned assimpFaceCount(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    if (!scene) return 0;
    unsigned faces = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) faces += scene->mMeshes[i]->mNumFaces;
    return faces;
}

} // namespace

TEST(InfoImported, FaceCountAgreesWithAssimp)
{
    const nettor::test::MeshSpec cube = boxSpec();
    const nettor::test::MeshSpec prism = lPrismSpec();
    const std::pair<std::string, std::string> files[] = {
        {"cube.stl", toStlAscii(cube)}, {"cube_binary.stl", toStlBinary(cube)}, {"cube.ply", toPly(cube)},
        {"cube.off", toOff(cube)},      {"prism.ply", toPly(prism)},           {"prism.stl", toStlBinary(prism)},
    };
    for (const auto& [name, contents] : files) {
        SCOPED_TRACE(name);
        const std::string path = tempFile(name, contents);
        const unsigned expected = assimpFaceCount(path);
        ASSERT_GT(expected, 0u);
        const auto r = runCli("info \"" + path + "\"");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_NE(r.out.find("\nfaces: " + std::to_string(expected) + "\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("objects: 1\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("border edges: 0\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
    const auto bad = runCli("info \"" + tempFile("bad.off", "OFF\n8 6 0\n0 0 0\n1 0\n") + "\"");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("This file could not be read."), std::string::npos) << bad.err;
}
