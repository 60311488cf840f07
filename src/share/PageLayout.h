#pragma once
#include <string>
#include <vector>

#include "report/InfoItem.h"

namespace sw {

struct TPageRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The printable rectangle in printer pixels: half an inch left, top and right, one
// inch at the bottom (integer halves, fractions dropped).
TPageRect PrintPageRect(int nDpiX, int nDpiY, int nPageWidth, int nPageHeight);

// How a run of text looks, as the rich-text pane holds it.
struct TRunFormat {
  std::wstring sFontName;
  int nSizeTwips = 240;  // 1/20 point, as the control keeps it
  TFontStyles aStyle = 0;
  TColor aColor = 0;
  bool operator==(const TRunFormat&) const = default;
};

struct TTextRun {
  std::wstring sText;  // no line ends
  TRunFormat aFormat;
};

// One paragraph of the pane; aEndFormat gives an empty paragraph its height.
struct TParagraph {
  std::vector<TTextRun> Runs;
  TRunFormat aEndFormat;
};

struct TFontMetrics {
  int nAscent = 0, nDescent = 0;  // in the units of the page rectangle
};

// Measures text on the target device (the printer's DC on Windows).
class ITextMeasure {
 public:
  virtual ~ITextMeasure() = default;
  virtual TFontMetrics Metrics(const TRunFormat& aFormat) = 0;
  virtual int TextWidth(const TRunFormat& aFormat, const std::wstring& sText) = 0;
};

// A piece of text at its place: X of its left edge, Y of its line's top and the
// line's baseline, so that runs of different sizes on one line share a baseline.
struct TPlacedRun {
  int X = 0, Y = 0, nBaseline = 0, nWidth = 0;
  std::wstring sText;
  TRunFormat aFormat;
};

struct TPrintPage {
  std::vector<TPlacedRun> Runs;
};

// Breaks every paragraph into lines that fit the rectangle's width (at blanks; a word
// wider than a line is broken between characters) and fills pages from top to bottom.
// Blanks at the end of a line are not placed. A line never straddles two pages; a
// line taller than the rectangle gets a page of its own. Gives at least one page.
std::vector<TPrintPage> LayoutPages(const std::vector<TParagraph>& aParagraphs,
                                    const TPageRect& aRect, ITextMeasure& aMeasure);

// Splits plain text into paragraphs of one format (for plain text and tests).
std::vector<TParagraph> ParagraphsFromText(const std::wstring& sText, const TRunFormat& aFormat);

}  // namespace sw
