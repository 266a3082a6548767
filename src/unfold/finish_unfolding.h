#pragma once
// Completing an unfolding once its last face is placed.

namespace nettor {

struct EngineState;
struct Model;

// Runs once per unfolding: tells the user, arranges the parts on one sheet,
// numbers the cut edges, opens the 3D copy of the model along its cuts and
// chooses the pattern scale that fits the sheet on one page. With
// engine.arrangeSheetLater the sheet is left to arrangeSheet.
void finishUnfolding(EngineState& engine, Model& model);

// Arranges the parts on one sheet and chooses the pattern scale that fits
// it on one page. It writes only the parts' extents and offsets on the
// sheet, the sheet's size and the scales, and so may run while another
// thread reads the rest of the finished pattern.
void arrangeSheet(EngineState& engine, Model& model);

} // namespace nettor
