#pragma once
// Unfolding by hand: what a left click in the 3D view does in each pick
// mode, closing the part being grown, and taking back the last Connect Edge
// step.
#include <cstdint>
#include <functional>

namespace nettor {

struct Face;
struct Edge;

// Values of AppState::pickMode.
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

// The left-button release at (x, y) after a press at (pressX, pressY):
// ignored without a model, once the unfolding is finished, for a drag and
// while no mode is chosen; otherwise the pick of the current pickMode.
void onModelClick(int pressX, int pressY, int x, int y, const ModelPicker& picker);

// The three picks on their own (face or edge may be null).
// First Face: starts a new part with the face, or tells the user that it is
// already unfolded. Always clears undoAvailable.
void firstFacePick(Face* face);
// Connect Edge: attaches the face across a Candidate edge; other states are
// ignored. After an attach undoAvailable is set unless the unfolding is
// finished.
void connectEdgePick(Edge* edge);
// Cut Edge: Untouched or Candidate becomes MarkedCut; MarkedCut becomes
// Untouched again while neither of its faces is unfolded; other states stay.
// Always clears undoAvailable.
void cutEdgePick(Edge* edge);

// The First Face button: chooses that mode and, with a model being unfolded,
// closes the part grown so far (view-update hint 4).
void chooseFirstFaceMode();
// The Cut Edge and Connect Edge buttons.
void choosePickMode(std::int32_t mode);

// Hint 4: the current part's open edges become Blocked.
void closeCurrentPart();

// Hint 20: the current part's candidates are evaluated again (the overlap
// check or the faces may have changed).
void reevaluateCurrentPart();

// Hint 15: takes back the last Connect Edge step, once. Does nothing unless
// undoAvailable is set and the unfolding is not finished.
void undoLastAttach();

} // namespace nettor
