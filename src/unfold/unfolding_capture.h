#pragma once
// What a change of a finished unfolding touches, kept so that the change
// can be taken back and made again: the corner records of some faces, the
// edges between them, and every part with its place on the one sheet.
#include "model/unfold_records.h"

#include <memory>
#include <vector>

namespace nettor {

struct Edge;
struct Face;
struct HalfEdge;
struct Model;

struct UnfoldingCapture {
    struct Corner {
        HalfEdge* side;
        PatternPoint* point;
        CornerCopy* copy;
        HalfEdge* foldPartner;
    };
    struct EdgeRecord {
        Edge* edge;
        EdgeState state;
        int number;
    };
    std::vector<Face*> faces; // the faces whose records are kept
    std::vector<UnfoldedPart*> faceParts;
    std::vector<Corner> corners;
    std::vector<std::pair<PatternPoint*, PatternPoint>> points;
    std::vector<std::pair<CornerCopy*, CornerCopy>> copies;
    std::vector<EdgeRecord> edges;
    std::vector<std::pair<UnfoldedPart*, UnfoldedPart>> parts; // in the model's order
    UnfoldedPart* currentPart = nullptr;
    double sheetWidth = 0.0;
    double sheetHeight = 0.0;
};

// The records of these faces and of every part as they are now.
UnfoldingCapture captureUnfolding(const Model& model, const std::vector<Face*>& faces);
// The same faces' records as they are now: what taking a change back
// replaces, so that it can be made again.
UnfoldingCapture captureUnfoldingLike(const Model& model, const UnfoldingCapture& like);

// Puts the records back. Parts the capture does not list go to `spare`;
// parts it lists are taken from the model or from `spare`.
void restoreUnfolding(Model& model, const UnfoldingCapture& capture,
                      std::vector<std::unique_ptr<UnfoldedPart>>& spare);

} // namespace nettor
