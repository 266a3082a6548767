// The bitmap reader: every stored form against the picture that made it,
// and damaged files, which must give a clear error and no image.
#include "formats/read_bmp.h"
#include "support/bmp_encoder.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

#include <limits>

using namespace nettor;
using namespace nettor::test;

namespace {

void put32At(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) s[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

void expectDecodes(const BmpSpec& spec)
{
    const DecodedBitmap d = decodeBitmap(encodeBmp(spec));
    ASSERT_EQ(d.error, BitmapError::None);
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(d.image->width, spec.width);
    EXPECT_EQ(d.image->height, spec.height);
    const std::vector<std::uint8_t> want = expectedPixels(spec);
    ASSERT_EQ(d.image->pixels.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (d.image->pixels[i] != want[i]) {
            ADD_FAILURE() << "pixel " << i / 3 << " (x " << (i / 3) % std::size_t(spec.width) << ", row "
                          << (i / 3) / std::size_t(spec.width) << ") channel " << i % 3 << ": got "
                          << int(d.image->pixels[i]) << ", want " << int(want[i]);
            return;
        }
    }
}

} // namespace

TEST(ReadBmp, HandWrittenThreeByTwoTwentyFourBit)
{
    // Rows of 9 bytes padded to 12, bottom row first, each pixel blue, green, red.
    std::string file = std::string("BM") + std::string(12, '\0');
    std::string info(40, '\0');
    put32At(info, 0, 40);
    put32At(info, 4, 3);
    put32At(info, 8, 2);
    info[12] = 1;
    info[14] = 24;
    const std::string rows = std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12) +
                             std::string("\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\0\0\0", 12);
    file += info + rows;
    put32At(file, 2, std::uint32_t(file.size()));
    put32At(file, 10, 54);
    const DecodedBitmap d = decodeBitmap(file);
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(d.image->width, 3);
    EXPECT_EQ(d.image->height, 2);
    EXPECT_EQ(d.image->pixels, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(ReadBmp, EveryDepthHeaderAndRowOrder)
{
    // Widths that leave partial bytes and row padding at every depth.
    unsigned seed = 1;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool fileHeader : {true, false}) {
            for (bool topDown : {false, true}) {
                for (int width : {1, 5, 13}) {
                    BmpSpec spec = randomBmp(width, 4, bits, seed++);
                    spec.fileHeader = fileHeader;
                    spec.topDown = topDown;
                    SCOPED_TRACE(testing::Message() << bits << " bits, width " << width
                                                    << (fileHeader ? ", file header" : ", bare")
                                                    << (topDown ? ", top-down" : ", bottom-up"));
                    expectDecodes(spec);
                }
            }
        }
    }
}

TEST(ReadBmp, CoreHeaderWithThreeByteColourEntries)
{
    unsigned seed = 100;
    for (int bits : {1, 4, 8, 24}) {
        for (bool fileHeader : {true, false}) {
            BmpSpec spec = randomBmp(7, 3, bits, seed++);
            spec.headerSize = 12;
            spec.fileHeader = fileHeader;
            SCOPED_TRACE(testing::Message() << bits << " bits" << (fileHeader ? ", file header" : ", bare"));
            expectDecodes(spec);
        }
    }
}

TEST(ReadBmp, ShortColourTableAndIndicesPastIt)
{
    // Five colours in use: the bare form's pixels follow the short table, and
    // an index beyond it shows black rather than reading past the table.
    for (bool fileHeader : {true, false}) {
        BmpSpec spec = randomBmp(6, 2, 8, 7);
        spec.fileHeader = fileHeader;
        spec.colorsUsed = 5;
        spec.palette.resize(5);
        for (std::size_t i = 0; i < spec.values.size(); ++i) spec.values[i] = std::uint32_t(i % 7);
        SCOPED_TRACE(fileHeader ? "file header" : "bare");
        expectDecodes(spec);
        const DecodedBitmap d = decodeBitmap(encodeBmp(spec));
        ASSERT_NE(d.image, nullptr);
        EXPECT_EQ(d.image->pixels[3 * 5], 0);
        EXPECT_EQ(d.image->pixels[3 * 6 + 1], 0);
    }
}

TEST(ReadBmp, BitFieldMasks)
{
    BmpSpec rgb565 = randomBmp(5, 3, 16, 11);
    rgb565.compression = 3;
    rgb565.masks[0] = 0xF800;
    rgb565.masks[1] = 0x07E0;
    rgb565.masks[2] = 0x001F;
    rgb565.values[0] = 0xF800; // pure red
    rgb565.values[1] = 0x07E0; // pure green
    rgb565.values[2] = 0xFFFF;
    expectDecodes(rgb565);
    const DecodedBitmap d = decodeBitmap(encodeBmp(rgb565));
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(d.image->pixels.begin(), d.image->pixels.begin() + 9),
              (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 255, 255, 255}));

    // Masks in an unusual order with a 10-bit channel.
    BmpSpec odd = randomBmp(4, 2, 32, 12);
    odd.compression = 3;
    odd.masks[0] = 0x000003FF;
    odd.masks[1] = 0x000FFC00;
    odd.masks[2] = 0xFFF00000;
    for (std::uint32_t& v : odd.values) v = v * 2654435761u;
    odd.bits = 32;
    expectDecodes(odd);
}

