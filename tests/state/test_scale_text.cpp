// The scale field of the information panel: what it accepts and how it shows
// a scale.
#include "state/scale_text.h"

#include <gtest/gtest.h>

using namespace nettor;

TEST(ScaleText, AcceptsOneNumberFromZeroToOneThousand)
{
    EXPECT_EQ(readScaleText("12.5"), 12.5);
    EXPECT_EQ(readScaleText("  7 "), 7.0);
    EXPECT_EQ(readScaleText("0"), 0.0);
    EXPECT_EQ(readScaleText("1000"), 1000.0);
    EXPECT_EQ(readScaleText("+3"), 3.0);
    EXPECT_EQ(readScaleText("2,25"), 2.25);
    EXPECT_EQ(readScaleText("1e2"), 100.0);
}

TEST(ScaleText, RefusesTextOutOfRangeOrNotANumber)
{
    for (const char* bad : {"", "   ", "abc", "12cm", "1.2.3", "1000.01", "-0.5", "nan", "inf", "1e400", "--1",
                            "1 2", "1,5.5"}) {
        EXPECT_FALSE(readScaleText(bad).has_value()) << bad;
    }
}

TEST(ScaleText, TellsTextThatIsNoNumberFromANumberOutOfRange)
{
    for (const char* word : {"", "   ", "abc", "12cm", "1.2.3", "nan", "inf", "--1", "1 2", "1,5.5"})
        EXPECT_EQ(scaleTextProblem(word), "Please enter a number.") << word;
    for (const char* far : {"1000.01", "-0.5", "1e400", "-1e400", "5000"})
        EXPECT_EQ(scaleTextProblem(far), "Please enter a number between 0 and 1000.") << far;
    // Every text the field takes raises no message, and every text it
    // refuses raises one.
    for (const char* text : {"0", "12.5", "2,25", "1e-400", "1000", "1000.01", "abc", "-1e400"})
        EXPECT_EQ(scaleTextProblem(text).empty(), readScaleText(text).has_value()) << text;
}

TEST(ScaleText, ShowsSixSignificantDigitsThatReadBack)
{
    EXPECT_EQ(scaleText(2.5), "2.5");
    EXPECT_EQ(scaleText(1.0 / 3.0), "0.333333");
    for (double v : {0.0012345678, 3.14159265, 999.999999}) {
        const auto back = readScaleText(scaleText(v));
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, v, v * 1e-5);
    }
}
