#pragma once
// The scratch marks of one drawing: which edges a pass has already handled
// and which sides carry a glue flap. Each drawing keeps its own, so drawing
// never writes into the model.
#include "model/mesh.h"

#include <cstdint>
#include <vector>

namespace nettor {

class DrawnMarks {
public:
    // All clear, sized for every edge and half-edge the model has made.
    explicit DrawnMarks(const Model& model);

    // "Already handled in this pass", per edge.
    bool drawn(const Edge& e) const { return e.index < drawn_.size() && drawn_[e.index]; }
    void markDrawn(const Edge& e)
    {
        if (e.index < drawn_.size()) drawn_[e.index] = 1;
    }
    // Clears every edge's mark before the next pass.
    void clearDrawn();

    // The flap decision of the flap pass, per side.
    bool hasFlap(const HalfEdge& side) const { return side.index < flaps_.size() && flaps_[side.index]; }
    void setFlap(const HalfEdge& side, bool flap)
    {
        if (side.index < flaps_.size()) flaps_[side.index] = flap ? 1 : 0;
    }

private:
    std::vector<std::uint8_t> drawn_;
    std::vector<std::uint8_t> flaps_;
};

} // namespace nettor
