#include "support/shape_generators.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace nettor::test {

namespace {
constexpr double kPi = 3.14159265358979323846;

Vec3 unit(const Vec3& v) { return v / length(v); }
} // namespace

MeshSpec randomConvexSpec(std::mt19937& rng, int pointCount)
{
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_real_distribution<double> axis(0.5, 2.0);
    const Vec3 radii{axis(rng), axis(rng), axis(rng)};
    MeshSpec s;
    for (int i = 0; i < pointCount; ++i) {
        const Vec3 d = unit({normal(rng), normal(rng), normal(rng)});
        s.vertices.push_back({d.x * radii.x, d.y * radii.y, d.z * radii.z});
    }
    // Every point lies on the hull; a triangle is a hull face when all other
    // points lie behind its plane.
    const int n = pointCount;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int k = j + 1; k < n; ++k) {
                const Vec3& a = s.vertices[i];
                const Vec3 nrm = cross(s.vertices[j] - a, s.vertices[k] - a);
                int above = 0, below = 0;
                for (int m = 0; m < n && (above == 0 || below == 0); ++m) {
                    if (m == i || m == j || m == k) continue;
                    const double side = dot(nrm, s.vertices[m] - a);
                    (side > 0 ? above : below)++;
                }
                if (above == 0) s.faces.push_back({i, j, k});
                else if (below == 0) s.faces.push_back({i, k, j});
            }
    return s;
}

MeshSpec subdividedSphereSpec(int levels)
{
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    MeshSpec s;
    for (Vec3 v : {Vec3{-1, t, 0}, Vec3{1, t, 0}, Vec3{-1, -t, 0}, Vec3{1, -t, 0}, Vec3{0, -1, t},
                   Vec3{0, 1, t}, Vec3{0, -1, -t}, Vec3{0, 1, -t}, Vec3{t, 0, -1}, Vec3{t, 0, 1},
                   Vec3{-t, 0, -1}, Vec3{-t, 0, 1}})
        s.vertices.push_back(unit(v));
    s.faces = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
               {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
               {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<int, int>, int> middle;
        auto mid = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            auto it = middle.find(key);
            if (it != middle.end()) return it->second;
            s.vertices.push_back(unit((s.vertices[a] + s.vertices[b]) / 2.0));
            const int index = static_cast<int>(s.vertices.size()) - 1;
            middle.emplace(key, index);
            return index;
        };
        std::vector<std::vector<int>> faces;
        for (const auto& f : s.faces) {
            const int a = mid(f[0], f[1]), b = mid(f[1], f[2]), c = mid(f[2], f[0]);
            faces.push_back({f[0], a, c});
            faces.push_back({f[1], b, a});
            faces.push_back({f[2], c, b});
            faces.push_back({a, b, c});
        }
        s.faces = std::move(faces);
    }
    return s;
}

MeshSpec torusSpec(int rings, int segments, double major, double minor)
{
    MeshSpec s;
    for (int i = 0; i < rings; ++i) {
        const double u = 2 * kPi * i / rings;
        for (int j = 0; j < segments; ++j) {
            const double v = 2 * kPi * j / segments;
            const double r = major + minor * std::cos(v);
            s.vertices.push_back({r * std::cos(u), r * std::sin(u), minor * std::sin(v)});
        }
    }
    auto at = [&](int i, int j) { return (i % rings) * segments + (j % segments); };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j)
            s.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
    return s;
}

MeshSpec bumpyHeightFieldSpec(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> place(0.0, 1.0), height(-0.3, 0.3);
    struct Bump {
        double x, y, h;
    };
    std::vector<Bump> bumps;
    for (int i = 0; i < 5; ++i) bumps.push_back({place(rng), place(rng), height(rng)});
    MeshSpec s;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double x = static_cast<double>(i) / n, y = static_cast<double>(j) / n;
            double z = 0;
            for (const Bump& b : bumps)
                z += b.h * std::exp(-((x - b.x) * (x - b.x) + (y - b.y) * (y - b.y)) * 20.0);
            s.vertices.push_back({x, y, z});
        }
    auto at = [&](int i, int j) { return i * (n + 1) + j; };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            s.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            s.faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    return s;
}

