#pragma once
#include <stdexcept>
#include <string>

#include "report/InfoItem.h"

namespace sw {

// Raised by the line list when a line does not fit into the pane; the line is then
// not added at all.
class EPaneInsertError : public std::runtime_error {
 public:
  EPaneInsertError() : std::runtime_error("Fehler beim Einfügen einer Zeile in RichEdit") {}
  static constexpr const wchar_t* Text() { return L"Fehler beim Einfügen einer Zeile in RichEdit"; }
};

// Characters a pane holds: every line counts its length plus one for its line end.
inline constexpr std::size_t kPaneCapacity = 65536;

// The rich-text pane as the portable code sees it (TovRichEdit on Windows, TMemoryPane
// in tests). Lines are paragraphs; the whole text ends every line with CR LF.
class ITextPane {
 public:
  virtual ~ITextPane() = default;
  virtual void BeginUpdate(bool bClearLines) = 0;
  virtual void EndUpdate() = 0;
  virtual bool WordWrap() const = 0;
  virtual void SetWordWrap(bool bWrap) = 0;
  // Rich-text mode: plain-text mode off, so that every line keeps its own format.
  virtual void SetRichTextMode() = 0;
  // Appends a formatted line (line feeds in sLine make several paragraphs).
  virtual void AddLine(const std::wstring& sLine, int nSize, TColor aColor, TFontStyles aStyle) = 0;
  // The plain line list: appends one line without a format of its own.
  // Throws EPaneInsertError when it does not fit.
  virtual void AddPlainLine(const std::wstring& sLine) = 0;
  virtual int LineCount() const = 0;
  // Characters held, one per line end (the sum of line lengths plus the line count).
  virtual std::size_t TextLength() const = 0;
  // Every line followed by CR LF.
  virtual std::wstring Text() const = 0;
  virtual std::wstring Line(int Index) const = 0;
};

}  // namespace sw
