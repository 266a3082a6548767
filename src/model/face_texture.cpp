#include "model/face_texture.h"

#include <atomic>

namespace nettor {

std::uint64_t nextTextureImageSerial()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

const Material* materialOfFace(const Face& face)
{
    if (!face.object || face.materialIndex < 0) return nullptr;
    const auto& table = face.object->materials;
    const auto index = static_cast<std::size_t>(face.materialIndex);
    return index < table.size() ? &table[index] : nullptr;
}

const TextureImage* materialImage(const Model& model, const Face& face)
{
    const Material* material = materialOfFace(face);
    if (!material || material->imageIndex < 0) return nullptr;
    const auto index = static_cast<std::size_t>(material->imageIndex);
    return index < model.images.size() ? model.images[index].get() : nullptr;
}

const TextureImage* faceImage(const Model& model, const Face& face)
{
    if (model.textureImage) return model.textureImage.get();
    return materialImage(model, face);
}

bool hasMaterialImages(const Model& model)
{
    for (const auto& object : model.objects) {
        for (const Material& m : object->materials) {
            if (m.imageIndex >= 0 && static_cast<std::size_t>(m.imageIndex) < model.images.size() &&
                model.images[static_cast<std::size_t>(m.imageIndex)])
                return true;
        }
    }
    return false;
}

bool hasTextureImages(const Model& model)
{
    return model.textureImage != nullptr || hasMaterialImages(model);
}

} // namespace nettor
