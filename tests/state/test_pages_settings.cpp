// The Pages layout's settings: paper names, orientation and the messages
// for sizes that cannot be laid out.
#include "state/pages_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace nettor;

TEST(PagesSettings, PaperNamesAndOrientation)
{
    PagesSettings s;
    EXPECT_EQ(paperMm(s).width, 210);
    EXPECT_EQ(paperMm(s).height, 297);
    for (const auto& [name, w, h] : {std::tuple{"a5", 148.0, 210.0}, {"A3", 297.0, 420.0}, {"letter", 215.9, 279.4},
                                     {"LEGAL", 215.9, 355.6}, {"Tabloid", 279.4, 431.8}, {"300x400", 300.0, 400.0},
                                     {"297.5X420", 297.5, 420.0}}) {
        ASSERT_TRUE(parsePaperName(name, s)) << name;
        s.landscape = false;
        EXPECT_EQ(paperMm(s).width, w) << name;
        EXPECT_EQ(paperMm(s).height, h) << name;
        s.landscape = true;
        EXPECT_EQ(paperMm(s).width, h) << name;
        EXPECT_EQ(paperMm(s).height, w) << name;
    }
    EXPECT_EQ(paperName(s), "297.5x420");
    const PagesSettings before = s;
    for (const char* bad : {"", "A6", "x", "10x", "x10", "10x10x10", "ten x twenty", "5 x 5"}) {
        EXPECT_FALSE(parsePaperName(bad, s)) << bad;
        EXPECT_EQ(s, before) << bad;
    }
}

TEST(PagesSettings, ProblemsAreNamed)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(pagesSettingsProblem(PagesSettings{}));
    auto problem = [](auto change) {
        PagesSettings s;
        change(s);
        const auto p = pagesSettingsProblem(s);
        return p ? *p : std::string();
    };
    auto custom = [&](double w, double h) {
        return problem([&](PagesSettings& s) {
            s.paper = PaperSize::Custom;
            s.customWidthMm = w;
            s.customHeightMm = h;
        });
    };
    EXPECT_NE(custom(0, 100).find("positive"), std::string::npos);
    EXPECT_NE(custom(-5, 100).find("positive"), std::string::npos);
    EXPECT_NE(custom(nan, 100).find("positive"), std::string::npos);
    EXPECT_NE(custom(100, inf).find("positive"), std::string::npos);
    EXPECT_EQ(custom(9.5, 100), "The paper is smaller than 10 mm: 9.5 mm.");
    EXPECT_EQ(custom(100, 2001), "The paper is larger than 2 m: 2001 mm.");
    EXPECT_NE(custom(10, 2000).find("leaves no printable area"), std::string::npos);
    EXPECT_EQ(problem([](PagesSettings& s) {
                  s.paper = PaperSize::Custom;
                  s.customWidthMm = 10;
                  s.customHeightMm = 2000;
                  s.marginMm = 4.9;
              }),
              "");
    EXPECT_EQ(problem([](PagesSettings& s) { s.marginMm = 105; }),
              "A margin of 105 mm leaves no printable area on a paper of 210 mm x 297 mm.");
    EXPECT_EQ(problem([](PagesSettings& s) { s.marginMm = 104.9; }), "");
    EXPECT_NE(problem([](PagesSettings& s) { s.marginMm = -1; }).find("margin"), std::string::npos);
    EXPECT_NE(problem([&](PagesSettings& s) { s.marginMm = nan; }).find("margin"), std::string::npos);
    for (const double size : {0.0, -200.0, nan, inf})
        EXPECT_EQ(problem([&](PagesSettings& s) { s.finishedSizeMm = size; }),
                  "The finished size must be a positive number of millimetres.");
    EXPECT_NE(problem([](PagesSettings& s) { s.finishedSizeMm = 2e6; }).find("too large"), std::string::npos);
    for (const double scale : {0.0, -1.0, nan})
        EXPECT_EQ(problem([&](PagesSettings& s) {
                      s.sizeMode = ModelSizeMode::Scale;
                      s.cmPerUnit = scale;
                  }),
                  "The scale must be a positive number of centimetres per model unit.");
}
