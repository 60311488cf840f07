#include "share/Print_win32.h"

#include <richedit.h>

#include <algorithm>

#include "common/Text.h"
#include "win32/RichEditText_win32.h"
#include "win32/SystemError_win32.h"

namespace sw {

HFONT TGdiMeasure::FontOf(const TRunFormat& aFormat) {
  for (const auto& f : FFonts)
    if (f.first == aFormat) return f.second.get();
  LOGFONTW lf{};
  // The pane keeps sizes in twips; the device's own vertical resolution makes them pixels.
  lf.lfHeight = -::MulDiv(aFormat.nSizeTwips, ::GetDeviceCaps(Fhdc, LOGPIXELSY), 1440);
  lf.lfWeight = (aFormat.aStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (aFormat.aStyle & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (aFormat.aStyle & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (aFormat.aStyle & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, aFormat.sFontName.c_str(), LF_FACESIZE);
  FFonts.emplace_back(aFormat, TFont(::CreateFontIndirectW(&lf)));
  return FFonts.back().second.get();
}

void TGdiMeasure::Select(const TRunFormat& aFormat) {
  HGDIOBJ hOld = ::SelectObject(Fhdc, FontOf(aFormat));
  if (!FhOldFont) FhOldFont = hOld;
}

TGdiMeasure::~TGdiMeasure() {
  if (FhOldFont) ::SelectObject(Fhdc, FhOldFont);
}

TFontMetrics TGdiMeasure::Metrics(const TRunFormat& aFormat) {
  Select(aFormat);
  TEXTMETRICW tm{};
  if (!::GetTextMetricsW(Fhdc, &tm)) return {1, 0};
  return {static_cast<int>(tm.tmAscent), static_cast<int>(tm.tmDescent)};
}

int TGdiMeasure::TextWidth(const TRunFormat& aFormat, const std::wstring& sText) {
  if (sText.empty()) return 0;
  Select(aFormat);
  SIZE sz{};
  if (!::GetTextExtentPoint32W(Fhdc, sText.data(), static_cast<int>(sText.size()), &sz)) return 0;
  return sz.cx;
}

namespace {

constexpr DWORD kRunMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;

// Format of [b, e) and whether it is the same throughout.
bool SelectionFormat(HWND h, LONG b, LONG e, const TPaneColors& aShown, TRunFormat& aFormat) {
  CHARRANGE cr{b, e};
  ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = kRunMask;
  ::SendMessageW(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  aFormat.sFontName = cf.szFaceName;
  aFormat.nSizeTwips = cf.yHeight > 0 ? static_cast<int>(cf.yHeight) : 240;
  aFormat.aStyle = ((cf.dwEffects & CFE_BOLD) ? fsBold : 0) | ((cf.dwEffects & CFE_ITALIC) ? fsItalic : 0) |
                   ((cf.dwEffects & CFE_UNDERLINE) ? fsUnderline : 0) |
                   ((cf.dwEffects & CFE_STRIKEOUT) ? fsStrikeOut : 0);
  aFormat.aColor = PaperColor(aShown, cf.crTextColor, (cf.dwEffects & CFE_AUTOCOLOR) != 0);
  return (cf.dwMask & kRunMask) == kRunMask;
}

}  // namespace

std::vector<TParagraph> ReadRichEditParagraphs(HWND h, const TPaneColors& aShown) {
  const std::wstring sText = RichEditText(h);

  CHARRANGE crOld{};
  ::SendMessageW(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&crOld));
  ::SendMessageW(h, EM_HIDESELECTION, TRUE, 0);
  ::SendMessageW(h, WM_SETREDRAW, FALSE, 0);

  std::vector<TParagraph> paras;
  const LONG n = static_cast<LONG>(sText.size());
  for (const TLineSpan& aLine : SplitLineSpans(sText)) {
    const LONG p = static_cast<LONG>(aLine.nStart), e = p + static_cast<LONG>(aLine.nLength);
    TParagraph para;
    // Runs: the longest uniform stretch from the start, found by halving.
    LONG b = p;
    while (b < e) {
      TRunFormat f;
      LONG lo = b + 1, hi = e;
      if (!SelectionFormat(h, b, hi, aShown, f)) {
        while (lo < hi) {
          const LONG mid = lo + (hi - lo + 1) / 2;
          TRunFormat g;
          if (SelectionFormat(h, b, mid, aShown, g)) lo = mid; else hi = mid - 1;
        }
        hi = lo;
        SelectionFormat(h, b, hi, aShown, f);
      }
      para.Runs.push_back({sText.substr(static_cast<std::size_t>(b), static_cast<std::size_t>(hi - b)), f});
      b = hi;
    }
    SelectionFormat(h, e, std::min(e + 1, n), aShown, para.aEndFormat);
    paras.push_back(std::move(para));
  }

  ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&crOld));
  ::SendMessageW(h, EM_HIDESELECTION, FALSE, 0);
  ::SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(h, nullptr, TRUE);
  return paras;
}

namespace {
// The spooler's failure with the system's error and its text.
TPrintResult SpoolerFault(TPrintFault aFault) {
  const DWORD dwErr = ::GetLastError();
  return TPrintResult(aFault, dwErr, SystemErrorText(dwErr));
}
}  // namespace

TPrintResult PrintParagraphs(HDC hdc, const std::vector<TParagraph>& aParagraphs, const std::wstring& sDocName) {
  if (!hdc) return TPrintResult(TPrintFault::NoDeviceContext);
  const TPageRect rect = PrintPageRect(::GetDeviceCaps(hdc, LOGPIXELSX), ::GetDeviceCaps(hdc, LOGPIXELSY),
                                       ::GetDeviceCaps(hdc, HORZRES), ::GetDeviceCaps(hdc, VERTRES));
  TGdiMeasure measure(hdc);
  const std::vector<TPrintPage> pages = LayoutPages(aParagraphs, rect, measure);

  DOCINFOW di{};
  di.cbSize = sizeof(di);
  di.lpszDocName = sDocName.c_str();
  if (::StartDocW(hdc, &di) <= 0) {
    // Printers to a file ask for its name in StartDoc; cancelling there is no error.
    if (::GetLastError() == ERROR_CANCELLED) return TPrintResult(TPrintFault::Cancelled, ERROR_CANCELLED);
    return SpoolerFault(TPrintFault::StartDoc);
  }
  ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextAlign(hdc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  for (const auto& page : pages) {
    if (::StartPage(hdc) <= 0) {
      const TPrintResult r = SpoolerFault(TPrintFault::StartPage);
      ::AbortDoc(hdc);
      return r;
    }
    // Some drivers reset the DC's attributes at every page.
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextAlign(hdc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    for (const auto& r : page.Runs) {
      measure.Select(r.aFormat);
      ::SetTextColor(hdc, r.aFormat.aColor);
      ::TextOutW(hdc, r.X, r.nBaseline, r.sText.data(), static_cast<int>(r.sText.size()));
    }
    if (::EndPage(hdc) <= 0) {
      const TPrintResult r = SpoolerFault(TPrintFault::EndPage);
      ::AbortDoc(hdc);
      return r;
    }
  }
  if (::EndDoc(hdc) <= 0) return SpoolerFault(TPrintFault::EndDoc);
  TPrintResult r;
  r.nPages = static_cast<int>(pages.size());
  return r;
}

}  // namespace sw
