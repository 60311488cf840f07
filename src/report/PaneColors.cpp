#include "report/PaneColors.h"

namespace sw {

TPaneColors PaneColors(const TSystemColors& a) {
  if (a.bHighContrast) return {true, a.cWindowText, a.cWindow};
  return {false, a.cInfoText, a.cInfoBk};
}

TColor ShownColor(const TPaneColors& aPane, TColor aReportColor) {
  return aPane.bThemeOnly ? aPane.cText : aReportColor;
}

TColor PaperColor(const TPaneColors& aPane, TColor cShown, bool bAuto) {
  if (bAuto || cShown == aPane.cText) return clBlack;
  return cShown;
}

}  // namespace sw
