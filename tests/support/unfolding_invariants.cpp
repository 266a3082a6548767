#include "support/unfolding_invariants.h"

#include "model/mesh.h"
#include "state/unfold_status.h"

#include <cmath>
#include <map>
#include <sstream>

namespace nettor::test {

namespace {

std::string faceText(const Face* f)
{
    return "face " + std::to_string(f->index);
}

} // namespace

std::string unfoldingViolation(const Model& model, const UnfoldStatus& status)
{
    std::map<const Face*, int> listed;
    int partFaces = 0;
    std::map<const UnfoldedPart*, int> foldsInPart;
    for (const auto& part : model.parts) {
        if (part->faceCount != static_cast<int>(part->faces.size())) return "part face count differs from its list";
        if (part->faces.empty()) return "empty part";
        partFaces += part->faceCount;
        for (const Face* f : part->faces) {
            if (++listed[f] > 1) return faceText(f) + " listed twice";
            if (f->part != part.get()) return faceText(f) + " points to another part";
        }
        foldsInPart[part.get()] = 0;
    }
    int placed = 0;
    for (const auto& object : model.objects) {
        for (const Face* f : object->faces) {
            if (f->unfolded > 1) return faceText(f) + " unfolded flag " + std::to_string(f->unfolded);
            const bool isPlaced = f->unfolded == 1;
            placed += isPlaced;
            if (isPlaced != (listed.count(f) == 1)) return faceText(f) + " placed flag and part lists disagree";
            if (!isPlaced) continue;
            // A placed face keeps its shape: every distance between corners.
            const auto& hs = f->outerLoop.halfEdges;
            for (std::size_t i = 0; i < hs.size(); ++i) {
                if (!hs[i]->point) return faceText(f) + " placed without its corner points";
                for (std::size_t j = 0; j < i; ++j) {
                    const double d2 = std::hypot(hs[i]->point->x - hs[j]->point->x, hs[i]->point->y - hs[j]->point->y);
                    const double d3 = length(hs[i]->origin->position - hs[j]->origin->position);
                    if (std::abs(d2 - d3) > 1e-7 * std::max(1.0, d3)) return faceText(f) + " is distorted";
                }
            }
        }
    }
    if (placed != partFaces) return "placed faces and part sizes differ";
    if (placed != status.unfoldedFaceCount)
        return "unfoldedFaceCount " + std::to_string(status.unfoldedFaceCount) + " but " + std::to_string(placed) + " faces placed";
    if (static_cast<int>(model.parts.size()) != status.partCount) return "partCount differs from the part list";

    for (const auto& object : model.objects) {
        for (const Edge* e : object->edges) {
            const Face* a = e->halfEdge1 ? e->halfEdge1->loop->face : nullptr;
            const Face* b = e->halfEdge2 ? e->halfEdge2->loop->face : nullptr;
            const bool pa = a && a->unfolded, pb = b && b->unfolded;
            std::ostringstream where;
            where << "edge between faces " << (a ? a->index : -1) << " and " << (b ? b->index : -1) << " state "
                  << static_cast<int>(e->state);
            switch (e->state) {
            case EdgeState::Border:
                if (b) return where.str() + ": border with two faces";
                break;
            case EdgeState::Fold:
                if (!pa || !pb || a->part != b->part) return where.str() + ": fold not inside one part";
                if (e->halfEdge1->foldPartner != e->halfEdge2 || e->halfEdge2->foldPartner != e->halfEdge1)
                    return where.str() + ": fold without partners";
                if (e->halfEdge1->point != e->halfEdge2->next->point || e->halfEdge1->next->point != e->halfEdge2->point)
                    return where.str() + ": fold sides do not share their points";
                ++foldsInPart[a->part];
                break;
            case EdgeState::Cut:
                if (!pa || !pb) return where.str() + ": cut with an unplaced face";
                break;
            case EdgeState::Candidate:
                if (!b || pa == pb) return where.str() + ": candidate without exactly one placed face";
                if ((pa ? a : b)->part != model.currentPart) return where.str() + ": candidate outside the current part";
                break;
            case EdgeState::Untouched:
                if (pa && pb) return where.str() + ": untouched between two placed faces";
                break;
            default:
                break;
            }
            if (e->state != EdgeState::Fold && e->halfEdge1 && e->halfEdge1->foldPartner)
                return where.str() + ": joined but not a fold";
        }
    }
    for (const auto& part : model.parts)
        if (foldsInPart[part.get()] != part->faceCount - 1)
            return "part " + std::to_string(part->id) + " is not a tree of folds";
    return {};
}

} // namespace nettor::test
