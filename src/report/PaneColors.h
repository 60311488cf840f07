#pragma once
#include "report/InfoItem.h"

namespace sw {

// What a pane's colours depend on: the high-contrast setting and the system colours.
struct TSystemColors {
  bool bHighContrast = false;
  TColor cWindowText = clBlack;  // COLOR_WINDOWTEXT
  TColor cWindow = 0xFFFFFF;     // COLOR_WINDOW
  TColor cInfoText = clBlack;    // COLOR_INFOTEXT
  TColor cInfoBk = 0xE1FFFF;     // COLOR_INFOBK
};

// The pair a report pane paints with. Under high contrast every line takes the
// theme's own text colour on the theme's background: the report's fixed colours may
// vanish on a theme's background, and the verdict words still carry each verdict.
// Otherwise the report's colours stand on the tooltip background, and text without a
// colour of its own (the letter) takes the tooltip text colour, its partner.
struct TPaneColors {
  bool bThemeOnly = false;
  TColor cText = clBlack;
  TColor cBackground = 0xE1FFFF;
};
TPaneColors PaneColors(const TSystemColors& aSystem);

// The colour a line added in aReportColor is shown in.
TColor ShownColor(const TPaneColors& aPane, TColor aReportColor);

// The colour a run shown in cShown (bAuto: the control's automatic colour) prints in:
// paper is white whatever the screen shows, so text without a colour of its own
// prints black. aPane is the pair of the pane it was read from.
TColor PaperColor(const TPaneColors& aPane, TColor cShown, bool bAuto);

}  // namespace sw
