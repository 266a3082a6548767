// The edge-number font size typed into the settings dialog.
#include "state/font_size_entry.h"

#include <gtest/gtest.h>

namespace nettor {
namespace {

TEST(FontSizeEntry, IntegersFromOneToSeventyTwoAreTaken)
{
    EXPECT_EQ(parseEdgeIdFontSize("1"), 1);
    EXPECT_EQ(parseEdgeIdFontSize("72"), 72);
    EXPECT_EQ(parseEdgeIdFontSize(" 8 "), 8);
    EXPECT_EQ(parseEdgeIdFontSize("+12"), 12);
    EXPECT_EQ(parseEdgeIdFontSize("007"), 7);
}

TEST(FontSizeEntry, EverythingElseIsRefused)
{
    for (const char* text : {"0", "73", "-5", "abc", "", " ", "12abc", "1.5", "8 8", "+",
                             "99999999999999999999", "0x10"})
        EXPECT_FALSE(parseEdgeIdFontSize(text)) << '"' << text << '"';
}

TEST(FontSizeEntry, MessageNamesTheRange)
{
    EXPECT_EQ(edgeIdFontSizeMessage(), "Please enter an integer between 1 and 72.");
}

} // namespace
} // namespace nettor
