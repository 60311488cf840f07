#include "report/PaneColors.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

// "High Contrast Black": white text on black, and a tooltip background as dark.
constexpr TSystemColors kHighContrastBlack{true, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000};
constexpr TSystemColors kDefaultScheme{false, 0x000000, 0xFFFFFF, 0x000000, 0xE1FFFF};

// Windows cannot be told to report high contrast under Wine: the rule is proven here.
TEST(PaneColors, HighContrastTakesTheThemesPairForEveryLine) {
  const TPaneColors hc = PaneColors(kHighContrastBlack);
  EXPECT_TRUE(hc.bThemeOnly);
  EXPECT_EQ(hc.cText, 0xFFFFFFu);
  EXPECT_EQ(hc.cBackground, 0x000000u);
  for (TColor c : {clGreen, clOlive, clRed, clBlack, clNavy, clPurple}) {
    SCOPED_TRACE(c);
    EXPECT_EQ(ShownColor(hc, c), 0xFFFFFFu);
    EXPECT_EQ(ShownColor(PaneColors(kDefaultScheme), c), c) << "the report's colours without high contrast";
  }
  // Without high contrast both panes share one pair: the tooltip's text on the tooltip
  // background, whatever the window text colour is.
  const TPaneColors dark = PaneColors({false, 0xFFFFFF, 0x000000, 0x00FFFF, 0x202020});
  EXPECT_FALSE(dark.bThemeOnly);
  EXPECT_EQ(dark.cText, 0x00FFFFu);
  EXPECT_EQ(dark.cBackground, 0x202020u);
}

// Paper is white under every theme: the printout equals that of the default theme.
TEST(PaneColors, PaperTakesBlackForTextWithoutAColourOfItsOwn) {
  for (const TSystemColors& sys : {kHighContrastBlack, kDefaultScheme}) {
    SCOPED_TRACE(sys.bHighContrast);
    const TPaneColors pane = PaneColors(sys);
    EXPECT_EQ(PaperColor(pane, pane.cText, false), clBlack);
    EXPECT_EQ(PaperColor(pane, 0xFFFFFF, true), clBlack) << "the control's automatic colour";
    EXPECT_EQ(PaperColor(pane, clRed, false), clRed);
    EXPECT_EQ(PaperColor(pane, clGreen, false), clGreen);
  }
}

}  // namespace
}  // namespace sw
