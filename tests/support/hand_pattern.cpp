#include "support/hand_pattern.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace nettor::test {

std::unique_ptr<Model> layOutFlat(const MeshSpec& spec, const std::vector<int>& partOfFace,
                                  double patternScale)
{
    auto model = buildModel(spec);
    model->patternScale = patternScale;
    MeshObject& object = *model->objects.front();
    const int partCount = partOfFace.empty()
                              ? 0
                              : *std::max_element(partOfFace.begin(), partOfFace.end()) + 1;
    for (int i = 0; i < partCount; ++i) {
        auto part = std::make_unique<UnfoldedPart>();
        part->id = i;
        model->parts.push_back(std::move(part));
    }
    std::map<std::pair<int, Vertex*>, PatternPoint*> points;
    double maxX = 0, maxY = 0;
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        Face* face = object.faces[f];
        const int p = partOfFace.at(f);
        UnfoldedPart& part = *model->parts[static_cast<std::size_t>(p)];
        part.faces.push_back(face);
        ++part.faceCount;
        face->part = &part;
        face->unfolded = 1;
        for (HalfEdge* h : face->outerLoop.halfEdges) {
            PatternPoint*& point = points[{p, h->origin}];
            if (!point) {
                point = model->pointPool.add(PatternPoint{h->origin->position.x, h->origin->position.y});
            }
            h->point = point;
            maxX = std::max(maxX, point->x);
            maxY = std::max(maxY, point->y);
        }
    }
    model->sheetWidth = maxX;
    model->sheetHeight = maxY;
    int number = 1;
    double lengthSum = 0;
    for (Edge* e : object.edges) {
        e->length = length(e->vertex2->position - e->vertex1->position);
        lengthSum += e->length;
        e->isRidge = 1;
        if (!e->halfEdge2) {
            e->state = EdgeState::Border;
            continue;
        }
        e->foldAngle = 180.0;
        if (e->halfEdge1->loop->face->part == e->halfEdge2->loop->face->part) {
            e->state = EdgeState::Fold;
            e->halfEdge1->foldPartner = e->halfEdge2;
            e->halfEdge2->foldPartner = e->halfEdge1;
        } else {
            e->state = EdgeState::Cut;
            e->edgeId = number++;
        }
    }
    object.meanEdgeLength = object.edges.empty() ? 0 : lengthSum / object.edges.size();
    model->averageEdgeLength = object.meanEdgeLength;
    return model;
}

Edge* edgeBetween(Model& model, int v1, int v2)
{
    for (auto& object : model.objects)
        for (Edge* e : object->edges) {
            const int a = e->vertex1->id - 1, b = e->vertex2->id - 1;
            if ((a == v1 && b == v2) || (a == v2 && b == v1)) return e;
        }
    return nullptr;
}

MeshSpec squareRowSpec(int count, double side)
{
    MeshSpec s;
    // Vertices 2i (bottom, y = 0) and 2i + 1 (top, y = side) at x = i * side.
    for (int i = 0; i <= count; ++i) {
        s.vertices.push_back({i * side, 0, 0});
        s.vertices.push_back({i * side, side, 0});
    }
    for (int i = 0; i < count; ++i) s.faces.push_back({2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1});
    return s;
}

} // namespace nettor::test
