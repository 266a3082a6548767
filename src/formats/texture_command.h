#pragma once
// The size rule of texture bitmaps and the message for one that breaks it.
#include <cstdint>
#include <string>

namespace nettor {

// Texture sides must be a power of two from 1 to 16384.
bool isTextureSide(std::int32_t side);

// The message for a bitmap whose sides break that rule.
inline constexpr const char* textureSizeMessage =
    "The size of Texture image must be 2^n for some integer n.\n(ex. 128, 256...)";

} // namespace nettor
