#pragma once
// Records of an unfolding. They live in the model (its parts and its point
// and corner pools) so that a model and its unfolding are destroyed together.
#include <cfloat>
#include <cstdint>
#include <memory>
#include <vector>

namespace nettor {

struct Face;
struct Edge;

// State of an edge during unfolding. The values are stored and compared as
// integers, so they must never be renumbered.
enum class EdgeState : std::int32_t {
    Untouched = 0, // on no part's outline yet, or reset by undo / unmarking
    Fold = 1,      // both faces placed and joined across the edge
    Cut = 2,       // both faces placed, not joined
    Blocked = 3,   // attaching across it is refused, or the part is closed
    Candidate = 4, // one side in the current part, the other attachable
    Border = 5,    // only one face; never changes after preparation
    MarkedCut = 6, // the user asked for a cut; never joined across
};

// 2D position of a corner in its part, in normalised model units. Joined
// faces share the point objects of their fold edge.
struct PatternPoint {
    double x = 0.0;
    double y = 0.0;
};

// Copy of a vertex position taken when its corner was placed; moved inward
// at completion so that the 3D view shows the cuts as gaps.
struct CornerCopy {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// One connected piece of the pattern: a tree of faces joined by folds.
struct UnfoldedPart {
    std::vector<Face*> faces;       // placement order; the first is the start face
    std::int32_t faceCount = 0;
    std::int32_t id = 0;            // number of parts that existed when it was started
    Edge* bestCandidate = nullptr;
    double offsetX = 0.0;           // translation given by the arrangement
    double offsetY = 0.0;
    double width = 0.0;             // extents x 1.15, set by the arrangement
    double height = 0.0;
    double viewOriginX = 0.0;       // used by the 2D view while the part grows
    double viewOriginY = 0.0;
    double minX = DBL_MAX;
    double minY = DBL_MAX;
    double maxX = DBL_MIN;
    double maxY = DBL_MIN;
    // What the engine keeps about a growing part between evaluations of its
    // candidates; its own business, released when the part is closed.
    std::shared_ptr<void> growthIndex;
};

} // namespace nettor