TEST(ReadBmp, SixteenBitsWithoutMasksAreFiveFiveFive)
{
    BmpSpec spec = randomBmp(3, 1, 16, 3);
    spec.values = {0x7C00, 0x03E0, 0x801F}; // the top bit is unused
    const DecodedBitmap d = decodeBitmap(encodeBmp(spec));
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(d.image->pixels, (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

TEST(ReadBmp, RunLengthForms)
{
    unsigned seed = 200;
    for (std::uint32_t compression : {1u, 2u}) {
        for (bool fileHeader : {true, false}) {
            for (int width : {1, 2, 9, 40}) {
                BmpSpec spec = randomBmp(width, 5, compression == 1 ? 8 : 4, seed++);
                spec.compression = compression;
                spec.fileHeader = fileHeader;
                SCOPED_TRACE(testing::Message() << "RLE" << (compression == 1 ? 8 : 4) << ", width " << width
                                                << (fileHeader ? ", file header" : ", bare"));
                expectDecodes(spec);
            }
        }
    }
}

TEST(ReadBmp, RunLengthJumpsAndOverlongRuns)
{
    // 4 x 3, RLE8: row 0 gets a run of 200 pixels (clipped to 4), the line
    // ends, a jump of (1, 1) lands in row 2 at x 1, one pixel is written
    // there, and the bitmap ends; everything not written stays black.
    BmpSpec spec = randomBmp(4, 3, 8, 5);
    spec.compression = 1;
    std::string file = encodeBmp(spec);
    const std::size_t pixelsAt = 14 + 40 + 256 * 4;
    file.resize(pixelsAt);
    file += std::string("\xC8\x03\x00\x00\x00\x02\x01\x01\x01\x07\x00\x01", 12);
    const DecodedBitmap d = decodeBitmap(file);
    ASSERT_NE(d.image, nullptr);
    std::vector<std::uint8_t> want(4 * 3 * 3, 0);
    for (int x = 0; x < 4; ++x)
        for (int c = 0; c < 3; ++c) want[std::size_t(3 * x + c)] = spec.palette[3][std::size_t(c)];
    for (int c = 0; c < 3; ++c) want[std::size_t(3 * (8 + 1) + c)] = spec.palette[7][std::size_t(c)];
    EXPECT_EQ(d.image->pixels, want);
}

TEST(ReadBmp, EveryTruncationIsRefused)
{
    BmpSpec palette = randomBmp(5, 3, 8, 21);
    BmpSpec rle = randomBmp(9, 3, 8, 22);
    rle.compression = 1;
    BmpSpec core = randomBmp(3, 2, 4, 23);
    core.headerSize = 12;
    core.fileHeader = false;
    BmpSpec fields = randomBmp(2, 2, 32, 24);
    fields.compression = 3;
    fields.masks[0] = 0xFF0000;
    fields.masks[1] = 0xFF00;
    fields.masks[2] = 0xFF;
    for (const BmpSpec& spec : {randomBmp(3, 2, 24, 20), palette, rle, core, fields}) {
        const std::string file = encodeBmp(spec);
        ASSERT_EQ(decodeBitmap(file).error, BitmapError::None);
        for (std::size_t n = 0; n < file.size(); ++n) {
            const DecodedBitmap d = decodeBitmap(std::string_view(file).substr(0, n));
            EXPECT_EQ(d.error, BitmapError::ConversionError) << "length " << n << " of " << file.size();
            EXPECT_EQ(d.image, nullptr);
        }
    }
}

TEST(ReadBmp, SizesOutsideTheRangeAreRefusedBeforeAnyAllocation)
{
    // A pixel limit of 1 turns an allocation into an out-of-memory result, so
    // a conversion error proves the header was refused first.
    const std::string good = encodeBmp(randomBmp(4, 4, 24, 30));
    struct Case {
        std::uint32_t width, height;
    };
    for (Case c : {Case{0, 4}, Case{4, 0}, Case{16385, 1}, Case{1, 16385}, Case{0x7FFFFFFF, 1}, Case{0xFFFFFFFF, 4},
                   Case{4, 0x80000000u}, Case{16384, 16384}, Case{32768, 1}, Case{4, 0xFFFFBFFF}}) {
        std::string file = good;
        put32At(file, 18, c.width);
        put32At(file, 22, c.height);
        const DecodedBitmap d = decodeBitmap(file, 1);
        EXPECT_EQ(d.error, BitmapError::ConversionError) << c.width << " x " << std::int32_t(c.height);
    }
    // A header that fits in the file but asks for more than the limit.
    EXPECT_EQ(decodeBitmap(good, 15).error, BitmapError::OutOfMemory);
    EXPECT_EQ(decodeBitmap(good, 16).error, BitmapError::None);
}

TEST(ReadBmp, RunLengthDataMayNotClaimAHugeImageCheaplyPastTheLimit)
{
    // A valid 16384 x 16384 run-length header with an immediate end of
    // bitmap: accepted by the checks, then limited by memory.
    BmpSpec spec = randomBmp(1, 1, 8, 31);
    spec.compression = 1;
    std::string file = encodeBmp(spec);
    put32At(file, 18, 16384);
    put32At(file, 22, 16384);
    EXPECT_EQ(decodeBitmap(file, 1 << 20).error, BitmapError::OutOfMemory);
}

TEST(ReadBmp, OffsetsAndColourCountsOutsideTheFile)
{
    const BmpSpec spec = randomBmp(4, 2, 8, 40);
    const std::string good = encodeBmp(spec);
    const auto refused = [](const std::string& file) { return decodeBitmap(file).error == BitmapError::ConversionError; };

    for (std::uint32_t offset : {std::uint32_t(good.size()), std::uint32_t(good.size() - 1), 0xFFFFFFFFu, 0x80000000u}) {
        std::string f = good;
        put32At(f, 10, offset);
        EXPECT_TRUE(refused(f)) << "pixel offset " << offset;
    }
    for (std::uint32_t used : {257u, 1000u, 0xFFFFFFFFu}) {
        std::string f = good;
        put32At(f, 46, used);
        EXPECT_TRUE(refused(f)) << "colours used " << used;
    }
    BmpSpec four = randomBmp(4, 2, 4, 41);
    std::string f4 = encodeBmp(four);
    put32At(f4, 46, 17); // more colours than 4 bits can address
    EXPECT_TRUE(refused(f4));

    // A colour table that runs past the end of a bare bitmap.
    BmpSpec bare = randomBmp(2, 2, 1, 42);
    bare.fileHeader = false;
    std::string fb = encodeBmp(bare);
    put32At(fb, 32, 200);
    EXPECT_TRUE(refused(fb));

    // A header size that runs past the end of the file.
    std::string tiny("\x28\0\0\0\x01\0\0\0", 8);
    EXPECT_TRUE(refused(tiny));
}

TEST(ReadBmp, UnsupportedHeadersAndForms)
{
    const std::string good = encodeBmp(randomBmp(4, 2, 24, 50));
    for (std::uint32_t size : {0u, 56u, 64u, 108u, 124u, 0xFFFFFFFFu}) {
        std::string f = good;
        put32At(f, 14, size);
        EXPECT_EQ(decodeBitmap(f).error, BitmapError::UnknownFormat) << size;
    }
    struct Form {
        int bits;
        std::uint32_t compression;
        bool topDown;
    };
    for (Form form : {Form{2, 0, false}, Form{0, 0, false}, Form{24, 1, false}, Form{8, 2, false}, Form{8, 1, true},
                      Form{4, 2, true}, Form{24, 3, false}, Form{8, 4, false}, Form{32, 6, false}}) {
        BmpSpec spec = randomBmp(4, 2, form.bits == 2 || form.bits == 0 ? 8 : form.bits, 51);
        spec.compression = form.compression == 3 || form.compression <= 2 ? form.compression : 0;
        spec.topDown = form.topDown;
        std::string f = encodeBmp(spec);
        f[28] = char(form.bits);
        put32At(f, 30, form.compression);
        EXPECT_EQ(decodeBitmap(f).error, BitmapError::ConversionError)
            << form.bits << " bits, compression " << form.compression << (form.topDown ? ", top-down" : "");
    }
    // The core header knows no 16- or 32-bit pixels.
    BmpSpec core = randomBmp(2, 2, 24, 52);
    core.headerSize = 12;
    std::string fc = encodeBmp(core);
    fc[14 + 10] = 16;
    EXPECT_EQ(decodeBitmap(fc).error, BitmapError::ConversionError);
}

TEST(ReadBmp, LoadBitmapTellsTheUserWhy)
{
    RecordingListener ui;
    EXPECT_EQ(loadBitmap("/nonexistent/dir/none.bmp", &ui), nullptr);
    const std::string empty = writeTempFile("empty.bmp", "");
    EXPECT_EQ(loadBitmap(empty, &ui), nullptr);
    std::string unknown = encodeBmp(randomBmp(2, 2, 24, 60));
    put32At(unknown, 14, 108);
    EXPECT_EQ(loadBitmap(writeTempFile("v4.bmp", unknown), &ui), nullptr);
    EXPECT_EQ(loadBitmap(writeTempFile("cut.bmp", unknown.substr(0, 20).replace(14, 1, "\x28")), &ui), nullptr);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Failed to open DIB file /nonexistent/dir/none.bmp.\n",
                                                     "Failed to open DIB file " + empty + ".\n",
                                                     "Unknown DIB file format.", "Image file conversion error."}));

    ui.messages.clear();
    const BmpSpec spec = randomBmp(8, 4, 8, 61);
    const auto image = loadBitmap(writeTempFile("ok.bmp", encodeBmp(spec)), &ui);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels, expectedPixels(spec));
    EXPECT_TRUE(ui.messages.empty());
}
