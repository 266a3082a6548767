#pragma once
// Generated shapes for property tests and benchmarks. Every shape is closed
// (or a single open sheet for the height field) with faces wound
// counter-clockwise seen from outside.
#include "support/model_builders.h"

#include <random>

namespace nettor::test {

// Convex hull of random points on an ellipsoid with random half-axes; all
// faces are triangles.
MeshSpec randomConvexSpec(std::mt19937& rng, int pointCount);
// Icosahedron with every triangle split into four, levels times, pushed out
// onto the unit sphere: 20 * 4^levels triangles.
MeshSpec subdividedSphereSpec(int levels);
// Torus of revolution with rings x segments planar quadrilaterals.
MeshSpec torusSpec(int rings, int segments, double major = 2.0, double minor = 0.7);
// Open sheet over an n x n grid, z a sum of random bumps, two triangles per
// cell.
MeshSpec bumpyHeightFieldSpec(std::mt19937& rng, int n);
// Prism over a star polygon of `points` tips: its two caps are non-convex,
// and the outline of each starts at a reflex corner.
MeshSpec starPrismSpec(std::mt19937& rng, int points);
// Prism over a comb: a bar with `teeth` teeth of random lengths, gaps of
// random widths. The bottom cap's outline starts at a random corner.
MeshSpec combPrismSpec(std::mt19937& rng, int teeth);
// Closed solid over an n x n grid: the bumpy sheet of bumpyHeightFieldSpec
// (bumps and hollows, saddle corners between them) on top, one vertical
// quadrilateral under each border side of the grid, and a flat bottom of
// 4 n triangles around one corner.
MeshSpec closedHeightFieldSpec(std::mt19937& rng, int n);
// A copy of spec moved by offset.
MeshSpec translated(MeshSpec spec, Vec3 offset);

} // namespace nettor::test
