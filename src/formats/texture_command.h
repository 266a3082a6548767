#pragma once
// The texture commands of the document after their dialogs: loading a
// texture bitmap into the current model, and when it, Display Texture and
// the textured pattern window may be used.
#include <cstdint>
#include <string>

namespace nettor {

// Texture sides must be a power of two from 1 to 16384.
bool isTextureSide(std::int32_t side);

// The message for a bitmap whose sides break that rule.
inline constexpr const char* textureSizeMessage =
    "The size of Texture image must be 2^n for some integer n.\n(ex. 128, 256...)";

// Loads the bitmap at path into the current model. The model's image is
// replaced and showTexture set only when the file decodes and its size is
// allowed; otherwise the user is told why and the previous image and
// showTexture stay. Hint 20 follows a loaded image and a refused size.
// Returns true when the new image is in the model.
bool openTexturePath(const std::string& path);

// Enabling: Open Texture image needs a current model with texture
// coordinates, Display Texture a model with an image, the textured pattern
// window a finished unfolding as well.
bool canOpenTexture();
bool canDisplayTexture();
bool canOpenTextureWindow();

} // namespace nettor
