// The image decoding of the materials' textures: every format against the
// picture that made it, bottom row first; pictures too large refused from
// their header before the decoder takes memory; damaged files refused.
#include "formats/image_decode.h"
#include "support/image_files.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace nettor;
using namespace nettor::test;

namespace {

// A picture whose every pixel tells where it is.
Rgb8 placeColour(int x, int y) { return Rgb8{std::uint8_t(x * 40), std::uint8_t(y * 60), std::uint8_t(200 - x * 10)}; }

void expectPicture(const std::string& bytes, int tolerance)
{
    const DecodedImage d = decodeImage(bytes);
    ASSERT_EQ(d.error, ImageError::None) << d.message;
    ASSERT_NE(d.image, nullptr);
    ASSERT_EQ(d.image->width, 5);
    ASSERT_EQ(d.image->height, 3);
    ASSERT_EQ(d.image->pixels.size(), 5u * 3u * 3u);
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 5; ++x) {
            const Rgb8 want = placeColour(x, 2 - row); // the bottom row comes first
            const unsigned char* got = &d.image->pixels[std::size_t(row * 5 + x) * 3u];
            EXPECT_NEAR(got[0], want.r, tolerance) << "x " << x << " row " << row;
            EXPECT_NEAR(got[1], want.g, tolerance) << "x " << x << " row " << row;
            EXPECT_NEAR(got[2], want.b, tolerance) << "x " << x << " row " << row;
        }
    }
    EXPECT_EQ(d.image->encoded, bytes);
}

std::string pngHeaderClaiming(std::uint32_t width, std::uint32_t height)
{
    std::string png = encodePng(2, 2, placeColour);
    for (int i = 0; i < 4; ++i) {
        png[16 + std::size_t(i)] = char((width >> (24 - 8 * i)) & 0xFF);
        png[20 + std::size_t(i)] = char((height >> (24 - 8 * i)) & 0xFF);
    }
    return png;
}

} // namespace

TEST(ImageDecode, EveryFormatGivesThePictureBottomRowFirst)
{
    expectPicture(encodePng(5, 3, placeColour), 0);
    expectPicture(encodeTga(5, 3, placeColour), 0);
    expectPicture(encodeBmp24(5, 3, placeColour), 0);
    // A small JPEG of smooth colours comes back close.
    const std::string jpeg = encodeJpeg(5, 3, [](int, int) { return Rgb8{200, 40, 90}; });
    const DecodedImage d = decodeImage(jpeg);
    ASSERT_NE(d.image, nullptr) << d.message;
    EXPECT_NEAR(d.image->pixels[0], 200, 6);
    EXPECT_NEAR(d.image->pixels[1], 40, 6);
    EXPECT_NEAR(d.image->pixels[2], 90, 6);
    // A one-pixel GIF with a two-colour table: red.
    const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                          ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                          35);
    const DecodedImage g = decodeImage(gif);
    ASSERT_NE(g.image, nullptr) << g.message;
    EXPECT_EQ(g.image->pixels, (std::vector<unsigned char>{255, 0, 0}));
}

TEST(ImageDecode, AnySizeIsTaken)
{
    const DecodedImage d = decodeImage(encodePng(300, 200, placeColour));
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(d.image->width, 300);
    EXPECT_EQ(d.image->height, 200);
}

TEST(ImageDecode, AHeaderClaimingTooManyPixelsIsRefusedBeforeAnyLargeAllocation)
{
    for (const auto& [w, h] : {std::pair{100000u, 100000u}, std::pair{16385u, 1u}, std::pair{16384u, 16384u}}) {
        resetDecoderAllocationRecord();
        const DecodedImage d = decodeImage(pngHeaderClaiming(w, h));
        EXPECT_EQ(d.error, ImageError::TooLarge) << w << " x " << h;
        EXPECT_EQ(d.image, nullptr);
        EXPECT_NE(d.message.find("too large"), std::string::npos) << d.message;
        EXPECT_LT(largestDecoderAllocation(), std::size_t(1) << 20) << w << " x " << h;
    }
    // 8192 x 8192 is exactly 256 MB at four bytes a pixel: its header passes,
    // and the damaged rows then refuse it.
    EXPECT_EQ(decodeImage(pngHeaderClaiming(8192, 8192)).error, ImageError::Damaged);
}

TEST(ImageDecode, DamagedOrUnknownBytesGiveAMessageAndNoImage)
{
    const std::string png = encodePng(40, 30, placeColour);
    // Cut anywhere inside the data, or with a byte turned, nothing crashes.
    for (std::size_t cut = 0; cut < png.size(); cut += 7) {
        const DecodedImage d = decodeImage(png.substr(0, cut));
        if (!d.image) {
            EXPECT_FALSE(d.message.empty()) << cut;
        }
    }
    std::srand(7);
    for (int trial = 0; trial < 200; ++trial) {
        std::string bad = png;
        bad[std::size_t(std::rand()) % bad.size()] ^= char(1 + std::rand() % 255);
        const DecodedImage d = decodeImage(bad);
        if (d.image) {
            EXPECT_EQ(d.image->pixels.size(), std::size_t(d.image->width) * std::size_t(d.image->height) * 3u);
        }
    }
    // A JPEG Huffman table of 298 codes is refused before the decoder would
    // write past its tables.
    const std::string badTable("\xff\xd8\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x02"
                               "\x11\x01\x03\x11\x01\xff\xc4\x00\xff\xd9",
                               27);
    EXPECT_EQ(decodeImage(badTable).error, ImageError::Damaged);
    // So is it behind fill bytes before the start marker, which the decoder skips.
    EXPECT_EQ(decodeImage(std::string(40, '\xff') + badTable.substr(1)).error, ImageError::Damaged);
    // A PNG with an empty data chunk still decodes.
    std::string emptyData = png.substr(0, 33) + std::string("\0\0\0\0IDAT\x35\xaf\x06\x1e", 12) + png.substr(33);
    EXPECT_NE(decodeImage(emptyData).image, nullptr);
    const DecodedImage text = decodeImage("just some text");
    EXPECT_EQ(text.error, ImageError::Unrecognised);
    EXPECT_EQ(loadImageFile("/nonexistent/picture.png").error, ImageError::CannotOpen);
}
