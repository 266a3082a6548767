#pragma once
// Which image a face shows: the image the user opened for the model stands
// for every face; otherwise a face shows its material's own image.
#include "model/mesh.h"

namespace nettor {

// The material a face names, or null when its index lies outside the table.
const Material* materialOfFace(const Face& face);

// The image a face's material brings, or null.
const TextureImage* materialImage(const Model& model, const Face& face);

// The image the face shows when textures are shown: the user's image when
// one is open, else the material's image; null for none.
const TextureImage* faceImage(const Model& model, const Face& face);

// Whether any material of the model has an image.
bool hasMaterialImages(const Model& model);

// Whether the model has anything to texture its faces with.
bool hasTextureImages(const Model& model);

} // namespace nettor
