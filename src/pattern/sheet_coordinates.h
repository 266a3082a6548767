#pragma once
// Position of a pattern point on the sheet, in centimetres, including the
// 1.5 cm margin every output adds around the arranged pattern.
#include "model/mesh.h"

namespace nettor {

inline constexpr double kSheetMarginCm = 1.5;

struct SheetPoint {
    double x = 0.0;
    double y = 0.0;
};

// (offset + point) * patternScale + margin, on each axis; y grows downwards.
SheetPoint sheetPoint(const Model& model, const UnfoldedPart& part, const PatternPoint& point);

} // namespace nettor
