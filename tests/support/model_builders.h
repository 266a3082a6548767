#pragma once
// Small models built in code for the tests.
#include "model/mesh.h"

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace nettor::test {

struct MeshSpec {
    std::vector<Vec3> vertices;
    std::vector<std::vector<int>> faces; // 0-based corner indices
};

// One object with the given vertices and faces, edges built.
std::unique_ptr<Model> buildModel(const MeshSpec& spec);
// Several objects in one model.
std::unique_ptr<Model> buildModel(const std::vector<MeshSpec>& specs);

// Axis-aligned box, faces counter-clockwise seen from outside.
MeshSpec boxSpec(Vec3 min = {-1, -1, -1}, Vec3 max = {1, 1, 1});
// L-shaped prism (an extruded L), outward faces.
// A counter-clockwise outline in the xy plane extruded along z from 0 to
// height: bottom, top, then the sides. The bottom loop starts at the given
// corner of the outline.
MeshSpec prismSpec(const std::vector<std::pair<double, double>>& outline, double height,
                   int firstBottomCorner);
MeshSpec lPrismSpec();

// The model as OBJ text.
std::string toObjText(const MeshSpec& spec);

// Writes text to a fresh file in the test's temporary directory; returns the path.
std::string writeTempFile(const std::string& name, const std::string& contents);

} // namespace nettor::test
