#pragma once
#include <string>
#include <vector>

#include "report/TextPane.h"

namespace sw {

// An in-memory pane with the rules of the real one: line feeds split paragraphs,
// the capacity counts one character per line end, a line that does not fit is not
// added. Used by the tests and the benchmarks of the portable code.
class TMemoryPane : public ITextPane {
 public:
  struct TRun {
    std::size_t nStart = 0, nLength = 0;
    int nSize = 0;
    TColor aColor = 0;
    TFontStyles aStyle = 0;
  };
  struct TLineInfo {
    std::wstring sText;
    bool bFormatted = false;  // set through AddLine
    int nSize = 0;
    TColor aColor = 0;
    TFontStyles aStyle = 0;
  };

  explicit TMemoryPane(std::size_t nCapacity = kPaneCapacity) : FnCapacity(nCapacity) {}

  void BeginUpdate(bool bClearLines) override;
  void EndUpdate() override;
  bool WordWrap() const override { return FbWordWrap; }
  void SetWordWrap(bool bWrap) override { FbWordWrap = bWrap; }
  void SetRichTextMode() override { FbRichText = true; }
  void AddLine(const std::wstring& sLine, int nSize, TColor aColor, TFontStyles aStyle) override;
  void AddPlainLine(const std::wstring& sLine) override;
  int LineCount() const override { return static_cast<int>(FLines.size()); }
  std::size_t TextLength() const override { return FnLength; }
  std::wstring Text() const override;
  std::wstring Line(int Index) const override { return FLines.at(static_cast<std::size_t>(Index)).sText; }

  const std::vector<TLineInfo>& Lines() const { return FLines; }
  const std::vector<std::size_t>& AddLineStarts() const { return FAddLineStarts; }
  bool RichText() const { return FbRichText; }

 private:
  bool Append(const std::wstring& sLine, bool bFormatted, int nSize, TColor aColor, TFontStyles aStyle);

  std::size_t FnCapacity;
  std::vector<TLineInfo> FLines;
  std::size_t FnLength = 0;
  bool FbWordWrap = true;
  bool FbWordWrap_BeforeUpdate = true;
  bool FbRichText = false;
  std::vector<std::size_t> FAddLineStarts;
};

}  // namespace sw
