// Buffered text with stream-default number formatting: the EPS files must
// read exactly as if every number had gone through a default std::ostream.
#include "formats/stream_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

namespace nettor {
namespace {

TEST(StreamText, NumbersReadAsADefaultStreamWritesThem)
{
    const double doubles[] = {52.857142857142854, 10.0, 1e6, 999999.5, 1234567.0, 0.0001,
                              0.00001234567, -0.0, -391.42857142857144, 1e100, 4.9e-324,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), std::nan(""),
                              1.0000005, 0.5, 100000.0, 0.1 + 0.2};
    std::ostringstream expected, written;
    {
        StreamText text(written);
        for (double d : doubles) {
            expected << d << " ";
            text << d << " ";
        }
        for (float f : {0.2f, 0.8f, 1.0f, 0.333333f}) {
            expected << f << " ";
            text << f << " ";
        }
        for (int i : {0, -1, 2147483647, -2147483647 - 1}) {
            expected << i << " ";
            text << i << " ";
        }
        expected << 123456789012LL << 'x' << std::string("end");
        text << 123456789012LL << 'x' << std::string("end");
    }
    EXPECT_EQ(written.str(), expected.str());
}

// Numbers are written by a short way for a pattern's range of coordinates;
// each must still read exactly as the general conversion writes it.
TEST(StreamText, EveryNumberReadsAsTheGeneralConversionWritesIt)
{
    std::mt19937_64 random(7);
    std::vector<double> values;
    std::uniform_real_distribution<double> power(-7.0, 11.0);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    for (int i = 0; i < 100000; ++i) {
        const double v = std::pow(10.0, power(random));
        values.push_back(i % 2 ? -v : v);
        // Any pattern of bits with an exponent near the short way's bounds.
        const std::uint64_t bits = (anyBits(random) & 0x800fffffffffffffULL) | (std::uint64_t(1005 + i % 55) << 52);
        values.push_back(std::bit_cast<double>(bits));
    }
    for (int j = 0; j < 40; ++j) {
        // Halfway between two six-digit numbers, exactly (ties go to even),
        // and halved on from there.
        for (std::int64_t n : {100000LL, 100001LL, 123456LL, 999998LL, 999999LL, 543211LL}) {
            values.push_back(std::ldexp(static_cast<double>(n) + 0.5, -(j % 20)));
            values.push_back(static_cast<double>(10 * n + 5) * std::pow(10.0, j % 3));
        }
        // Just either side of a power of ten and of a rounding boundary.
        const double ten = std::pow(10.0, j - 8);
        for (double v : {ten, ten * 9.999995, ten * 9.9999949999, ten * 1.000005})
            values.insert(values.end(), {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)});
    }
    std::string expected;
    std::ostringstream written;
    {
        StreamText text(written);
        char digits[64];
        for (double v : values) {
            expected.append(digits, std::to_chars(digits, digits + sizeof digits, v, std::chars_format::general, 6).ptr);
            expected += ' ';
            text << v << ' ';
        }
    }
    std::istringstream a(written.str()), b(expected);
    std::string x, y;
    for (std::size_t i = 0; b >> y; ++i) {
        a >> x;
        ASSERT_EQ(x, y) << "value " << i << ": " << std::hexfloat << values[i];
    }
}

TEST(StreamText, LongTextArrivesWholeAndInOrder)
{
    std::ostringstream expected, written;
    StreamText text(written);
    for (int i = 0; i < 50000; ++i) {
        expected << "\n" << i << " " << i * 0.5 << " lineto";
        text << "\n" << i << " " << i * 0.5 << " lineto";
    }
    text.flush();
    EXPECT_EQ(written.str(), expected.str());
    EXPECT_GT(written.str().size(), 1u << 17) << "spans several buffer flushes";
}

} // namespace
} // namespace nettor
