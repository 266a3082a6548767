// Bitmap decoding: header checks first, then one pass over the stored rows.
#include "formats/read_bmp.h"

#include "state/engine_state.h"

#include <array>
#include <bit>
#include <fstream>
#include <iterator>
#include <new>

namespace nettor {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;

enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct Bytes {
    std::string_view data;

    bool fits(std::uint64_t at, std::uint64_t n) const { return at <= data.size() && data.size() - at >= n; }
    std::uint8_t u8(std::size_t at) const { return static_cast<std::uint8_t>(data[at]); }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(u8(at) | (u8(at + 1) << 8)); }
    std::uint32_t u32(std::size_t at) const
    {
        return std::uint32_t(u8(at)) | (std::uint32_t(u8(at + 1)) << 8) | (std::uint32_t(u8(at + 2)) << 16) |
               (std::uint32_t(u8(at + 3)) << 24);
    }
};

struct Layout {
    std::int64_t width = 0;
    std::int64_t rows = 0;       // the absolute height
    bool topDown = false;
    std::uint32_t bits = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t masks[3] = {0, 0, 0};
    std::uint32_t colourCount = 0;
    std::size_t tableAt = 0;
    std::size_t entrySize = 4;
    std::size_t pixelsAt = 0;
};

std::uint32_t colourCountForBits(std::uint32_t bits)
{
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

bool supportedBits(std::uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t rowStride(std::int64_t width, std::uint32_t bits)
{
    return ((std::uint64_t(width) * bits + 31) / 32) * 4;
}

// Reads and checks every header; nothing is allocated here.
BitmapError readLayout(const Bytes& in, Layout& out)
{
    std::size_t base = 0;
    bool fileHeader = false;
    std::uint32_t pixelOffset = 0;
    if (in.fits(0, 2) && in.data[0] == 'B' && in.data[1] == 'M') {
        if (!in.fits(0, kFileHeaderSize)) return BitmapError::ConversionError;
        fileHeader = true;
        pixelOffset = in.u32(10);
        base = kFileHeaderSize;
    }
    if (!in.fits(base, 4)) return BitmapError::ConversionError;
    const std::uint32_t headerSize = in.u32(base);
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize) return BitmapError::UnknownFormat;
    if (!in.fits(base, headerSize)) return BitmapError::ConversionError;

    std::uint32_t colourCount = 0;
    std::size_t masksSize = 0;
    if (headerSize == kCoreHeaderSize) {
        out.width = in.u16(base + 4);
        out.rows = in.u16(base + 6);
        out.bits = in.u16(base + 10);
        out.entrySize = 3;
        if (out.bits != 1 && out.bits != 4 && out.bits != 8 && out.bits != 24) return BitmapError::ConversionError;
        colourCount = colourCountForBits(out.bits);
    } else {
        out.width = static_cast<std::int32_t>(in.u32(base + 4));
        const std::int64_t height = static_cast<std::int32_t>(in.u32(base + 8));
        out.topDown = height < 0;
        out.rows = height < 0 ? -height : height;
        out.bits = in.u16(base + 14);
        out.compression = in.u32(base + 16);
        const std::uint32_t used = in.u32(base + 32);
        out.entrySize = 4;
        if (!supportedBits(out.bits)) return BitmapError::ConversionError;
        colourCount = used != 0 ? used : colourCountForBits(out.bits);
        switch (out.compression) {
        case Rgb: break;
        case Rle8:
            if (out.bits != 8 || out.topDown) return BitmapError::ConversionError;
            break;
        case Rle4:
            if (out.bits != 4 || out.topDown) return BitmapError::ConversionError;
            break;
        case BitFields:
            if (out.bits != 16 && out.bits != 32) return BitmapError::ConversionError;
            masksSize = 12;
            if (!in.fits(base + headerSize, masksSize)) return BitmapError::ConversionError;
            for (int i = 0; i < 3; ++i) out.masks[i] = in.u32(base + headerSize + 4 * std::size_t(i));
            break;
        default: return BitmapError::ConversionError;
        }
    }
    if (out.width < 1 || out.width > maxBitmapSide || out.rows < 1 || out.rows > maxBitmapSide)
        return BitmapError::ConversionError;
    if (colourCount > 256 || (out.bits <= 8 && colourCount > (1u << out.bits))) return BitmapError::ConversionError;
    out.colourCount = colourCount;

    out.tableAt = base + headerSize + masksSize;
    const std::uint64_t tableSize = std::uint64_t(colourCount) * out.entrySize;
    if (!in.fits(out.tableAt, tableSize)) return BitmapError::ConversionError;
    out.pixelsAt = fileHeader ? pixelOffset : out.tableAt + static_cast<std::size_t>(tableSize);
    if (!in.fits(out.pixelsAt, 0)) return BitmapError::ConversionError;
    if (out.compression == Rgb || out.compression == BitFields) {
        if (!in.fits(out.pixelsAt, rowStride(out.width, out.bits) * std::uint64_t(out.rows)))
            return BitmapError::ConversionError;
    }
    return BitmapError::None;
}

// A channel of a packed pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (max == 0) return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

class Decoder {
public:
    Decoder(const Bytes& in, const Layout& layout, TextureImage& image) : in_(in), l_(layout), image_(image)
    {
        for (std::uint32_t i = 0; i < l_.colourCount; ++i) {
            const std::size_t at = l_.tableAt + i * l_.entrySize;
            palette_[i] = {in_.u8(at + 2), in_.u8(at + 1), in_.u8(at)};
        }
    }

    bool run()
    {
        switch (l_.compression) {
        case Rle8: return runLength(false);
        case Rle4: return runLength(true);
        default: uncompressed(); return true;
        }
    }

private:
    using Rgb3 = std::array<std::uint8_t, 3>;

    void put(std::int64_t x, std::int64_t y, const Rgb3& c)
    {
        if (x < 0 || x >= l_.width || y < 0 || y >= l_.rows) return;
        unsigned char* p = image_.pixels.data() + 3 * (std::size_t(y) * std::size_t(l_.width) + std::size_t(x));
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
    }
    // Indices past the colour table show black.
    const Rgb3& colour(std::uint32_t index) const { return palette_[index & 0xFF]; }

    void uncompressed()
    {
        const std::uint64_t stride = rowStride(l_.width, l_.bits);
        const bool fields = l_.compression == BitFields;
        const Channel red(fields ? l_.masks[0] : 0x7C00u), green(fields ? l_.masks[1] : 0x03E0u),
            blue(fields ? l_.masks[2] : 0x001Fu);
        for (std::int64_t y = 0; y < l_.rows; ++y) {
            const std::size_t row = l_.pixelsAt + std::size_t(stride * std::uint64_t(y));
            for (std::int64_t x = 0; x < l_.width; ++x) {
                const std::size_t ux = std::size_t(x);
                switch (l_.bits) {
                case 1: put(x, y, colour((in_.u8(row + ux / 8) >> (7 - ux % 8)) & 1)); break;
                case 4: put(x, y, colour((in_.u8(row + ux / 2) >> (ux % 2 ? 0 : 4)) & 0xF)); break;
                case 8: put(x, y, colour(in_.u8(row + ux))); break;
                case 16: {
                    const std::uint32_t v = in_.u16(row + 2 * ux);
                    put(x, y, {red(v), green(v), blue(v)});
                    break;
                }
                case 24: {
                    const std::size_t at = row + 3 * ux;
                    put(x, y, {in_.u8(at + 2), in_.u8(at + 1), in_.u8(at)});
                    break;
                }
                default: {
                    const std::size_t at = row + 4 * ux;
                    if (fields) {
                        const std::uint32_t v = in_.u32(at);
                        put(x, y, {red(v), green(v), blue(v)});
                    } else {
                        put(x, y, {in_.u8(at + 2), in_.u8(at + 1), in_.u8(at)});
                    }
                    break;
                }
                }
            }
        }
    }

    // Run-length data: pairs (count, value) and escapes for end of line, end
    // of bitmap, a jump and literal runs. Pixels skipped or never reached stay
    // black; pixels beyond the edges are dropped. Data that ends before the
    // end-of-bitmap escape while rows remain is damaged.
    bool runLength(bool nibbles)
    {
        const std::size_t end = in_.data.size();
        std::size_t pos = l_.pixelsAt;
        std::int64_t x = 0, y = 0;
        for (;;) {
            if (y >= l_.rows) return true;
            if (!in_.fits(pos, 2)) return false;
            const std::uint32_t count = in_.u8(pos), value = in_.u8(pos + 1);
            pos += 2;
            if (count > 0) {
                for (std::uint32_t i = 0; i < count; ++i) {
                    const std::uint32_t index = nibbles ? (i % 2 ? value & 0xF : value >> 4) : value;
                    put(x++, y, colour(index));
                }
                continue;
            }
            switch (value) {
            case 0: x = 0; ++y; break;
            case 1: return true;
            case 2:
                if (!in_.fits(pos, 2)) return false;
                x += in_.u8(pos);
                y += in_.u8(pos + 1);
                pos += 2;
                break;
            default: {
                const std::size_t n = value;
                const std::size_t bytes = nibbles ? (n + 1) / 2 : n;
                const std::size_t padded = bytes + (bytes % 2);
                if (pos > end || end - pos < padded) return false;
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint32_t b = in_.u8(pos + (nibbles ? i / 2 : i));
                    put(x++, y, colour(nibbles ? (i % 2 ? b & 0xF : b >> 4) : b));
                }
                pos += padded;
                break;
            }
            }
        }
    }

    const Bytes& in_;
    const Layout& l_;
    TextureImage& image_;
    std::array<Rgb3, 256> palette_{};
};

} // namespace

