#include "report/MemoryPane.h"

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
  // A CR LF, a lone CR or a lone LF each end a paragraph, as in the control.
  std::vector<std::wstring> parts(1);
  for (std::size_t i = 0; i < sLine.size(); ++i) {
    const wchar_t c = sLine[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < sLine.size() && sLine[i + 1] == L'\n') ++i;
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
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
