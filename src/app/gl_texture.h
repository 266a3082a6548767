#pragma once
// Loading the model's texture image into the current OpenGL context.
class QOpenGLFunctions_1_1;

namespace nettor {
struct TextureImage;
}

// Enables 2D texturing with the image (repeat, nearest, modulate) and
// returns true; with no image, or one whose pixels do not fill its size,
// disables texturing and returns false.
bool loadTextureImage(QOpenGLFunctions_1_1& gl, const nettor::TextureImage* image);
