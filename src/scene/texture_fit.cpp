#include "scene/texture_fit.h"

#include <algorithm>
#include <cmath>

namespace nettor {

std::int32_t fittingTextureSide(std::int32_t side, std::int32_t maxSide)
{
    std::int32_t out = 1;
    while (out < side && out <= maxSide / 2) out *= 2;
    return out;
}

bool textureFits(const TextureImage& image, std::int32_t maxSide)
{
    return image.width >= 1 && image.height >= 1 && image.width <= maxSide && image.height <= maxSide &&
           (image.width & (image.width - 1)) == 0 && (image.height & (image.height - 1)) == 0;
}

TextureImage fitTextureImage(const TextureImage& image, std::int32_t maxSide)
{
    TextureImage out;
    out.width = fittingTextureSide(image.width, maxSide);
    out.height = fittingTextureSide(image.height, maxSide);
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height) * 3u, 255);
    const std::size_t need = std::size_t(std::max(0, image.width)) * std::size_t(std::max(0, image.height)) * 3u;
    if (image.width < 1 || image.height < 1 || image.pixels.size() < need) return out;

    const auto at = [&](std::int32_t x, std::int32_t y, int c) {
        return double(image.pixels[(std::size_t(y) * std::size_t(image.width) + std::size_t(x)) * 3u + std::size_t(c)]);
    };
    const double sx = double(image.width) / out.width, sy = double(image.height) / out.height;
    for (std::int32_t y = 0; y < out.height; ++y) {
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, double(image.height - 1));
        const auto y0 = static_cast<std::int32_t>(fy);
        const std::int32_t y1 = std::min(y0 + 1, image.height - 1);
        const double ty = fy - y0;
        for (std::int32_t x = 0; x < out.width; ++x) {
            const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, double(image.width - 1));
            const auto x0 = static_cast<std::int32_t>(fx);
            const std::int32_t x1 = std::min(x0 + 1, image.width - 1);
            const double tx = fx - x0;
            for (int c = 0; c < 3; ++c) {
                const double top = at(x0, y0, c) * (1 - tx) + at(x1, y0, c) * tx;
                const double bottom = at(x0, y1, c) * (1 - tx) + at(x1, y1, c) * tx;
                out.pixels[(std::size_t(y) * std::size_t(out.width) + std::size_t(x)) * 3u + std::size_t(c)] =
                    static_cast<unsigned char>(std::lround(top * (1 - ty) + bottom * ty));
            }
        }
    }
    return out;
}

} // namespace nettor
