// Twin pairing of an object's half-edges.
//
// The pairing is defined as a sequential walk: half-edges are visited face by
// face along its outline, each one is entered under
// its start and end vertex, and it is paired with the first earlier half-edge
// that runs the other way unless that one was paired already. Worked through,
// that walk pairs, for each pair of vertices, the first half-edge a->b with
// the first half-edge b->a, at the moment the later of the two is visited;
// every other half-edge between them stays on the boundary. This file
// computes exactly that with sorted buckets instead of nested maps, and
// writes the walk's warnings at the same points of the visit.
#include "model/diagnostics.h"
#include "model/mesh.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <sstream>
#include <vector>

namespace nettor {

namespace {

std::string vertexText(const Vertex* v)
{
    std::ostringstream s; // default formatting: general, six significant digits
    s << "(" << v->position.x << "," << v->position.y << "," << v->position.z << ")";
    return s.str();
}

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

struct Visit {
    HalfEdge* h;
    std::uint32_t from; // bucket of the start vertex
    std::uint32_t to;   // bucket of the end vertex
};

} // namespace

void MeshObject::buildEdges()
{
    std::vector<Visit> visits;
    std::size_t total = 0;
    for (Face* f : faces) total += f->outerLoop.halfEdges.size();
    if (total >= kNone) return; // beyond any model this program can hold
    visits.reserve(total);
    auto visitLoop = [&](Loop& loop) {
        for (HalfEdge* h : loop.halfEdges) visits.push_back({h, 0, 0});
    };
    for (Face* f : faces) visitLoop(f->outerLoop);
    const std::uint32_t n = static_cast<std::uint32_t>(visits.size());
    if (n == 0) return;

    // Vertex buckets: serial numbers, made dense.
    std::uint64_t lo = std::numeric_limits<std::uint64_t>::max(), hi = 0;
    for (const Visit& v : visits) {
        lo = std::min(lo, v.h->origin->serial);
        hi = std::max(hi, v.h->origin->serial);
    }
    std::uint32_t bucketCount;
    if (hi - lo <= 4ull * n + 4096) {
        for (Visit& v : visits) {
            v.from = static_cast<std::uint32_t>(v.h->origin->serial - lo);
            v.to = static_cast<std::uint32_t>(v.h->next->origin->serial - lo);
        }
        bucketCount = static_cast<std::uint32_t>(hi - lo + 1);
    } else {
        std::vector<std::uint64_t> serials;
        serials.reserve(n);
        for (const Visit& v : visits) serials.push_back(v.h->origin->serial);
        std::sort(serials.begin(), serials.end());
        serials.erase(std::unique(serials.begin(), serials.end()), serials.end());
        auto rank = [&](std::uint64_t s) {
            return static_cast<std::uint32_t>(
                std::lower_bound(serials.begin(), serials.end(), s) - serials.begin());
        };
        for (Visit& v : visits) {
            v.from = rank(v.h->origin->serial);
            v.to = rank(v.h->next->origin->serial);
        }
        bucketCount = static_cast<std::uint32_t>(serials.size());
    }

    // Bucket the visits by start vertex (stable, so visit order is kept),
    // then order each bucket by end vertex.
    std::vector<std::uint32_t> start(bucketCount + 1, 0);
    for (const Visit& v : visits) ++start[v.from + 1];
    for (std::uint32_t b = 0; b < bucketCount; ++b) start[b + 1] += start[b];
    std::vector<std::uint32_t> sorted(n);
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::uint32_t i = 0; i < n; ++i) sorted[fill[visits[i].from]++] = i;
    }
    for (std::uint32_t b = 0; b < bucketCount; ++b) {
        auto first = sorted.begin() + start[b], last = sorted.begin() + start[b + 1];
        const auto byEnd = [&](std::uint32_t x, std::uint32_t y) { return visits[x].to < visits[y].to; };
        if (last - first > 32) {
            std::stable_sort(first, last, byEnd);
        } else {
            // A vertex has few sides: a stable insertion sort without allocation.
            for (auto it = first + 1; it < last; ++it) {
                const std::uint32_t x = *it;
                auto hole = it;
                while (hole > first && byEnd(x, *(hole - 1))) {
                    *hole = *(hole - 1);
                    --hole;
                }
                *hole = x;
            }
        }
    }

    // First and second visit of every directed vertex pair, stored at the
    // position of each member of its run.
    std::vector<std::uint32_t> runFirst(n), runSecond(n);
    for (std::uint32_t p = 0; p < n;) {
        std::uint32_t q = p + 1;
        while (q < n && visits[sorted[q]].from == visits[sorted[p]].from &&
               visits[sorted[q]].to == visits[sorted[p]].to)
            ++q;
        const std::uint32_t f = sorted[p];
        const std::uint32_t s = q - p > 1 ? sorted[p + 1] : kNone;
        for (std::uint32_t k = p; k < q; ++k) {
            runFirst[sorted[k]] = f;
            runSecond[sorted[k]] = s;
        }
        p = q;
    }
    // Position in `sorted` of some visit from `from` to `to`, or kNone.
    auto findRun = [&](std::uint32_t from, std::uint32_t to) -> std::uint32_t {
        auto first = sorted.begin() + start[from], last = sorted.begin() + start[from + 1];
        auto it = std::lower_bound(first, last, to, [&](std::uint32_t x, std::uint32_t key) {
            return visits[x].to < key;
        });
        if (it == last || visits[*it].to != to) return kNone;
        return *it;
    };

    std::vector<std::uint8_t> paired(n, 0);
    edges.reserve(edges.size() + n / 2 + 1);
    for (std::uint32_t i = 0; i < n; ++i) {
        const Visit& v = visits[i];
        const bool firstOfItsPair = runFirst[i] == i;
        if (!firstOfItsPair) {
            diagnostics() << "Warning: the halfedge between vertex(" << vertexText(v.h->origin)
                          << ") and vertex (" << vertexText(v.h->next->origin)
                          << " have been already defined.\n";
        }
        if (v.from == v.to) continue; // a zero-length side never has a twin
        const std::uint32_t reverse = findRun(v.to, v.from);
        if (reverse == kNone) continue;
        const std::uint32_t earlier = runFirst[reverse];
        if (firstOfItsPair && earlier < i) {
            HalfEdge* h = v.h;
            HalfEdge* e = visits[earlier].h;
            h->twin = e;
            e->twin = h;
            Edge& edge = edgeStore_.emplace_back();
            edge.index = model->nextEdgeIndex++;
            edge.halfEdge1 = h;
            edge.halfEdge2 = e;
            edge.vertex1 = h->origin;
            edge.vertex2 = e->origin;
            h->edge = &edge;
            e->edge = &edge;
            edges.push_back(&edge);
            paired[i] = paired[earlier] = 1;
        }
        const std::uint32_t second = runSecond[reverse];
        if (second != kNone && second < i) {
            diagnostics() << "Warning: two or more halfedges are assigned "
                          << "to one halfedge" << std::endl;
        }
    }

    // Boundary edges, ordered by start vertex, end vertex and visit.
    std::vector<std::uint32_t> lone;
    for (std::uint32_t i = 0; i < n; ++i)
        if (!paired[i]) lone.push_back(i);
    std::sort(lone.begin(), lone.end(), [&](std::uint32_t x, std::uint32_t y) {
        const HalfEdge* a = visits[x].h;
        const HalfEdge* b = visits[y].h;
        if (a->origin->serial != b->origin->serial) return a->origin->serial < b->origin->serial;
        if (a->next->origin->serial != b->next->origin->serial)
            return a->next->origin->serial < b->next->origin->serial;
        return x < y;
    });
    for (std::uint32_t i : lone) {
        HalfEdge* h = visits[i].h;
        Edge& edge = edgeStore_.emplace_back();
        edge.index = model->nextEdgeIndex++;
        edge.halfEdge1 = h;
        edge.vertex1 = h->origin;
        edge.vertex2 = h->next->origin;
        h->edge = &edge;
        edges.push_back(&edge);
    }
}

} // namespace nettor
