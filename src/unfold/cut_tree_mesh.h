#pragma once
// The faces still to unfold, seen as the search for fewer parts needs them:
// each face's flat shape and the edges across which two of them may be
// joined.
#include "model/unfold_records.h"
#include "model/vec3.h"

#include <cstdint>
#include <vector>

namespace nettor {

struct Model;
struct Face;
struct Edge;

struct CutTreeMesh {
    // An edge across which two faces taking part may be joined: two-sided,
    // not marked to be cut, both faces unplaced.
    struct Link {
        int face[2];   // indices into faces, face[0] < face[1]
        int side[2];   // the edge's half-edge in each face's outer loop
        Edge* edge;
        double length;
        double foldAngle;
        Vec3 direction; // unit vector along the edge in 3D
    };

    std::vector<Face*> faces;          // the unplaced faces, in model order
    std::vector<int> cornerStart;      // faces.size() + 1 offsets into shape
    std::vector<PatternPoint> shape;   // each face laid flat as startPart lays it
    std::vector<Link> links;
    std::vector<int> linkStart;        // faces.size() + 1 offsets into faceLinks
    std::vector<int> faceLinks;        // the links of each face
    int componentCount = 0;            // groups of faces connected by links

    int faceCount() const { return static_cast<int>(faces.size()); }
    int cornerCount(int f) const { return cornerStart[f + 1] - cornerStart[f]; }
};

// The unplaced faces of the model and the links between them. The model must
// be prepared for unfolding (edge lengths and fold angles set).
CutTreeMesh buildCutTreeMesh(const Model& model, std::int32_t strategy);

} // namespace nettor
