#pragma once
// What the engine keeps about a growing part between two evaluations of its
// candidates: the outline and the placed faces in grids, for the overlap
// test, and every open edge with the box of the face it would bring in and
// its last verdict, so that a placement re-tests only the open edges near
// what it changed. The candidates are kept in the order in which a walk
// over the part would prefer them.
#include "model/unfold_records.h"
#include "unfold/box_grid.h"
#include "unfold/flat_shapes.h"
#include "unfold/pointer_table.h"

#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace nettor {

struct HalfEdge;

struct PartGrowthIndex {
    PartGrowthIndex(double cellSize, std::int32_t overlapCheck, std::int32_t strategy);

    // The part's outline: sides of placed faces without fold partner.
    struct Segment {
        const Face* face;
        PatternPoint from, to;
    };
    std::vector<Segment> segments;                      // by id; removed ones stay as holes
    PointerTable segmentOf;                             // the id of a side's segment
    BoxGrid segmentGrid;

    std::vector<const Face*> faces;    // placed faces with all their corners, by id
    std::vector<GridBox> faceBoxes;
    FlatShapes faceShapes;             // by id, when the overlap check is on
    BoxGrid faceGrid;

    // The candidates: those of positive priority first, by falling priority,
    // then all others; within each group by position in the walk.
    struct CandidateKey {
        bool eligible;
        double priority;
        std::uint64_t position;
        std::uint32_t id;
        bool operator<(const CandidateKey& o) const
        {
            if (eligible != o.eligible) return eligible;
            if (eligible && priority != o.priority) return priority > o.priority;
            return position < o.position;
        }
    };
    std::set<CandidateKey> candidates;

    // An edge from a placed face of the part to an unplaced face.
    struct OpenEdge {
        Edge* edge = nullptr;
        const Face* face = nullptr; // the part's face on this side
        std::uint64_t position = 0; // in the walk: face number in the part, then side number
        GridBox box{};              // of the face across, laid flat; not finite: unknown
        double priority = 0.0;
        bool candidate = false;
        bool filed = false;         // laid flat, box in openGrid (neither ever changes)
        bool laid = false;          // the face across could be laid flat
        std::uint32_t firstCorner = 0, cornerCount = 0; // its corners in openCorners
        FlatShapes::Id shape = kNoShape;                // in openShapes, once an overlap test needed it
        double tolerance = 0.0;                         // overlapTolerance of its corners
        std::set<CandidateKey>::iterator slot;          // in candidates while candidate
    };
    static constexpr FlatShapes::Id kNoShape = ~FlatShapes::Id{0};
    std::vector<OpenEdge> open;               // by id
    std::vector<std::uint32_t> freeOpen;      // ids of removed entries, for reuse
    PointerTable openOf;                      // the id of an edge's entry
    BoxGrid openGrid;
    std::vector<PatternPoint> openCorners;    // the faces across, laid flat
    FlatShapes openShapes;

    // Scratch of the evaluation after a placement, kept to spare allocations.
    std::vector<std::uint32_t> scratchIds, scratchFresh;

    // What the verdicts were reached under; any other change of the part
    // or of the model's placements asks for a full evaluation.
    const UnfoldedPart* part = nullptr;
    std::size_t faceCount = 0;
    std::int32_t unfoldedFaceCount = 0;
    std::int32_t overlapCheck = 0;
    std::int32_t strategy = 0;

    // Outline upkeep.
    void addFace(const Face& face);          // its box, and its sides without fold partner
    void removeSegment(const HalfEdge* side); // a side that became a fold

    // Open edge upkeep.
    std::uint32_t addOpen(Edge& edge, const Face& face, std::uint64_t position);
    void removeOpen(std::uint32_t id);
    // Re-tests the entry against the outline as it is and files it again.
    void evaluate(std::uint32_t id);
    // Drops the laid corners and shapes of removed entries once they make
    // up most of what is kept, so that a part of many faces keeps only
    // what its open edges need.
    void compactOpen();

    // The overlap test against the outline and faces held here.
    bool crossesOutline(const Face* exceptFace, const PatternPoint& p, const PatternPoint& q) const;
    bool crossesOutline(const Face* exceptFace, std::span<const PatternPoint> corners) const;
    // Whether the face with these corners, kept as `shape` of `shapes`, with
    // the given box and tolerance, overlaps a placed face.
    bool overlapsFaces(std::span<const PatternPoint> corners, const GridBox& box, const FlatShapes& shapes,
                       FlatShapes::Id shape, double tolerance) const;
    // canAttach against what is held here; box receives the box of the face
    // across the edge laid flat (not finite when it cannot be laid).
    bool canAttach(const Face& face, const Edge& edge, GridBox& box) const;
    // The face across the edge from the part's face, laid flat exactly as
    // attachFace would lay it, into corners; false when it cannot be laid.
    static bool layAcross(const Face& face, const Edge& edge, std::vector<PatternPoint>& corners);
};

} // namespace nettor
