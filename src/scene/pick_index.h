#pragma once
// Picking on big models without projecting every face: the faces' boxes in
// a bounding volume hierarchy, built once for a model. A click follows its
// line of sight down the boxes it passes through, and only the faces in
// those are tested, each as pickFace tests it; the face kept is the one
// pickFace keeps (the nearest, the earlier of equal ones).
#include "model/mesh.h"
#include "scene/pick.h"

#include <array>
#include <cstdint>
#include <vector>

namespace nettor {

class FacePickIndex {
public:
    explicit FacePickIndex(const Model& model);

    // The model and the number of faces it was built for.
    const Model* model() const { return model_; }
    std::size_t faceCount() const { return faces_.size(); }

    Face* pickFace(const ViewSnapshot& view, int x, int y) const;
    Edge* pickEdge(const ViewSnapshot& view, int x, int y) const;

private:
    struct Box {
        std::array<double, 3> low;
        std::array<double, 3> high;
    };
    struct Node {
        Box box;
        std::uint32_t first = 0; // a leaf's first face, or the first child (the second follows it)
        std::uint32_t count = 0; // a leaf's faces; 0 for an inner node
    };

    // Fills node slot with the faces first .. first + count - 1, whose
    // boxes are given in the faces' order.
    void build(std::uint32_t slot, std::uint32_t first, std::uint32_t count, const std::vector<Box>& boxes);

    const Model* model_ = nullptr;
    std::vector<Face*> faces_;          // in the leaves' order
    std::vector<std::uint32_t> order_;  // each face's place in the model's order, as faces_
    std::vector<Node> nodes_;           // the root first
};

} // namespace nettor
