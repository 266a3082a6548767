// Buffered text with stream-default number formatting: the EPS files must
// read exactly as if every number had gone through a default std::ostream.
#include "formats/stream_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

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
