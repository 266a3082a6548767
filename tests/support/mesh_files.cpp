#include "support/mesh_files.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>

namespace nettor::test {

namespace {

std::vector<std::array<int, 3>> fans(const MeshSpec& spec)
{
    std::vector<std::array<int, 3>> out;
    for (const auto& f : spec.faces)
        for (std::size_t i = 1; i + 1 < f.size(); ++i) out.push_back({f[0], f[i], f[i + 1]});
    return out;
}

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putFloat(std::string& out, double d)
{
    const float f = static_cast<float>(d);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    put32(out, bits);
}

std::string vertexLines(const MeshSpec& spec)
{
    std::ostringstream s;
    s.precision(9);
    for (const Vec3& p : spec.vertices) s << p.x << " " << p.y << " " << p.z << "\n";
    return s.str();
}

std::string faceLines(const MeshSpec& spec)
{
    std::ostringstream s;
    for (const auto& f : spec.faces) {
        s << f.size();
        for (int i : f) s << " " << i;
        s << "\n";
    }
    return s.str();
}

} // namespace

std::string toStlAscii(const MeshSpec& spec)
{
    std::ostringstream s;
    s.precision(9);
    s << "solid nettor\n";
    for (const auto& t : fans(spec)) {
        s << "  facet normal 0 0 0\n    outer loop\n";
        for (int i : t) {
            const Vec3& p = spec.vertices.at(static_cast<std::size_t>(i));
            s << "      vertex " << p.x << " " << p.y << " " << p.z << "\n";
        }
        s << "    endloop\n  endfacet\n";
    }
    s << "endsolid nettor\n";
    return s.str();
}

std::string toStlBinary(const MeshSpec& spec)
{
    const auto triangles = fans(spec);
    std::string out(80, ' ');
    out.replace(0, 14, "binary nettor ");
    put32(out, static_cast<std::uint32_t>(triangles.size()));
    for (const auto& t : triangles) {
        for (int k = 0; k < 3; ++k) putFloat(out, 0.0);
        for (int i : t) {
            const Vec3& p = spec.vertices.at(static_cast<std::size_t>(i));
            putFloat(out, p.x);
            putFloat(out, p.y);
            putFloat(out, p.z);
        }
        out.append(2, '\0');
    }
    return out;
}

std::string toPly(const MeshSpec& spec)
{
    std::ostringstream s;
    s << "ply\nformat ascii 1.0\ncomment written by the tests\nelement vertex " << spec.vertices.size()
      << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << spec.faces.size()
      << "\nproperty list uchar int vertex_indices\nend_header\n"
      << vertexLines(spec) << faceLines(spec);
    return s.str();
}

std::string toOff(const MeshSpec& spec)
{
    std::ostringstream s;
    std::size_t edges = 0;
    for (const auto& f : spec.faces) edges += f.size();
    s << "OFF\n" << spec.vertices.size() << " " << spec.faces.size() << " " << edges / 2 << "\n"
      << vertexLines(spec) << faceLines(spec);
    return s.str();
}

} // namespace nettor::test
