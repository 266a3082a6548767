// Written bitmaps: header fields from the file layout, row padding at every
// width, and a round trip through the reader.
#include "formats/read_bmp.h"
#include "formats/write_bmp.h"

#include <gtest/gtest.h>

using namespace nettor;

namespace {

std::uint32_t u32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + std::size_t(i)]);
    return v;
}

std::vector<std::uint8_t> picture(int width, int height)
{
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < width * height * 3; ++i) rgb.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return rgb;
}

} // namespace

TEST(WriteBmp, RowsArePaddedToFourBytesForEveryDepth)
{
    EXPECT_EQ(bitmapRowBytes(1, 1), 4u);
    EXPECT_EQ(bitmapRowBytes(33, 1), 8u);
    EXPECT_EQ(bitmapRowBytes(9, 4), 8u);
    EXPECT_EQ(bitmapRowBytes(5, 8), 8u);
    EXPECT_EQ(bitmapRowBytes(3, 16), 8u);
    EXPECT_EQ(bitmapRowBytes(5, 24), 16u);
    EXPECT_EQ(bitmapRowBytes(3, 32), 12u);
    EXPECT_EQ(bitmapRowBytes(0, 24), 0u);
}

TEST(WriteBmp, HeadersAndRoundTrip)
{
    for (int bits : {24, 32}) {
        for (int width : {1, 2, 3, 5}) {
            const int height = 3;
            const std::vector<std::uint8_t> rgb = picture(width, height);
            const std::string file = encodeBitmapFile(width, height, rgb, bits);
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            const std::uint32_t stride = std::uint32_t((width * bits + 31) / 32 * 4);
            ASSERT_EQ(file.size(), 54u + stride * height);
            EXPECT_EQ(file.substr(0, 2), "BM");
            EXPECT_EQ(u32(file, 2), file.size());
            EXPECT_EQ(u32(file, 10), 54u);
            EXPECT_EQ(u32(file, 14), 40u);
            EXPECT_EQ(u32(file, 18), std::uint32_t(width));
            EXPECT_EQ(u32(file, 22), std::uint32_t(height));
            EXPECT_EQ(u32(file, 28) & 0xFFFF, std::uint32_t(bits));
            EXPECT_EQ(u32(file, 34), stride * height);
            // The first stored pixel is the bottom-left one, blue first.
            const std::size_t bottomLeft = std::size_t(height - 1) * std::size_t(width) * 3;
            EXPECT_EQ(static_cast<unsigned char>(file[54]), rgb[bottomLeft + 2]);
            EXPECT_EQ(static_cast<unsigned char>(file[56]), rgb[bottomLeft]);

            const DecodedBitmap d = decodeBitmap(file);
            ASSERT_NE(d.image, nullptr);
            std::vector<std::uint8_t> topDown;
            for (int row = height - 1; row >= 0; --row)
                topDown.insert(topDown.end(), d.image->pixels.begin() + row * width * 3,
                               d.image->pixels.begin() + (row + 1) * width * 3);
            EXPECT_EQ(topDown, rgb);
        }
    }
}

TEST(WriteBmp, MismatchedInputGivesNothing)
{
    EXPECT_TRUE(encodeBitmapFile(2, 2, std::vector<std::uint8_t>(11), 32).empty());
    EXPECT_TRUE(encodeBitmapFile(0, 2, {}, 32).empty());
    EXPECT_TRUE(encodeBitmapFile(1, 1, std::vector<std::uint8_t>(3), 8).empty());
}
