#include "scene/face_appearance.h"

#include "model/face_texture.h"

namespace nettor {

FaceAppearance modelFaceAppearance(const Model& model, const Face& face, bool showTexture, bool finished)
{
    FaceAppearance out;
    const TextureImage* userImage = showTexture ? model.textureImage.get() : nullptr;
    if (!finished && face.unfolded) {
        out.colour = FaceColour::Unfolded;
        return out;
    }
    const Material* material = materialOfFace(face);
    if (face.materialIndex == -1 || (!finished && model.textureImage)) {
        out.texture = userImage;
        return out;
    }
    if (!material) return out; // an index outside the table: the default colour, untextured
    const TextureImage* own = model.textureImage ? nullptr : materialImage(model, face);
    if (showTexture && own) {
        out.colour = FaceColour::Textured;
        out.texture = own;
        return out;
    }
    out.colour = FaceColour::Material;
    out.material = material;
    return out;
}

} // namespace nettor
