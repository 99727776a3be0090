#include "DesignScale.h"

#include <gtest/gtest.h>

#include "platform/host/Headless.h"

namespace zolv {
namespace {

TEST(DesignScaleTest, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(13, 120, 96), 16);  // 16.25
  EXPECT_EQ(MulDiv(15, 20, 16), 19);   // 18.75
  EXPECT_EQ(MulDiv(10, 20, 16), 13);   // 12.5
  EXPECT_EQ(MulDiv(-10, 20, 16), -13);
  EXPECT_EQ(MulDiv(10, -20, 16), -13);
}

TEST(DesignScaleTest, FontFollowsResolutionThenEverythingFollowsTextHeight) {
  toolkit::Application app;
  int askedHeight = 0;
  toolkit::headless::SetTextHeight(app, [&](const toolkit::Font& font, StringView text) {
    EXPECT_EQ(font.name, u"Tahoma");
    EXPECT_EQ(text, u"0");
    askedHeight = font.height;
    return font.height == 13 ? 16 : 20;
  });

  DesignScale at96 = MeasureDesignScale(app);
  EXPECT_EQ(at96.mainFontHeight, 13);
  EXPECT_EQ(at96(303), 303);
  EXPECT_EQ(at96(toolkit::Rect{17, 15, 266, 34}), (toolkit::Rect{17, 15, 266, 34}));

  toolkit::headless::SetPixelsPerInch(app, 120);
  DesignScale at120 = MeasureDesignScale(app);
  EXPECT_EQ(askedHeight, 16);
  EXPECT_EQ(at120.mainFontHeight, 16);
  EXPECT_EQ(at120(303), 379);  // 378.75
  EXPECT_EQ(at120(toolkit::Rect{17, 15, 266, 34}), (toolkit::Rect{21, 19, 333, 43}));
}

TEST(DesignScaleTest, MissingFontWithOtherTextHeightScalesAtDesignResolution) {
  toolkit::Application app;
  toolkit::headless::SetTextHeight(app, [](const toolkit::Font&, StringView) { return 15; });
  DesignScale scale = MeasureDesignScale(app);
  EXPECT_EQ(scale.mainFontHeight, 13);
  EXPECT_EQ(scale(272), 255);
  EXPECT_EQ(scale(40), 38);  // 37.5
}

}  // namespace
}  // namespace zolv
