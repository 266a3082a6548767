#include "app/gl_texture.h"

#include "model/mesh.h"

#include <QOpenGLFunctions_1_1>

bool loadTextureImage(QOpenGLFunctions_1_1& gl, const nettor::TextureImage* image)
{
    const bool usable = image && image->width > 0 && image->height > 0 &&
                        image->pixels.size() >= static_cast<std::size_t>(image->width) *
                                                    static_cast<std::size_t>(image->height) * 3u;
    if (!usable) {
        gl.glDisable(GL_TEXTURE_2D);
        return false;
    }
    gl.glEnable(GL_TEXTURE_2D);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                    image->pixels.data());
    return true;
}
