#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "report/PaneColors.h"
#include "share/PageLayout.h"
#include "share/PreviewText.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {

// Measures and draws on one device context; fonts are made once per format at the
// device's own resolution.
class TGdiMeasure : public ITextMeasure {
 public:
  explicit TGdiMeasure(HDC hdc) : Fhdc(hdc) {}
  TFontMetrics Metrics(const TRunFormat& aFormat) override;
  int TextWidth(const TRunFormat& aFormat, const std::wstring& sText) override;
  // Selects the format's font into the DC (the DC's original font is put back on destruction).
  void Select(const TRunFormat& aFormat);
  ~TGdiMeasure();

 private:
  HFONT FontOf(const TRunFormat& aFormat);
  HDC Fhdc;
  HGDIOBJ FhOldFont = nullptr;
  std::vector<std::pair<TRunFormat, TFont>> FFonts;
};

// The paragraphs of a rich-edit control with each run's face, size, style and colour.
// Colours are those of paper (PaperColor): text shown in the control's automatic
// colour or in aShown's text colour prints black. The selection is put back as it was.
std::vector<TParagraph> ReadRichEditParagraphs(HWND hRichEdit, const TPaneColors& aShown = TPaneColors{});

// Lays the paragraphs out in the page rectangle of the printer DC (its resolution and
// printable size) and prints every page as one job named sDocName. Reports what the
// spooler refused (a started job is then aborted), or the page count.
TPrintResult PrintParagraphs(HDC hPrinter, const std::vector<TParagraph>& aParagraphs, const std::wstring& sDocName);

}  // namespace sw
