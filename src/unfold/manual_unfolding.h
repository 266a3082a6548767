#pragma once
// Unfolding by hand: what a left click in the 3D view does in each pick
// mode, closing the part being grown, and taking back the last Connect Edge
// step.
#include <cstdint>
#include <functional>

namespace nettor {

struct EngineState;
struct Model;
struct Face;
struct Edge;

// The pick modes of the 3D view.
enum PickMode : std::int32_t {
    NoPickMode = -1,        // no mode chosen yet: clicks do nothing
    CutEdgeMode = 0,
    FirstFaceMode = 1,
    ConnectEdgeMode = 2,
};

// A release counts as a click when it is at most this squared distance
// (pixels^2) from the press; farther it is a drag, which picks nothing.
constexpr long long kClickSquaredDistance = 8;
bool isClick(int pressX, int pressY, int releaseX, int releaseY);

// How the 3D view finds what lies under a window position; either may
// return null.
struct ModelPicker {
    std::function<Face*(int x, int y)> pickFace;
    std::function<Edge*(int x, int y)> pickEdge;
};

// Each of the following takes the engine state and the current model (null
// for none); they do nothing without a model or once its unfolding is
// finished.

// The left-button release at (x, y) after a press at (pressX, pressY):
// ignored for a drag and while no mode is chosen; otherwise the pick of the
// given mode.
void onModelClick(EngineState& engine, Model* model, std::int32_t pickMode, int pressX, int pressY, int x,
                  int y, const ModelPicker& picker);

// The three picks on their own (face or edge may be null).
// First Face: starts a new part with the face, or tells the user that it is
// already unfolded. Always clears undoAvailable.
void firstFacePick(EngineState& engine, Model* model, Face* face);
// Connect Edge: attaches the face across a Candidate edge; other states are
// ignored. After an attach undoAvailable is set unless the unfolding is
// finished.
void connectEdgePick(EngineState& engine, Model* model, Edge* edge);
// Cut Edge: Untouched or Candidate becomes MarkedCut; MarkedCut becomes
// Untouched again while neither of its faces is unfolded; other states stay.
// Always clears undoAvailable.
void cutEdgePick(EngineState& engine, Model* model, Edge* edge);


// First Face: the current part's open edges become Blocked.
void closeCurrentPart(EngineState& engine, Model* model);

// The current part's candidates are evaluated again (the overlap
// check or the faces may have changed).
void reevaluateCurrentPart(EngineState& engine, Model* model);

// Undo the last edge pick: takes back the last Connect Edge step, once.
// Does nothing unless undoAvailable is set.
void undoLastAttach(EngineState& engine, Model* model);

} // namespace nettor
