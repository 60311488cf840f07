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
  std::vector<std::wstring> parts = SplitLines(sLine + L'\r');
  std::size_t cost = 0;
  for (const auto& p : parts) cost += p.size() + 1;
  if (FnLength + cost > FnCapacity) return false;
  for (auto& p : parts) FLines.push_back({std::move(p), bFormatted, nSize, aColor, aStyle});
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
  TLineInfo last;
  if (!FLines.empty()) last = FLines.back();
  if (!Append(sLine, false, last.nSize, last.aColor, last.aStyle)) throw EPaneInsertError();
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
