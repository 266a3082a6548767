#pragma once
// Texture images as OpenGL 1.1 takes them: sides that are powers of two, no
// larger than the implementation allows. An image of other sides is
// resampled (bilinear) to the nearest fitting power of two at or above
// each side.
#include "model/mesh.h"

#include <cstdint>

namespace nettor {

// The smallest power of two at or above side, at most maxSide (itself a
// power of two); 1 for sides below 1.
std::int32_t fittingTextureSide(std::int32_t side, std::int32_t maxSide);

// Whether the image can be handed to OpenGL as it is.
bool textureFits(const TextureImage& image, std::int32_t maxSide);

// The image resampled to fitting sides (its rows in the same order).
TextureImage fitTextureImage(const TextureImage& image, std::int32_t maxSide);

} // namespace nettor
