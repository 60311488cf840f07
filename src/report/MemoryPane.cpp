#include "report/MemoryPane.h"

#include "common/Text.h"

namespace sw {

void TMemoryPane::BeginUpdate(bool bClearLines) {
  FbWordWrap_BeforeUpdate = FbWordWrap;
  FbWordWrap = false;
  if (bClearLines) {
    FLines.clear();
    FnLength = 0;
  }
}

void TMemoryPane::EndUpdate() { FbWordWrap = FbWordWrap_BeforeUpdate; }

bool TMemoryPane::Append(const std::wstring& sLine, bool bFormatted, int nSize, TColor aColor,
                         TFontStyles aStyle) {
  // The control ends the inserted text with a paragraph mark of its own: each line
  // end inside it starts one more paragraph, even at the very end.
  if (sLine.find_first_of(L"\r\n") == std::wstring::npos) {
    // One paragraph, the common case: no split, and one copy of the text.
    if (FnLength + sLine.size() + 1 > FnCapacity) return false;
    FLines.push_back({sLine, bFormatted, nSize, aColor, aStyle});
    FnLength += sLine.size() + 1;
    return true;
  }
  const std::wstring sText = sLine + L'\r';
  const std::vector<TLineSpan> spans = SplitLineSpans(sText);
  std::size_t cost = 0;
  for (const auto& span : spans) cost += span.nLength + 1;
  if (FnLength + cost > FnCapacity) return false;
  FLines.reserve(FLines.size() + spans.size());
  for (const auto& span : spans)
    FLines.push_back({sText.substr(span.nStart, span.nLength), bFormatted, nSize, aColor, aStyle});
  FnLength += cost;
  return true;
}

void TMemoryPane::AddLine(const std::wstring& sLine, int nSize, TColor aColor, TFontStyles aStyle) {
  FbWordWrap = false;
  FAddLineStarts.push_back(FnLength);
  if (!Append(sLine, true, nSize, aColor, aStyle)) throw EPaneInsertError();
}

void TMemoryPane::AddPlainLine(const std::wstring& sLine) {
  // Plain lines continue in the format in force at the end of the pane.
  int nSize = 0;
  TColor aColor = 0;
  TFontStyles aStyle = 0;
  if (!FLines.empty()) {
    const TLineInfo& last = FLines.back();
    nSize = last.nSize;
    aColor = last.aColor;
    aStyle = last.aStyle;
  }
  if (!Append(sLine, false, nSize, aColor, aStyle)) throw EPaneInsertError();
}

std::wstring TMemoryPane::Text() const {
  std::wstring s;
  s.reserve(FnLength + FLines.size());
  for (const auto& l : FLines) {
    s += l.sText;
    s += L"\r\n";
  }
  return s;
}

}  // namespace sw
