#pragma once
// Draws one page of the Pages layout on a canvas at true size: the faces,
// the glue flaps, the valley and ridge folds, the cut lines and the edge
// numbers, each kind in a layer of its own so that a surface that knows
// layers (the SVG writer) can keep them apart.
#include "model/mesh.h"
#include "pattern/canvas.h"
#include "pattern/pages_layout.h"
#include "state/settings.h"

#include <functional>

namespace nettor {

enum class PageLayer { Faces, Flaps, ValleyFolds, RidgeFolds, CutLines, Numbers };

inline constexpr PageLayer kPageLayers[] = {PageLayer::Faces,      PageLayer::Flaps,    PageLayer::ValleyFolds,
                                            PageLayer::RidgeFolds, PageLayer::CutLines, PageLayer::Numbers};

// "faces", "flaps", "valley-folds", ...
const char* pageLayerId(PageLayer layer);
// "Faces", "Flaps", "Valley folds", ...
const char* pageLayerLabel(PageLayer layer);

// How one side is drawn on the pages: not at all, as a cut, or as a fold.
enum class PageLine { Skip, Cut, Ridge, Valley };
PageLine pageLine(const PagesLayout& layout, const LaidOutPiece& piece, const HalfEdge& side,
                  const Settings& settings);

// Page `page` (from 1) with the paper's top-left corner at the device
// origin, unitsPerMm device units to the millimetre. layer(l, true) comes
// before the marks of layer l and layer(l, false) after them.
void drawLayoutPage(const PagesLayout& layout, const Settings& settings, int page, Canvas& dc,
                    double unitsPerMm, const std::function<void(PageLayer, bool)>& layer = {});

} // namespace nettor
