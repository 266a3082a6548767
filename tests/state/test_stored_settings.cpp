// The values kept between runs: window placement, model view size and the
// settings, as taken up at start and written at exit.
#include "state/stored_settings.h"
#include "state/window_placement.h"

#include <gtest/gtest.h>

namespace nettor {
namespace {

TEST(WindowPlacementText, TenNumbersOrNothing)
{
    const auto p = WindowPlacement::fromText("2:3:-1:-1:-8:-8:10:20:810:620");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->flags, 2);
    EXPECT_EQ(p->showCommand, 3);
    EXPECT_EQ(p->maximizedX, -8);
    EXPECT_EQ(p->left, 10);
    EXPECT_EQ(p->top, 20);
    EXPECT_EQ(p->right, 810);
    EXPECT_EQ(p->bottom, 620);
    EXPECT_EQ(p->toText(), "2:3:-1:-1:-8:-8:10:20:810:620");

    EXPECT_FALSE(WindowPlacement::fromText("2:3:-1:-1:-8:-8:10:20:810"));
    EXPECT_FALSE(WindowPlacement::fromText("garbage"));
    EXPECT_FALSE(WindowPlacement::fromText(""));
    EXPECT_FALSE(WindowPlacement::fromText("2:3:-1:-1:-8:-8:10:20:810;620"));
}

TEST(WindowPlacementText, ClosingRecordsTheStateWithTheRestoreFlag)
{
    const WindowPlacement normal = WindowPlacement::ofWindow({100, 50, 900, 600}, false, false);
    EXPECT_EQ(normal.toText(), "2:1:-1:-1:-1:-1:100:50:1000:650");
    EXPECT_FALSE(normal.opensMaximized());

    const WindowPlacement maximized = WindowPlacement::ofWindow({100, 50, 900, 600}, true, false);
    EXPECT_EQ(maximized.showCommand, WindowPlacement::kShowMaximized);
    EXPECT_TRUE(maximized.opensMaximized());

    // Minimised from the maximised state comes back maximised, never minimised.
    WindowPlacement minimized = WindowPlacement::ofWindow({100, 50, 900, 600}, true, true);
    EXPECT_TRUE(minimized.opensMaximized());
    minimized.flags = 0;
    EXPECT_FALSE(minimized.opensMaximized());
}

TEST(PlaceOnScreens, AWindowOnAScreenStaysWhereItWas)
{
    const std::vector<ScreenRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const ScreenRect onFirst{100, 100, 800, 600};
    const ScreenRect onSecond{2000, 50, 800, 600};
    const ScreenRect overTheJoin{1500, 10, 800, 600}; // title centre on the first screen
    for (const ScreenRect& r : {onFirst, onSecond, overTheJoin}) {
        const auto placed = placeOnScreens(r, screens);
        ASSERT_TRUE(placed);
        EXPECT_EQ(placed->x, r.x);
        EXPECT_EQ(placed->y, r.y);
        EXPECT_EQ(placed->width, r.width);
        EXPECT_EQ(placed->height, r.height);
    }
}

TEST(PlaceOnScreens, AWindowOffEveryScreenComesBackOntoOne)
{
    const std::vector<ScreenRect> screens{{0, 0, 1280, 1024}};
    // Left on a second screen that is gone.
    auto placed = placeOnScreens({2000, 100, 800, 600}, screens);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->x, 1280 - 800);
    EXPECT_EQ(placed->y, 100);
    // Its title bar above the top edge.
    placed = placeOnScreens({100, -300, 800, 600}, screens);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->x, 100);
    EXPECT_EQ(placed->y, 0);
    // Bigger than the screen: shrunk to it.
    placed = placeOnScreens({-50, -50, 3000, 2000}, screens);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->x, 0);
    EXPECT_EQ(placed->y, 0);
    EXPECT_EQ(placed->width, 1280);
    EXPECT_EQ(placed->height, 1024);
    // Far away at the limits of the numbers.
    placed = placeOnScreens({2147483000, -2147483000, 600, 400}, screens);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->x, 1280 - 600);
    EXPECT_EQ(placed->y, 0);
}

TEST(PlaceOnScreens, TheScreenOverlappedMostIsChosen)
{
    const std::vector<ScreenRect> screens{{0, 0, 1000, 800}, {1000, 0, 1000, 800}};
    // Mostly on the second screen, with its title strip above both.
    const auto placed = placeOnScreens({1300, -100, 600, 500}, screens);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->x, 1300);
    EXPECT_EQ(placed->y, 0);
}

TEST(PlaceOnScreens, DegenerateRectanglesAndNoScreensGiveNothing)
{
    const std::vector<ScreenRect> screens{{0, 0, 1280, 1024}};
    EXPECT_FALSE(placeOnScreens({10, 10, 0, 500}, screens));
    EXPECT_FALSE(placeOnScreens({10, 10, 500, -20}, screens));
    EXPECT_FALSE(placeOnScreens({10, 10, 20, 20}, screens));
    EXPECT_FALSE(placeOnScreens({10, 10, 500, 500}, {}));
}

