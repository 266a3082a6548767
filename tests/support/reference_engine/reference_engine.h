#pragma once
// The straightforward unfolding engine, kept beside the production one: it
// walks every face of a part after every placement, scans the whole outline
// for every prospective face and tries every arrangement position against
// every placed part. Tests and benchmarks run it on the same models as the
// production engine and compare the results.
#include "model/unfold_records.h"
#include "support/reference_engine/outline_grid.h"

#include <span>
#include <vector>

namespace nettor {
struct Model;
struct EngineState;
}

namespace nettor::reference {

struct PartOutline {
    struct Segment {
        const Face* face;
        PatternPoint from, to;
    };
    std::vector<Segment> segments;
    std::vector<OutlineGrid::Box> boxes;
    OutlineGrid grid;
    std::vector<const Face*> faces;
    std::vector<OutlineGrid::Box> faceBoxes;
    OutlineGrid faceGrid;
};

void collectOutline(const UnfoldedPart& part, PartOutline& into);
bool crossesPartOutline(const EngineState& engine, const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);
bool overlapsPart(const EngineState& engine, const PartOutline& outline, std::span<const PatternPoint> corners);
bool canAttach(const EngineState& engine, const PartOutline& outline, const Face& face, const Edge& edge);

void updateCandidates(EngineState& engine, UnfoldedPart& part, bool closing);
int startPart(EngineState& engine, Face& face);
int attachFace(EngineState& engine, Edge& edge);
bool growPart(EngineState& engine, UnfoldedPart& part);
bool unfoldAll(EngineState& engine, Model& model);

void arrangeParts(EngineState& engine, Model& model);
void numberCutEdges(Model& model);
void separateCorners(Model& model);
void finishUnfolding(EngineState& engine, Model& model);

} // namespace nettor::reference
