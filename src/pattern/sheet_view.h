#pragma once
// The geometry of the 2D pattern view: how many screen pixels a sheet
// centimetre takes (the zoom), how large the scrolled area is, and the
// zoom and scale commands with their limits. The view only turns these into
// pixels.
#include "state/paper.h"

#include <string>

namespace nettor {

struct Model;

// Gap in pixels between the window edge and the A4 sheet picture.
inline constexpr double kSheetViewMargin = 15.0;
// The sheet is pictured as one A4 page.
inline constexpr double kSheetPictureWidth = kPageWidthCm;
inline constexpr double kSheetPictureHeight = kPageHeightCm;
// The zoom never falls below this many pixels per centimetre, so that a
// pane narrower than its margins can still be zoomed in.
inline constexpr double kMinimumZoom = 0.1;

struct SheetView {
    int width = 1;      // client size in pixels
    int height = 1;
    double zoom = 1.0;  // pixels per sheet centimetre
    double margin = kSheetViewMargin;
    int scrollWidth = 1; // size of the scrolled area
    int scrollHeight = 1;
};

// The zoom at which the A4 sheet fits the client area between the margins,
// never below kMinimumZoom.
double fitZoom(int width, int height, double margin = kSheetViewMargin);

// Zoom to fit and a scrolled area of the client size (a model was loaded).
void resetSheetView(SheetView& view);

// The scrolled area after a zoom or scale change: the client area, the
// arranged pattern and the sheet picture, whichever is largest.
void updateScrollSize(SheetView& view, const Model& model);

// The commands. Each returns the refusal message and changes nothing, or
// returns an empty string after it changed the view (and the scale).
std::string zoomIn(SheetView& view, const Model& model);
std::string zoomOut(SheetView& view, const Model& model);
// Scale Up / Down change the pattern scale itself (and so the printed size);
// displayedScale follows in centimetres per model unit.
std::string scaleUp(SheetView& view, Model& model, double& displayedScale);
std::string scaleDown(SheetView& view, Model& model, double& displayedScale);
// The scale typed into the information panel, in centimetres per model unit.
std::string applyRequestedScale(SheetView& view, Model& model, double requestedScale,
                                double& displayedScale);

} // namespace nettor
