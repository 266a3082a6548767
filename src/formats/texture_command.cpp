// Beside the bitmap reader it calls; it changes only the shared state below it.
#include "formats/texture_command.h"

#include "formats/read_bmp.h"
#include "state/app_state.h"

namespace nettor {

bool isTextureSide(std::int32_t side)
{
    return side >= 1 && side <= maxBitmapSide && (side & (side - 1)) == 0;
}

bool openTexturePath(const std::string& path)
{
    AppState& state = appState();
    if (!state.model) return false;
    std::unique_ptr<TextureImage> image = loadBitmap(path);
    if (!image) return false;
    if (!isTextureSide(image->width) || !isTextureSide(image->height)) {
        showMessage(textureSizeMessage);
        sendHint(20);
        return false;
    }
    state.model->textureImage = std::move(image);
    state.showTexture = true;
    sendHint(20);
    return true;
}

bool canOpenTexture()
{
    const AppState& state = appState();
    return state.model && state.model->hasTexCoords;
}

bool canDisplayTexture()
{
    const AppState& state = appState();
    return state.model && state.model->textureImage;
}

bool canOpenTextureWindow()
{
    const AppState& state = appState();
    return state.status.finished && canDisplayTexture();
}

} // namespace nettor
