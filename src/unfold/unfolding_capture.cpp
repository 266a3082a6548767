#include "unfold/unfolding_capture.h"

#include "model/mesh.h"

#include <algorithm>
#include <unordered_set>

namespace nettor {

UnfoldingCapture captureUnfolding(const Model& model, const std::vector<Face*>& faces)
{
    UnfoldingCapture capture;
    capture.faces = faces;
    std::unordered_set<const PatternPoint*> seenPoints;
    std::unordered_set<const CornerCopy*> seenCopies;
    std::unordered_set<const Edge*> seenEdges;
    for (Face* face : faces) {
        capture.faceParts.push_back(face->part);
        for (HalfEdge* h : face->outerLoop.halfEdges) {
            capture.corners.push_back({h, h->point, h->cornerCopy, h->foldPartner});
            if (h->point && seenPoints.insert(h->point).second) capture.points.emplace_back(h->point, *h->point);
            if (h->cornerCopy && seenCopies.insert(h->cornerCopy).second)
                capture.copies.emplace_back(h->cornerCopy, *h->cornerCopy);
            if (h->edge && seenEdges.insert(h->edge).second)
                capture.edges.push_back({h->edge, h->edge->state, h->edge->edgeId});
        }
    }
    for (const auto& part : model.parts) capture.parts.emplace_back(part.get(), *part);
    capture.currentPart = model.currentPart;
    capture.sheetWidth = model.sheetWidth;
    capture.sheetHeight = model.sheetHeight;
    return capture;
}

UnfoldingCapture captureUnfoldingLike(const Model& model, const UnfoldingCapture& like)
{
    return captureUnfolding(model, like.faces);
}

void restoreUnfolding(Model& model, const UnfoldingCapture& capture,
                      std::vector<std::unique_ptr<UnfoldedPart>>& spare)
{
    for (std::size_t i = 0; i < capture.faces.size(); ++i) capture.faces[i]->part = capture.faceParts[i];
    for (const UnfoldingCapture::Corner& c : capture.corners) {
        c.side->point = c.point;
        c.side->cornerCopy = c.copy;
        c.side->foldPartner = c.foldPartner;
    }
    for (const auto& [point, value] : capture.points) *point = value;
    for (const auto& [copy, value] : capture.copies) *copy = value;
    for (const UnfoldingCapture::EdgeRecord& e : capture.edges) {
        e.edge->state = e.state;
        e.edge->edgeId = e.number;
    }
    // The parts in the captured order, whether they are in the model now or
    // were taken out; the others are kept aside.
    for (auto& part : model.parts) spare.push_back(std::move(part));
    model.parts.clear();
    for (const auto& [listed, value] : capture.parts) {
        UnfoldedPart* part = listed;
        const auto it = std::find_if(spare.begin(), spare.end(), [part](const auto& p) { return p.get() == part; });
        if (it == spare.end()) continue; // never happens: a listed part is kept somewhere
        *part = value;
        model.parts.push_back(std::move(*it));
        spare.erase(it);
    }
    model.currentPart = capture.currentPart;
    model.sheetWidth = capture.sheetWidth;
    model.sheetHeight = capture.sheetHeight;
}

} // namespace nettor
