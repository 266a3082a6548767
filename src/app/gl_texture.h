#pragma once
// Texture images in the current OpenGL context.
#include <QtGui/qopengl.h>

#include <cstdint>
#include <map>

class QOpenGLFunctions_1_1;

namespace nettor {
struct TextureImage;
}

// The texture objects of one context, one per image, made on first use (an
// image whose sides are not powers of two is resampled) and deleted when a
// frame no longer uses them. Make the context current around every call.
class GlTextureCache {
public:
    // Binds the image's texture and enables texturing (repeat, nearest,
    // modulate); false, with texturing off, for no image or a broken one.
    bool bind(QOpenGLFunctions_1_1& gl, const nettor::TextureImage* image);
    // Deletes the textures not bound since the last call.
    void endFrame(QOpenGLFunctions_1_1& gl);
    // Deletes all of them (before the context goes).
    void clear(QOpenGLFunctions_1_1& gl);

private:
    struct Entry {
        GLuint name = 0;
        bool used = false;
    };
    std::map<std::uint64_t, Entry> textures_; // by image serial
};
