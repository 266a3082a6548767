#include "formats/image_decode.h"

#include "formats/image_precheck.h"
#include "formats/read_bmp.h"
#include "formats/text_file.h"

#include <stb_image.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace nettor {

namespace {

struct StbPixels {
    unsigned char* data = nullptr;
    ~StbPixels() { stbi_image_free(data); }
};

DecodedImage imageFailure(ImageError error, std::string message)
{
    DecodedImage out;
    out.error = error;
    out.message = std::move(message);
    return out;
}

bool withinLimits(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= maxImageSide && height <= maxImageSide &&
           std::uint64_t(width) * std::uint64_t(height) * 4u <= maxImageBytes;
}

std::string tooLargeMessage(std::int64_t width, std::int64_t height)
{
    return "The image is too large (" + std::to_string(width) + " x " + std::to_string(height) +
           " pixels): at most " + std::to_string(maxImageSide) + " pixels on a side and " +
           std::to_string(maxImageBytes >> 20) + " MB decoded are taken.";
}

// A bitmap the library cannot take (run-length encoded, for one) through
// the program's own bitmap reader, whose rows come bottom row first.
DecodedImage decodeWithBitmapReader(std::string_view bytes)
{
    DecodedBitmap bitmap = decodeBitmap(bytes, maxImageBytes / 4u);
    if (bitmap.error != BitmapError::None || !bitmap.image)
        return imageFailure(ImageError::Damaged, "The image is damaged or of an unsupported kind.");
    DecodedImage out;
    out.image = std::move(bitmap.image);
    return out;
}

std::uint32_t bigEndian32(std::string_view b, std::size_t at)
{
    return (std::uint32_t(static_cast<unsigned char>(b[at])) << 24) |
           (std::uint32_t(static_cast<unsigned char>(b[at + 1])) << 16) |
           (std::uint32_t(static_cast<unsigned char>(b[at + 2])) << 8) | std::uint32_t(static_cast<unsigned char>(b[at + 3]));
}

// The size a PNG or BMP header claims, read where the library refuses the
// header itself for its size (it gives no reason then).
bool claimedSize(std::string_view b, std::int64_t& width, std::int64_t& height)
{
    if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8) && b.substr(12, 4) == "IHDR") {
        width = bigEndian32(b, 16);
        height = bigEndian32(b, 20);
        return true;
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        const auto le = [&](std::size_t at) {
            return std::int32_t(std::uint32_t(static_cast<unsigned char>(b[at])) |
                                (std::uint32_t(static_cast<unsigned char>(b[at + 1])) << 8) |
                                (std::uint32_t(static_cast<unsigned char>(b[at + 2])) << 16) |
                                (std::uint32_t(static_cast<unsigned char>(b[at + 3])) << 24));
        };
        width = le(18);
        height = std::abs(std::int64_t(le(22)));
        return true;
    }
    return false;
}

} // namespace

bool imageHeaderSize(std::string_view bytes, std::int32_t& width, std::int32_t& height)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
    if (!jpegTablesSound(bytes)) return false; // the library would write past its tables
    int w = 0, h = 0, components = 0;
    if (!stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w,
                               &h, &components))
        return false;
    width = w;
    height = h;
    return true;
}

DecodedImage decodeImage(std::string_view bytes)
{
    const bool bitmap = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    std::int32_t width = 0, height = 0;
    if (!imageHeaderSize(bytes, width, height)) {
        std::int64_t claimedWidth = 0, claimedHeight = 0;
        if (claimedSize(bytes, claimedWidth, claimedHeight) && !withinLimits(claimedWidth, claimedHeight))
            return imageFailure(ImageError::TooLarge, tooLargeMessage(claimedWidth, claimedHeight));
        if (bitmap) return decodeWithBitmapReader(bytes);
        if (!jpegTablesSound(bytes)) return imageFailure(ImageError::Damaged, "The image is damaged or of an unsupported kind.");
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return imageFailure(ImageError::TooLarge, tooLargeMessage(0, 0));
        return imageFailure(ImageError::Unrecognised, "The file is not a PNG, JPEG, TGA, BMP or GIF image.");
    }
    if (!withinLimits(width, height)) return imageFailure(ImageError::TooLarge, tooLargeMessage(width, height));

    const std::optional<std::string> cleaned = pngWithoutEmptyData(bytes);
    const std::string_view input = cleaned ? std::string_view(*cleaned) : bytes;

    StbPixels decoded;
    int w = 0, h = 0, components = 0;
    decoded.data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(input.data()),
                                         static_cast<int>(input.size()), &w, &h, &components, 3);
    if (!decoded.data || !withinLimits(w, h)) {
        if (bitmap) return decodeWithBitmapReader(bytes);
        return imageFailure(ImageError::Damaged, "The image is damaged or of an unsupported kind.");
    }

    DecodedImage out;
    out.image = std::make_unique<TextureImage>();
    TextureImage& image = *out.image;
    image.width = w;
    image.height = h;
    const std::size_t row = std::size_t(w) * 3u;
    image.pixels.resize(row * std::size_t(h));
    // The library gives the top row first; texture images start at the bottom.
    for (int y = 0; y < h; ++y)
        std::memcpy(image.pixels.data() + std::size_t(h - 1 - y) * row, decoded.data + std::size_t(y) * row, row);
    image.encoded.assign(bytes.data(), bytes.size());
    return out;
}

DecodedImage loadImageFile(const std::string& path)
{
    auto bytes = readWholeFile(path);
    if (!bytes) return imageFailure(ImageError::CannotOpen, "The file cannot be opened.");
    DecodedImage out = decodeImage(*bytes);
    if (out.image) out.image->source = path;
    return out;
}

} // namespace nettor
