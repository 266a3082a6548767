#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace nettor::test {

std::unique_ptr<Model> buildModel(const std::vector<MeshSpec>& specs)
{
    auto model = std::make_unique<Model>();
    int id = 1;
    for (const MeshSpec& spec : specs) {
        MeshObject* object = model->addObject();
        std::vector<Vertex*> vs;
        for (const Vec3& p : spec.vertices) vs.push_back(object->addVertex(p.x, p.y, p.z, id++));
        for (const auto& face : spec.faces) {
            Face* f = object->addFace();
            for (int i : face) f->addCorner(vs.at(static_cast<std::size_t>(i)));
            f->finishFace();
        }
    }
    model->buildAllEdges();
    return model;
}

std::unique_ptr<Model> buildModel(const MeshSpec& spec) { return buildModel(std::vector{spec}); }

MeshSpec boxSpec(Vec3 a, Vec3 b)
{
    MeshSpec s;
    s.vertices = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z},
                  {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}};
    s.faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    return s;
}

MeshSpec prismSpec(const std::vector<std::pair<double, double>>& outline, double height,
                   int firstBottomCorner)
{
    MeshSpec s;
    const int n = static_cast<int>(outline.size());
    for (auto [x, y] : outline) s.vertices.push_back({x, y, 0});
    for (auto [x, y] : outline) s.vertices.push_back({x, y, height});
    // The bottom runs the other way round, so that it faces down.
    std::vector<int> bottom, top;
    for (int k = 0; k < n; ++k) bottom.push_back(((firstBottomCorner - k) % n + n) % n);
    for (int i = 0; i < n; ++i) top.push_back(n + i);
    s.faces.push_back(bottom);
    s.faces.push_back(top);
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        s.faces.push_back({i, j, n + j, n + i});
    }
    return s;
}

MeshSpec lPrismSpec()
{
    // L outline in the xy plane, counter-clockwise, extruded along z from 0 to 1.
    const std::vector<std::pair<double, double>> outline = {{0, 0}, {2, 0}, {2, 1},
                                                            {1, 1}, {1, 2}, {0, 2}};
    return prismSpec(outline, 1.0, static_cast<int>(outline.size()) - 1);
}

std::string toObjText(const MeshSpec& spec)
{
    std::ostringstream out;
    out.precision(17);
    for (const Vec3& p : spec.vertices) out << "v " << p.x << " " << p.y << " " << p.z << "\n";
    for (const auto& face : spec.faces) {
        out << "f";
        for (int i : face) out << " " << (i + 1);
        out << "\n";
    }
    return out.str();
}

std::string writeTempFile(const std::string& name, const std::string& contents)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "nettor-tests";
    if (info) dir /= std::string(info->test_suite_name()) + "." + info->name();
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
}

} // namespace nettor::test
