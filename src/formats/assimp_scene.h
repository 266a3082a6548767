#pragma once
// Turning a scene that Assimp read into the polygon model. Only the Assimp
// importer (and the checks of its conversion) include this.
#include "model/mesh.h"

struct aiScene;

namespace nettor {

// Fills the empty model from the scene: one object per placement of a mesh
// in the node tree (a mesh no node places goes in once, untransformed), its
// corners moved by the node's transform and merged by exact position. The
// scene is not trusted: false when it names a vertex or mesh it does not
// hold, holds a position or texture coordinate that is not finite, or its
// node tree is absurdly large.
bool sceneToModel(const aiScene& scene, Model& model);

} // namespace nettor
