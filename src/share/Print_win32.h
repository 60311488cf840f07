#pragma once
#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "share/PageLayout.h"
#include "sysquery/win32/UniqueHandle.h"

namespace sw {

// A printing failure with the text to show the user.
class EPrintError : public std::runtime_error {
 public:
  // what() holds the text in UTF-8, as the error display expects.
  explicit EPrintError(const std::wstring& sText);
  const std::wstring& Text() const { return FsText; }

 private:
  std::wstring FsText;
};

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
// The selection is put back as it was.
std::vector<TParagraph> ReadRichEditParagraphs(HWND hRichEdit);

// Lays the paragraphs out in the page rectangle of the printer DC (its resolution and
// printable size) and prints every page as one job named sDocName. Throws EPrintError
// when the spooler refuses; a started job is then aborted. Returns the page count.
int PrintParagraphs(HDC hPrinter, const std::vector<TParagraph>& aParagraphs, const std::wstring& sDocName);

}  // namespace sw
