#pragma once
// How eagerly automatic unfolding joins across a candidate edge.
#include <cstdint>

namespace nettor {

struct Edge;

// Strategy 0 prefers the flattest edge (its fold angle), strategy 1 the
// longest (its length), strategy 2 the length weighted by the flatness; any
// other value behaves as strategy 1.
double candidatePriority(const Edge& edge, std::int32_t strategy);

} // namespace nettor