MeshSpec starPrismSpec(std::mt19937& rng, int points)
{
    std::uniform_real_distribution<double> inner(0.3, 0.6), depth(0.3, 1.5);
    const double h = depth(rng);
    // Inner (reflex) corner first, then alternating tips and inner corners.
    std::vector<std::pair<double, double>> outline;
    for (int i = 0; i < 2 * points; ++i) {
        const double angle = kPi * i / points;
        const double r = i % 2 == 0 ? inner(rng) : 1.0;
        outline.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    return prismSpec(outline, h, 0);
}

MeshSpec combPrismSpec(std::mt19937& rng, int teeth)
{
    std::uniform_real_distribution<double> gap(0.3, 1.0), tooth(0.8, 3.0), bar(0.3, 0.8), depth(0.3, 1.5);
    const double toothWidth = 0.5, b = bar(rng), h = depth(rng);
    std::vector<double> left; // the left side of each tooth
    double x = 0.0;
    for (int i = 0; i < teeth; ++i) {
        left.push_back(x);
        x += toothWidth + gap(rng);
    }
    const double width = left.back() + toothWidth;
    // Counter-clockwise: along the bar's underside, then up and down the
    // teeth from right to left.
    std::vector<std::pair<double, double>> outline = {{0.0, 0.0}, {width, 0.0}};
    for (int i = teeth - 1; i >= 0; --i) {
        const double top = b + tooth(rng);
        const double l = left[static_cast<std::size_t>(i)];
        if (i != teeth - 1) outline.push_back({l + toothWidth, b});
        outline.push_back({l + toothWidth, top});
        outline.push_back({l, top});
        if (i != 0) outline.push_back({l, b});
    }
    std::uniform_int_distribution<int> first(0, static_cast<int>(outline.size()) - 1);
    return prismSpec(outline, h, first(rng));
}

MeshSpec closedHeightFieldSpec(std::mt19937& rng, int n)
{
    MeshSpec s = bumpyHeightFieldSpec(rng, n);
    auto at = [&](int i, int j) { return i * (n + 1) + j; };
    // The border of the grid counter-clockwise seen from above.
    std::vector<int> ring;
    for (int i = 0; i < n; ++i) ring.push_back(at(i, 0));
    for (int j = 0; j < n; ++j) ring.push_back(at(n, j));
    for (int i = n; i > 0; --i) ring.push_back(at(i, n));
    for (int j = n; j > 0; --j) ring.push_back(at(0, j));
    double low = 0.0;
    for (const Vec3& p : s.vertices) low = std::min(low, p.z);
    const int base = static_cast<int>(s.vertices.size());
    for (int top : ring) {
        const Vec3& p = s.vertices[static_cast<std::size_t>(top)];
        s.vertices.push_back({p.x, p.y, low - 0.3});
    }
    const int m = static_cast<int>(ring.size());
    for (int k = 0; k < m; ++k) {
        const int next = (k + 1) % m;
        s.faces.push_back({base + k, base + next, ring[static_cast<std::size_t>(next)],
                           ring[static_cast<std::size_t>(k)]});
    }
    // The flat bottom: a fan of triangles around a middle corner, whose
    // angles add up to a full turn.
    const int middle = static_cast<int>(s.vertices.size());
    s.vertices.push_back({0.5, 0.5, low - 0.3});
    for (int k = 0; k < m; ++k) s.faces.push_back({middle, base + (k + 1) % m, base + k});
    return s;
}

MeshSpec translated(MeshSpec spec, Vec3 offset)
{
    for (Vec3& v : spec.vertices) v = v + offset;
    return spec;
}

} // namespace nettor::test