TEST(StoredValues, FirstRunKeepsEveryDefault)
{
    Settings settings;
    const TakenUpValues taken = takeUpStoredValues({}, settings);
    EXPECT_EQ(taken.modelViewSize.width, 320);
    EXPECT_EQ(taken.modelViewSize.height, 250);
    EXPECT_FALSE(taken.placement);
    EXPECT_FALSE(taken.configRead);
    EXPECT_EQ(settings.toText(), Settings{}.toText());
}

TEST(StoredValues, EachValueIsTakenUpInItsFormat)
{
    Settings settings;
    StoredValues stored;
    stored.modelWindowSize = "410:333";
    stored.windowPos = "2:1:-1:-1:-1:-1:40:30:1040:790";
    stored.config = "0:1:0:1:12:1:1:0:0:2:1:2:7:1";
    const TakenUpValues taken = takeUpStoredValues(stored, settings);
    EXPECT_EQ(taken.modelViewSize.width, 410);
    EXPECT_EQ(taken.modelViewSize.height, 333);
    ASSERT_TRUE(taken.placement);
    EXPECT_EQ(taken.placement->normalRect().width, 1000);
    EXPECT_EQ(taken.placement->normalRect().height, 760);
    EXPECT_TRUE(taken.configRead);
    // flapSize 7 becomes Normal, the reserved flag is cleared.
    EXPECT_EQ(settings.toText(), "0:1:0:0:12:1:1:0:0:2:1:2:1:1");
}

TEST(StoredValues, FiveNumbersChangeOnlyTheFirstFiveFields)
{
    Settings settings;
    StoredValues stored;
    stored.windowPos = "2:1:-1:-1:-1:-1:40:30:1040:790";
    stored.config = "0:1:0:0:20";
    takeUpStoredValues(stored, settings);
    EXPECT_EQ(settings.toText(), "0:1:0:0:20:0:0:1:1:1:0:1:1:0");
}

TEST(StoredValues, AMalformedPlacementStillReadsTheSettings)
{
    Settings settings;
    StoredValues stored;
    stored.windowPos = "1:2:3";
    stored.modelWindowSize = "abc";
    stored.config = "1:1:1:0:16";
    const TakenUpValues taken = takeUpStoredValues(stored, settings);
    EXPECT_FALSE(taken.placement);
    EXPECT_TRUE(taken.configRead);
    EXPECT_EQ(settings.showEdgeIds, 1);
    EXPECT_EQ(settings.edgeIdFontSize, 16);
    EXPECT_EQ(taken.modelViewSize.width, 320);
    EXPECT_EQ(taken.modelViewSize.height, 250);
}

TEST(StoredValues, SettingsAreWrittenOnlyWhenSaveOnExitIsSet)
{
    Settings settings;
    settings.edgeIdFontSize = 24;
    const WindowPlacement placement = WindowPlacement::ofWindow({5, 6, 700, 500}, false, false);
    StoredValues values = valuesToStore(placement, {300, 200}, settings);
    EXPECT_EQ(values.windowPos, placement.toText());
    EXPECT_EQ(values.modelWindowSize, "300:200");
    EXPECT_EQ(values.config, "1:0:1:0:24:0:0:1:1:1:0:1:1:0");

    settings.saveOnExit = 0;
    values = valuesToStore(placement, {300, 200}, settings);
    EXPECT_EQ(values.windowPos, placement.toText());
    EXPECT_EQ(values.modelWindowSize, "300:200");
    EXPECT_FALSE(values.config);

    // saveOnExit is not stored, so a read keeps it.
    Settings next;
    next.saveOnExit = 0;
    takeUpStoredValues({std::nullopt, std::nullopt, std::string("1:0:1:0:8"), std::nullopt}, next);
    EXPECT_EQ(next.saveOnExit, 0);
}

TEST(StoredValues, TheSearchForFewerPartsTravelsBesideTheSettingsInItsOwnValue)
{
    Settings settings;
    PartSearchSettings search;
    search.enabled = true;
    search.timeLimitSeconds = 25;
    const WindowPlacement placement = WindowPlacement::ofWindow({5, 6, 700, 500}, false, false);
    const StoredValues values = valuesToStore(placement, {300, 200}, settings, &search);
    // The settings text keeps its fourteen fields.
    EXPECT_EQ(values.config, "1:0:1:0:8:0:0:1:1:1:0:1:1:0");
    ASSERT_TRUE(values.partSearch);

    Settings readSettings;
    PartSearchSettings readSearch;
    takeUpStoredValues(values, readSettings, &readSearch);
    EXPECT_TRUE(readSearch.enabled);
    EXPECT_EQ(readSearch.timeLimitSeconds, 25);
    EXPECT_EQ(readSearch.seed, search.seed);

    // Not written without saveOnExit, as the settings are not.
    settings.saveOnExit = 0;
    EXPECT_FALSE(valuesToStore(placement, {300, 200}, settings, &search).partSearch);
}

} // namespace
} // namespace nettor
