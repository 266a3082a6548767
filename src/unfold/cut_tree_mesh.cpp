#include "unfold/cut_tree_mesh.h"

#include "model/mesh.h"
#include "unfold/update_candidates.h"
#include "unfold/face_normal.h"
#include "unfold/placement.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace nettor {

namespace {

// The face laid flat exactly as startPart places it: corner 0 at the origin,
// corner 1 on the positive x axis, the others fanned from corner 0.
std::vector<PatternPoint> flatShape(const Face& face)
{
    const auto& hs = face.outerLoop.halfEdges;
    const Vec3 normal = outwardNormal(face);
    std::vector<PatternPoint> placed(hs.size());
    for (std::size_t i = 1; i < hs.size(); ++i) {
        if (i == 1) {
            placed[1] = {hs[0]->edge ? hs[0]->edge->length
                                     : length(hs[1]->origin->position - hs[0]->origin->position),
                         0.0};
        } else {
            placed[i] = placeFanCorner(placed[0], placed[i - 1], hs[0]->origin->position,
                                       hs[i - 1]->origin->position, hs[i]->origin->position, normal);
        }
    }
    return placed;
}

} // namespace

CutTreeMesh buildCutTreeMesh(const Model& model, std::int32_t strategy)
{
    CutTreeMesh mesh;
    std::unordered_map<const Face*, int> number;
    for (const auto& object : model.objects)
        for (Face* f : object->faces)
            if (!f->unfolded && f->outerLoop.halfEdges.size() >= 3) {
                number.emplace(f, static_cast<int>(mesh.faces.size()));
                mesh.faces.push_back(f);
            }

    const int n = mesh.faceCount();
    mesh.cornerStart.push_back(0);
    for (int f = 0; f < n; ++f) {
        const std::vector<PatternPoint> shape = flatShape(*mesh.faces[f]);
        mesh.shape.insert(mesh.shape.end(), shape.begin(), shape.end());
        mesh.cornerStart.push_back(static_cast<int>(mesh.shape.size()));
    }

    std::vector<std::vector<int>> byFace(n);
    for (const auto& object : model.objects) {
        for (Edge* e : object->edges) {
            if (!e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
            const Face* fa = e->halfEdge1->loop->face;
            const Face* fb = e->halfEdge2->loop->face;
            if (fa == fb) continue;
            // The placement never crosses an edge without positive priority.
            if (!(candidatePriority(*e, strategy) > 0.0)) continue;
            const auto ia = number.find(fa), ib = number.find(fb);
            if (ia == number.end() || ib == number.end()) continue;
            const auto& la = fa->outerLoop.halfEdges;
            const auto& lb = fb->outerLoop.halfEdges;
            const auto sa = std::find(la.begin(), la.end(), e->halfEdge1);
            const auto sb = std::find(lb.begin(), lb.end(), e->halfEdge2);
            // An edge off either face's outline is not laid out by the placement.
            if (sa == la.end() || sb == lb.end()) continue;
            CutTreeMesh::Link link{};
            link.face[0] = ia->second;
            link.face[1] = ib->second;
            link.side[0] = static_cast<int>(sa - la.begin());
            link.side[1] = static_cast<int>(sb - lb.begin());
            if (link.face[0] > link.face[1]) {
                std::swap(link.face[0], link.face[1]);
                std::swap(link.side[0], link.side[1]);
            }
            link.edge = e;
            link.length = e->length;
            link.foldAngle = e->foldAngle;
            const Vec3 d = e->vertex2->position - e->vertex1->position;
            const double len = length(d);
            link.direction = len > 0.0 ? d / len : Vec3{};
            const int index = static_cast<int>(mesh.links.size());
            mesh.links.push_back(link);
            byFace[link.face[0]].push_back(index);
            byFace[link.face[1]].push_back(index);
        }
    }
    mesh.linkStart.push_back(0);
    for (int f = 0; f < n; ++f) {
        mesh.faceLinks.insert(mesh.faceLinks.end(), byFace[f].begin(), byFace[f].end());
        mesh.linkStart.push_back(static_cast<int>(mesh.faceLinks.size()));
    }

    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    mesh.componentCount = n;
    for (const CutTreeMesh::Link& l : mesh.links) {
        const int a = find(l.face[0]), b = find(l.face[1]);
        if (a != b) {
            parent[a] = b;
            --mesh.componentCount;
        }
    }
    return mesh;
}

} // namespace nettor
