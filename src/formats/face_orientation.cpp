// The orientation search settles faces in a fixed order: each step takes the
// first unsettled face next to the settled ones and compares it with its
// first settled neighbour. Stated as a search that restarts from the first
// face after every step, it costs several powers of the face count; here the
// unsettled neighbours wait in a queue ordered by face number, and each
// settled face keeps, per side, the first position of that side in its loop,
// so the same faces are reversed in the same order in near-linear time.
#include "formats/face_orientation.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <vector>

namespace nettor {

void reverseFace(Face& face)
{
    face.plane = Plane{-face.plane.a, -face.plane.b, -face.plane.c, -face.plane.d};
    auto& hs = face.outerLoop.halfEdges;
    std::vector<Vertex*> nextOrigin;
    nextOrigin.reserve(hs.size());
    for (HalfEdge* h : hs) nextOrigin.push_back(h->next ? h->next->origin : h->origin);
    for (std::size_t i = 0; i < hs.size(); ++i) {
        hs[i]->origin = nextOrigin[i];
        std::swap(hs[i]->next, hs[i]->prev);
    }
    std::reverse(hs.begin(), hs.end());
}

namespace {

struct PairHash {
    std::size_t operator()(const std::pair<const Vertex*, const Vertex*>& p) const
    {
        const auto a = reinterpret_cast<std::uintptr_t>(p.first);
        const auto b = reinterpret_cast<std::uintptr_t>(p.second);
        std::uint64_t h = a * 0x9E3779B97F4A7C15ull;
        h ^= b + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

} // namespace

void orientConnectedFaces(MeshObject& object)
{
    const auto& faces = object.faces;
    const std::size_t faceCount = faces.size();
    if (faceCount == 0 || faceCount >= kNone) return;

    // Sides: unordered vertex pairs, numbered densely. sidesOf[f] lists the
    // side of every half-edge of face f in its current loop order.
    std::unordered_map<std::pair<const Vertex*, const Vertex*>, std::uint32_t, PairHash> sideIds;
    std::vector<std::vector<std::uint32_t>> sidesOf(faceCount);
    std::vector<std::vector<std::uint32_t>> facesOn; // per side, ascending face numbers
    for (std::size_t f = 0; f < faceCount; ++f) {
        for (HalfEdge* h : faces[f]->outerLoop.halfEdges) {
            const Vertex* a = h->origin;
            const Vertex* b = h->next ? h->next->origin : h->origin;
            if (std::less<const Vertex*>()(b, a)) std::swap(a, b);
            auto [it, added] = sideIds.try_emplace({a, b}, static_cast<std::uint32_t>(facesOn.size()));
            if (added) facesOn.emplace_back();
            auto& on = facesOn[it->second];
            if (on.empty() || on.back() != f) on.push_back(static_cast<std::uint32_t>(f));
            sidesOf[f].push_back(it->second);
        }
    }
    sideIds.clear();

    const std::size_t sideCount = facesOn.size();
    std::vector<std::uint8_t> settled(faceCount, 0);
    std::vector<std::uint32_t> firstSettled(sideCount, kNone); // lowest settled face on the side
    std::vector<std::uint8_t> queued(sideCount, 0);            // its faces were queued already
    // (settled face, side) -> first position of the side in the face's loop
    std::unordered_map<std::uint64_t, std::uint32_t> position;
    auto key = [](std::uint32_t face, std::uint32_t side) { return (std::uint64_t{face} << 32) | side; };
    std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> waiting;

    auto settle = [&](std::uint32_t f) {
        settled[f] = 1;
        const auto& sides = sidesOf[f];
        for (std::uint32_t q = 0; q < sides.size(); ++q) {
            const std::uint32_t s = sides[q];
            position.try_emplace(key(f, s), q);
            firstSettled[s] = std::min(firstSettled[s], f);
            if (!queued[s]) {
                queued[s] = 1;
                for (std::uint32_t g : facesOn[s]) {
                    if (!settled[g]) waiting.push(g);
                }
            }
        }
    };

    for (std::uint32_t start = 0; start < faceCount; ++start) {
        if (settled[start]) continue;
        settle(start);
        while (!waiting.empty()) {
            const std::uint32_t h = waiting.top();
            waiting.pop();
            if (settled[h]) continue;

            auto& sides = sidesOf[h];
            std::uint32_t j = kNone;
            for (std::uint32_t s : sides) j = std::min(j, firstSettled[s]);
            // Every queued face shares a side with a settled one.
            if (j != kNone) {
                const auto& hs = faces[h]->outerLoop.halfEdges;
                const auto& js = faces[j]->outerLoop.halfEdges;
                for (std::size_t p = 0; p < sides.size(); ++p) {
                    auto it = position.find(key(j, sides[p]));
                    if (it == position.end()) continue;
                    const HalfEdge* k = hs[p];
                    const HalfEdge* l = js[it->second];
                    const bool opposite = k->origin == l->next->origin && k->next->origin == l->origin;
                    if (!opposite) {
                        reverseFace(*faces[h]);
                        std::reverse(sides.begin(), sides.end());
                    }
                    break;
                }
            }
            settle(h);
        }
    }
}

} // namespace nettor
