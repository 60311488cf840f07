#include "share/PageLayout.h"

#include <algorithm>

#include "common/Text.h"
#include "share/PreviewText.h"

namespace sw {

TPageRect PrintPageRect(int nDpiX, int nDpiY, int nPageWidth, int nPageHeight) {
  TPageRect r;
  r.Left = nDpiX / 2;
  r.Top = nDpiY / 2;
  r.Right = nPageWidth - nDpiX / 2;
  r.Bottom = nPageHeight - nDpiY;
  return r;
}

namespace {

struct TChar {
  wchar_t c;
  int iRun;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

class TParagraphLayout {
 public:
  TParagraphLayout(const TParagraph& aPara, ITextMeasure& aMeasure) : FPara(aPara), FMeasure(aMeasure) {
    for (int i = 0; i < static_cast<int>(aPara.Runs.size()); ++i)
      for (wchar_t c : aPara.Runs[i].sText) FChars.push_back({c, i});
  }

  // Width of chars [b, e), measured per run so that every piece keeps its font.
  int Width(std::size_t b, std::size_t e) {
    int w = 0;
    while (b < e) {
      const int iRun = FChars[b].iRun;
      std::wstring t;
      while (b < e && FChars[b].iRun == iRun) t += FChars[b++].c;
      w += FMeasure.TextWidth(FPara.Runs[iRun].aFormat, t);
    }
    return w;
  }

  // Lines as [begin, visibleEnd, nextBegin) triples.
  struct TLine {
    std::size_t nBegin, nEnd, nNext;
  };

  std::vector<TLine> Break(int nWidth) {
    std::vector<TLine> lines;
    const std::size_t n = FChars.size();
    std::size_t p = 0;
    if (n == 0) return {{0, 0, 0}};
    while (p < n) {
      // Greedy over units: a word (non-blanks) and the blanks after it.
      std::size_t lineEnd = p, q = p;
      bool bAny = false;
      while (q < n) {
        std::size_t w = q;
        while (w < n && !IsBlank(FChars[w].c)) ++w;
        std::size_t b = w;
        while (b < n && IsBlank(FChars[b].c)) ++b;
        // A unit of blanks only (leading indentation) counts with its blanks.
        const std::size_t visible = (w == q) ? b : w;
        if (Width(p, visible) <= nWidth || (!bAny && w == q)) {
          lineEnd = visible;
          q = b;
          bAny = true;
        } else {
          break;
        }
      }
      if (!bAny) {
        // The first word does not fit alone: take as many characters as fit, at least one.
        std::size_t w = p;
        while (w < n && !IsBlank(FChars[w].c)) ++w;
        std::size_t e = p + 1;
        while (e < w && Width(p, e + 1) <= nWidth) ++e;
        lines.push_back({p, e, e});
        p = e;
        continue;
      }
      // Trailing blanks of the line are not drawn.
      std::size_t vis = lineEnd;
      while (vis > p && IsBlank(FChars[vis - 1].c)) --vis;
      if (vis == p && q < n) vis = lineEnd;  // a line of blanks only keeps them
      lines.push_back({p, vis, q});
      p = q;
    }
    return lines;
  }

  TFontMetrics LineMetrics(const TLine& l) {
    TFontMetrics m{};
    bool bAny = false;
    int iLast = -1;
    for (std::size_t i = l.nBegin; i < std::max(l.nNext, l.nEnd); ++i) {
      if (FChars[i].iRun == iLast) continue;
      iLast = FChars[i].iRun;
      const TFontMetrics r = FMeasure.Metrics(FPara.Runs[iLast].aFormat);
      m.nAscent = std::max(m.nAscent, r.nAscent);
      m.nDescent = std::max(m.nDescent, r.nDescent);
      bAny = true;
    }
    if (!bAny) m = FMeasure.Metrics(FPara.aEndFormat);
    return m;
  }

  void Place(const TLine& l, int x0, int y, int nBaseline, std::vector<TPlacedRun>& out) {
    int x = x0;
    std::size_t b = l.nBegin;
    while (b < l.nEnd) {
      const int iRun = FChars[b].iRun;
      TPlacedRun r;
      while (b < l.nEnd && FChars[b].iRun == iRun) r.sText += FChars[b++].c;
      r.aFormat = FPara.Runs[iRun].aFormat;
      r.X = x;
      r.Y = y;
      r.nBaseline = nBaseline;
      r.nWidth = FMeasure.TextWidth(r.aFormat, r.sText);
      x += r.nWidth;
      out.push_back(std::move(r));
    }
  }

 private:
  const TParagraph& FPara;
  ITextMeasure& FMeasure;
  std::vector<TChar> FChars;
};

}  // namespace

std::vector<TPrintPage> LayoutPages(const std::vector<TParagraph>& aParagraphs,
                                    const TPageRect& aRect, ITextMeasure& aMeasure) {
  std::vector<TPrintPage> pages(1);
  const int nWidth = std::max(0, aRect.Right - aRect.Left);
  int y = aRect.Top;
  bool bPageEmpty = true;
  for (const auto& para : aParagraphs) {
    TParagraphLayout layout(para, aMeasure);
    for (const auto& line : layout.Break(nWidth)) {
      const TFontMetrics m = layout.LineMetrics(line);
      const int h = m.nAscent + m.nDescent;
      if (!bPageEmpty && y + h > aRect.Bottom) {
        pages.emplace_back();
        y = aRect.Top;
      }
      layout.Place(line, aRect.Left, y, y + m.nAscent, pages.back().Runs);
      y += h;
      bPageEmpty = false;
    }
  }
  return pages;
}

std::vector<TParagraph> ParagraphsFromText(const std::wstring& sText, const TRunFormat& aFormat) {
  std::vector<TParagraph> paras;
  for (auto& sLine : SplitLines(sText)) {
    TParagraph p;
    p.aEndFormat = aFormat;
    if (!sLine.empty()) p.Runs.push_back({std::move(sLine), aFormat});
    paras.push_back(std::move(p));
  }
  return paras;
}

}  // namespace sw
