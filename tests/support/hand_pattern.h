#pragma once
// Unfolded models built by hand, without the unfolding engine: the faces of
// a flat mesh (z = 0) are placed at their own x, y.
#include "support/model_builders.h"

#include <memory>
#include <vector>

namespace nettor::test {

// partOfFace[i] is the part of face i (parts 0, 1, ...). Within a part the
// faces share their corner points; an edge between two faces of one part is
// a fold (foldAngle 180, ridge), an edge between parts is a cut numbered
// 1, 2, ... in edge order, a one-sided edge is a border. The sheet extent
// is the bounding box of all points (the points should start at 0, 0);
// averageEdgeLength is the mean edge length.
std::unique_ptr<Model> layOutFlat(const MeshSpec& spec, const std::vector<int>& partOfFace,
                                  double patternScale = 1.0);

// The edge between two vertices (0-based indices into the MeshSpec), or null.
Edge* edgeBetween(Model& model, int v1, int v2);

// A row of unit squares side by side along x: squares 0..n-1.
MeshSpec squareRowSpec(int count, double side = 1.0);

} // namespace nettor::test