DecodedBitmap decodeBitmap(std::string_view bytes, std::uint64_t pixelLimit)
{
    DecodedBitmap result;
    const Bytes in{bytes};
    Layout layout;
    result.error = readLayout(in, layout);
    if (result.error != BitmapError::None) return result;
    const std::uint64_t pixelCount = std::uint64_t(layout.width) * std::uint64_t(layout.rows);
    if (pixelCount > pixelLimit) {
        result.error = BitmapError::OutOfMemory;
        return result;
    }
    auto image = std::make_unique<TextureImage>();
    try {
        image->pixels.assign(std::size_t(pixelCount) * 3, 0);
    } catch (const std::bad_alloc&) {
        result.error = BitmapError::OutOfMemory;
        return result;
    }
    image->width = static_cast<std::int32_t>(layout.width);
    image->height = static_cast<std::int32_t>(layout.rows);
    if (!Decoder(in, layout, *image).run()) {
        result.error = BitmapError::ConversionError;
        return result;
    }
    result.image = std::move(image);
    return result;
}

std::string bitmapErrorMessage(BitmapError error, const std::string& path)
{
    switch (error) {
    case BitmapError::None: return {};
    case BitmapError::CannotOpen: return "Failed to open DIB file " + path + ".\n";
    case BitmapError::UnknownFormat: return "Unknown DIB file format.";
    case BitmapError::ConversionError: return "Image file conversion error.";
    case BitmapError::OutOfMemory: return "Out of memory.";
    }
    return {};
}

std::unique_ptr<TextureImage> loadBitmap(const std::string& path, UiListener* reporter)
{
    std::string bytes;
    BitmapError error = BitmapError::None;
    try {
        std::ifstream file(path, std::ios::binary);
        if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        // An empty file cannot be mapped; neither can one that fails to read.
        if (!file || bytes.empty()) error = BitmapError::CannotOpen;
    } catch (const std::bad_alloc&) {
        error = BitmapError::OutOfMemory;
    } catch (const std::ios_base::failure&) {
        error = BitmapError::CannotOpen;
    }
    if (error == BitmapError::None) {
        DecodedBitmap decoded = decodeBitmap(bytes);
        if (decoded.image) return std::move(decoded.image);
        error = decoded.error;
    }
    tell(reporter, bitmapErrorMessage(error, path));
    return nullptr;
}

} // namespace nettor
