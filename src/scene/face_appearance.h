#pragma once
// How the 3D view shows a face: which colour it takes and which image, if
// any, is mapped on it. The image the user opened stands for every face
// that shows the default colour; a material's own image is shown on the
// faces of that material while textures are shown.
#include "model/mesh.h"

namespace nettor {

enum class FaceColour {
    Default,  // pale blue, or white under the user's image
    Unfolded, // brown, once the face is unfolded
    Material, // the face's material
    Textured, // white, so that the material's image shows its own colours
};

struct FaceAppearance {
    FaceColour colour = FaceColour::Default;
    const Material* material = nullptr;   // for FaceColour::Material
    const TextureImage* texture = nullptr; // the image to map, or none
};

// While the model is being unfolded (finished false) unfolded faces turn
// brown; once it is finished every face keeps its own colour.
FaceAppearance modelFaceAppearance(const Model& model, const Face& face, bool showTexture, bool finished);

} // namespace nettor
