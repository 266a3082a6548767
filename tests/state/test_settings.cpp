// The settings record and its text form.
#include "state/part_search_settings.h"
#include "state/settings.h"

#include <gtest/gtest.h>

using namespace nettor;

TEST(SettingsText, DefaultsWriteTheKnownText)
{
    EXPECT_EQ(Settings{}.toText(), "1:0:1:0:8:0:0:1:1:1:0:1:1:0");
}

TEST(SettingsText, RoundTripsEveryField)
{
    Settings s;
    s.readText("0:1:0:0:12:1:1:0:0:2:1:2:2:1");
    EXPECT_EQ(s.toText(), "0:1:0:0:12:1:1:0:0:2:1:2:2:1");
    EXPECT_EQ(s.flapsBothSides, 1);
    EXPECT_EQ(s.unfoldStrategy, 2);
}

TEST(SettingsText, MissingFieldsKeepTheirValues)
{
    Settings s;
    s.unfoldStrategy = 2;
    s.readText("0:1:0:0:20");
    EXPECT_EQ(s.toText(), "0:1:0:0:20:0:0:1:1:1:0:2:1:0");
    Settings t;
    t.readText("");
    EXPECT_EQ(t.toText(), Settings{}.toText());
    t.readText("garbage");
    EXPECT_EQ(t.toText(), Settings{}.toText());
}

TEST(SettingsText, FlapSizeAndReservedFlagAreCorrected)
{
    Settings s;
    s.readText("1:0:1:1:8:0:0:1:1:1:0:1:7:0");
    EXPECT_EQ(s.flapSize, 1);
    EXPECT_EQ(s.reservedFlag, 0);
    s.readText("1:0:1:0:8:0:0:1:1:1:0:1:-1:0");
    EXPECT_EQ(s.flapSize, 1);
    s.readText("1:0:1:0:8:0:0:1:1:1:0:1:2:0");
    EXPECT_EQ(s.flapSize, 2);
}

TEST(SettingsText, ViewSize)
{
    EXPECT_EQ(ViewSize{}.toText(), "320:250");
    ViewSize v = ViewSize::fromText("640:480");
    EXPECT_EQ(v.width, 640);
    EXPECT_EQ(v.height, 480);
    v = ViewSize::fromText("640");
    EXPECT_EQ(v.width, 320);
    EXPECT_EQ(v.height, 250);
}

TEST(SettingsText, NumbersAreReadLikePercentI)
{
    Settings s;
    // Hexadecimal and octal as %i takes them; blanks before a number.
    s.readText("0x0:010: 1");
    EXPECT_EQ(s.edgeColor, 0);
    EXPECT_EQ(s.showEdgeIds, 8);
    EXPECT_EQ(s.createFlaps, 1);
    // A missing colon ends the reading.
    Settings t;
    t.readText("0:1 0:0");
    EXPECT_EQ(t.edgeColor, 0);
    EXPECT_EQ(t.showEdgeIds, 1);
    EXPECT_EQ(t.createFlaps, 1);
}

TEST(SettingsText, OutOfRangeValuesAreHeldAtTheLimits)
{
    Settings s;
    s.readText("99999999999999999999999:-99999999999999999999:1:0:4294967296");
    EXPECT_EQ(s.edgeColor, INT32_MAX);
    EXPECT_EQ(s.showEdgeIds, INT32_MIN);
    EXPECT_EQ(s.edgeIdFontSize, INT32_MAX);
    const ViewSize v = ViewSize::fromText("99999999999:480");
    EXPECT_EQ(v.width, INT32_MAX);
    EXPECT_EQ(v.height, 480);
}

TEST(SettingsText, FlapsBothSidesIsAFlag)
{
    Settings s;
    s.readText("1:0:1:0:8:0:0:1:1:1:0:1:1:256");
    EXPECT_EQ(s.flapsBothSides, 1);
    EXPECT_EQ(s.toText(), "1:0:1:0:8:0:0:1:1:1:0:1:1:1");
    s.readText("1:0:1:0:8:0:0:1:1:1:0:1:1:0");
    EXPECT_EQ(s.flapsBothSides, 0);
}

TEST(PartSearchText, RoundTripsAndKeepsFieldsThatDoNotRead)
{
    PartSearchSettings s;
    EXPECT_EQ(s.toText(), "0:10:1");
    s.readText("1:0.25:4000000000");
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.timeLimitSeconds, 0.25);
    EXPECT_EQ(s.seed, 4000000000u);
    PartSearchSettings t;
    t.readText(s.toText());
    EXPECT_EQ(t.toText(), s.toText());
    // Out of range, not a number, missing: the values stay.
    t.readText("2:-1:x");
    EXPECT_EQ(t.toText(), "1:0.25:4000000000");
    t.readText("0:1e9");
    EXPECT_FALSE(t.enabled);
    EXPECT_EQ(t.timeLimitSeconds, 0.25);
    t.readText("");
    EXPECT_EQ(t.toText(), "0:0.25:4000000000");
}
