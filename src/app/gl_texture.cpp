#include "app/gl_texture.h"

#include "model/mesh.h"
#include "scene/texture_fit.h"

#include <QOpenGLFunctions_1_1>

namespace {

bool imageIsUsable(const nettor::TextureImage* image)
{
    return image && image->width > 0 && image->height > 0 &&
           image->pixels.size() >= static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 3u;
}

void setTextureParameters(QOpenGLFunctions_1_1& gl)
{
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace

bool GlTextureCache::bind(QOpenGLFunctions_1_1& gl, const nettor::TextureImage* image)
{
    if (!imageIsUsable(image)) {
        gl.glDisable(GL_TEXTURE_2D);
        return false;
    }
    Entry& entry = textures_[image->serial];
    entry.used = true;
    if (entry.name != 0) {
        gl.glBindTexture(GL_TEXTURE_2D, entry.name);
        gl.glEnable(GL_TEXTURE_2D);
        return true;
    }
    gl.glGenTextures(1, &entry.name);
    gl.glBindTexture(GL_TEXTURE_2D, entry.name);
    setTextureParameters(gl);
    GLint maxSide = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (maxSide < 64) maxSide = 64;
    if (nettor::textureFits(*image, maxSide)) {
        gl.glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                        image->pixels.data());
    } else {
        const nettor::TextureImage fitted = nettor::fitTextureImage(*image, maxSide);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, 3, fitted.width, fitted.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                        fitted.pixels.data());
    }
    gl.glEnable(GL_TEXTURE_2D);
    return true;
}

void GlTextureCache::endFrame(QOpenGLFunctions_1_1& gl)
{
    for (auto it = textures_.begin(); it != textures_.end();) {
        if (!it->second.used) {
            gl.glDeleteTextures(1, &it->second.name);
            it = textures_.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
    gl.glBindTexture(GL_TEXTURE_2D, 0);
}

void GlTextureCache::clear(QOpenGLFunctions_1_1& gl)
{
    for (auto& [serial, entry] : textures_) gl.glDeleteTextures(1, &entry.name);
    textures_.clear();
}
