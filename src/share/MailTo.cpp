#include "share/MailTo.h"

#include <algorithm>
#include <cstdio>

#include "common/Text.h"

namespace sw {

namespace {
bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::wstring Encode(const std::wstring& sText, bool bKeepAt) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring s;
  for (unsigned char c : WideToUtf8(sText)) {
    if (IsUnreserved(c) || (bKeepAt && c == '@')) {
      s += static_cast<wchar_t>(c);
    } else {
      s += L'%';
      s += static_cast<wchar_t>(kHex[c >> 4]);
      s += static_cast<wchar_t>(kHex[c & 0xF]);
    }
  }
  return s;
}

std::string HtmlLine(const std::wstring& sLine) {
  std::string s;
  bool bAfterBlank = true;  // a blank at the line's start would be dropped as well
  for (char c : WideToUtf8(sLine)) {
    switch (c) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"': s += "&quot;"; break;
      // HTML folds runs of blanks into one: every blank after a blank is a fixed one.
      case ' ': s += bAfterBlank ? "&nbsp;" : " "; break;
      default: s += c; break;
    }
    bAfterBlank = c == ' ';
  }
  return s;
}

std::string Offset(std::size_t n) {
  char s[16];
  std::snprintf(s, sizeof(s), "%010zu", n);
  return s;
}
}  // namespace

std::wstring PercentEncode(const std::wstring& sText) { return Encode(sText, false); }

std::wstring MailToUrl(const std::wstring& sTo, const std::wstring& sSubject, const std::wstring& sBody) {
  return L"mailto:" + Encode(sTo, true) + L"?subject=" + PercentEncode(sSubject) + L"&body=" + PercentEncode(sBody);
}

std::wstring ClipboardText(const std::wstring& sText) {
  std::wstring s;
  s.reserve(sText.size() + sText.size() / 16);
  for (const TLineSpan& aLine : SplitLineSpans(sText)) {
    s.append(sText, aLine.nStart, aLine.nLength);
    s += L"\r\n";
  }
  // An unended last line stays unended.
  if (!EndsWithLineEnd(sText)) s.resize(s.size() - 2);
  return s;
}

std::string HtmlColor(TColor aColor) {
  char s[8];
  std::snprintf(s, sizeof(s), "#%02X%02X%02X", static_cast<unsigned>(aColor & 0xFF),
                static_cast<unsigned>((aColor >> 8) & 0xFF), static_cast<unsigned>((aColor >> 16) & 0xFF));
  return s;
}

std::string MailHtmlFragment(const std::wstring& sText, const std::vector<TColor>& aLastLineColors) {
  const std::vector<std::wstring> aLines = SplitLines(sText);
  const std::size_t nColored = std::min(aLines.size(), aLastLineColors.size());
  const std::size_t nFirstColored = aLines.size() - nColored;
  const std::size_t nFirstColor = aLastLineColors.size() - nColored;
  std::string s;
  for (std::size_t i = 0; i < aLines.size(); ++i) {
    const TColor aColor = i < nFirstColored ? clBlack : aLastLineColors[nFirstColor + i - nFirstColored];
    // An empty block has no height: an empty line holds a line break.
    s += "<div style=\"color:" + HtmlColor(aColor) + "\">" + (aLines[i].empty() ? "<br>" : HtmlLine(aLines[i])) +
         "</div>\r\n";
  }
  return s;
}

std::string CfHtml(const std::string& sFragment) {
  const std::string sHtmlStart = "<html><head><meta charset=\"utf-8\"></head><body>\r\n<!--StartFragment-->";
  const std::string sHtmlEnd = "<!--EndFragment-->\r\n</body></html>";
  // Fixed-width numbers: the header's length does not depend on them.
  const std::size_t cbHeader =
      std::string("Version:0.9\r\nStartHTML:\r\nEndHTML:\r\nStartFragment:\r\nEndFragment:\r\n").size() + 4 * 10;
  const std::size_t nStartFragment = cbHeader + sHtmlStart.size();
  const std::size_t nEndFragment = nStartFragment + sFragment.size();
  const std::size_t nEndHtml = nEndFragment + sHtmlEnd.size();
  return "Version:0.9\r\nStartHTML:" + Offset(cbHeader) + "\r\nEndHTML:" + Offset(nEndHtml) +
         "\r\nStartFragment:" + Offset(nStartFragment) + "\r\nEndFragment:" + Offset(nEndFragment) + "\r\n" +
         sHtmlStart + sFragment + sHtmlEnd;
}

}  // namespace sw
