#pragma once
// Models the engine benchmarks unfold: subdivided spheres, separate
// triangles, and the bumpy height field read from an OBJ file.
#include "model/mesh.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace nettor::bench {

using nettor::Model;
using nettor::Vec3;

inline Vec3 unit(const Vec3& v) { return v / nettor::length(v); }

// Icosahedron split levels times: 20 * 4^levels triangles on the unit sphere.
inline std::unique_ptr<Model> sphereModel(int levels)
{
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<Vec3> vs;
    for (Vec3 v : {Vec3{-1, t, 0}, Vec3{1, t, 0}, Vec3{-1, -t, 0}, Vec3{1, -t, 0}, Vec3{0, -1, t},
                   Vec3{0, 1, t}, Vec3{0, -1, -t}, Vec3{0, 1, -t}, Vec3{t, 0, -1}, Vec3{t, 0, 1},
                   Vec3{-t, 0, -1}, Vec3{-t, 0, 1}})
        vs.push_back(unit(v));
    std::vector<std::vector<int>> faces = {
        {0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<int, int>, int> middle;
        auto mid = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            auto it = middle.find(key);
            if (it != middle.end()) return it->second;
            vs.push_back(unit((vs[a] + vs[b]) / 2.0));
            return middle[key] = static_cast<int>(vs.size()) - 1;
        };
        std::vector<std::vector<int>> next;
        for (const auto& f : faces) {
            const int a = mid(f[0], f[1]), b = mid(f[1], f[2]), c = mid(f[2], f[0]);
            next.push_back({f[0], a, c});
            next.push_back({f[1], b, a});
            next.push_back({f[2], c, b});
            next.push_back({a, b, c});
        }
        faces = std::move(next);
    }
    auto model = std::make_unique<Model>();
    nettor::MeshObject* object = model->addObject();
    std::vector<nettor::Vertex*> vertices;
    int id = 1;
    for (const Vec3& p : vs) vertices.push_back(object->addVertex(p.x, p.y, p.z, id++));
    for (const auto& f : faces) {
        nettor::Face* face = object->addFace();
        for (int i : f) face->addCorner(vertices[static_cast<std::size_t>(i)]);
        face->finishFace();
    }
    model->buildAllEdges();
    return model;
}

// Separate triangles of random sizes: every face is a part of its own, so
// the time goes into arranging the parts on the sheet.
inline std::unique_ptr<Model> separateTriangles(int count)
{
    auto model = std::make_unique<Model>();
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) & 0xffff) / 65535.0;
    };
    int id = 1;
    for (int i = 0; i < count; ++i) {
        nettor::MeshObject* object = model->addObject();
        const double x = next() * 10, y = next() * 10, z = next() * 10, s = 0.2 + next() * 0.8;
        nettor::Vertex* a = object->addVertex(x, y, z, id++);
        nettor::Vertex* b = object->addVertex(x + s, y, z, id++);
        nettor::Vertex* c = object->addVertex(x, y + s * (0.5 + next()), z + 0.1, id++);
        nettor::Face* face = object->addFace();
        face->addCorner(a);
        face->addCorner(b);
        face->addCorner(c);
        face->finishFace();
    }
    model->buildAllEdges();
    return model;
}

// A bumpy height field of 250 x 200 quads, two triangles each (100,000
// triangles), written once as an OBJ file in the temporary folder: its path.
inline const std::string& heightField100kObj()
{
    static const std::string path = [] {
        const int columns = 250, rows = 200;
        std::ostringstream out;
        for (int j = 0; j <= rows; ++j)
            for (int i = 0; i <= columns; ++i)
                out << "v " << i * 0.1 << ' ' << std::sin(i * 0.15) * std::cos(j * 0.11) << ' ' << j * 0.1 << '\n';
        const int stride = columns + 1;
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < columns; ++i) {
                const int a = j * stride + i + 1, b = a + 1, c = a + stride, d = c + 1;
                out << "f " << a << ' ' << c << ' ' << b << '\n' << "f " << b << ' ' << c << ' ' << d << '\n';
            }
        const std::string p = (std::filesystem::temp_directory_path() / "nettor_bench_100k.obj").string();
        std::ofstream(p, std::ios::binary) << out.str();
        return p;
    }();
    return path;
}

} // namespace nettor::bench
