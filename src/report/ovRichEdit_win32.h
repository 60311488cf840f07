#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "controls/ovControls_win32.h"
#include "report/PaneColors.h"
#include "report/TextPane.h"

namespace sw {

// The high-contrast flag (SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON) and the system
// colours a pane's pair is made of, as they are now.
TSystemColors ReadSystemColors();

// Loads msftedit.dll (and riched20.dll) from the system directory once per process;
// false when it cannot be had. TovRichEdit::Create calls it.
bool LoadMsftedit();

// The rich-text pane over Msftedit's RICHEDIT50W (loaded from the system directory).
// Lines are paragraphs: the control holds "line\r" per line; its length counts one
// character per line end, which is the position rule of AddLine.
class TovRichEdit : public TovControl, public ITextPane {
 public:
  // Creates the control as a child of hParent. dwStyle is added to WS_CHILD | ES_MULTILINE;
  // bWordWrap is the initial word wrap. Throws std::runtime_error when msftedit.dll or
  // the window cannot be had.
  void Create(HWND hParent, const RECT& rcBounds, DWORD dwStyle, DWORD dwExStyle, HFONT hFont,
              bool bWordWrap, int nId = 0);
  // The pair the pane paints with (see PaneColors): the background, the colour of
  // text without one of its own, and under high contrast the colour of every line.
  // Lines already in the pane follow at once; each keeps its report colour, which
  // comes back when the pair allows it again.
  void SetColors(const TPaneColors& aColors);
  // SetColors with the pair of the system's colours now, and again at every
  // WM_SYSCOLORCHANGE, which the form hands to its controls.
  void FollowSystemColors();
  const TPaneColors& Colors() const { return FColors; }
  // The report colour of each line (paragraph), whatever the pane shows: the colour
  // its AddLine gave it, or of the line it followed for a plain line; clBlack for text
  // without one.
  std::vector<TColor> LineReportColors() const;

  void BeginUpdate(bool bClearLines) override;
  void EndUpdate() override;
  bool WordWrap() const override { return FbWordWrap; }
  void SetWordWrap(bool bWrap) override;
  void SetRichTextMode() override;
  void AddLine(const std::wstring& sLine, int nSize, TColor aColor, TFontStyles aStyle) override;
  void AddPlainLine(const std::wstring& sLine) override;
  int LineCount() const override;
  std::size_t TextLength() const override;
  std::wstring Text() const override;
  std::wstring Line(int Index) const override;
  void Clear();
  // The whole text replaced by sText (in the format at the start), the caret at the start.
  void ReplaceAll(const std::wstring& sText);
  // The inner left margin of the text in pixels; to be set again after every resize,
  // which resets the control's formatting rectangle.
  void SetLeftMargin(int nPixels);

 private:
  // Inserts the paragraphs of sLine at the end, in pFormat when given; returns the
  // start position. Throws EPaneInsertError, leaving the pane as it was, when they do
  // not fit.
  LONG Append(const std::wstring& sLine, LONG& nInserted, const CHARFORMAT2W* pFormat = nullptr);
  std::wstring RawText() const;
  // The control's settings after CreateChild, for a new control as for a fresh one.
  void SetUp();
  // Puts a new, empty control with the same settings in the place of the current one.
  void ReplaceByFreshControl();
  // Empties the pane for BeginUpdate, by a fresh control when it holds much.
  void ClearForUpdate();

  // Paints the pane's text in its pair and, unless it is the theme's alone, each
  // report run in its own colour.
  void ApplyColors();
  WNDPROC Subclass() const override { return &SubclassProc; }
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  // A stretch of text added in a report colour.
  struct TColorRun {
    LONG nStart, nEnd;
    TColor aColor;
  };

  DWORD FdwStyle = 0, FdwExStyle = 0;
  bool FbColors = false;
  bool FbSystemColors = false;
  TPaneColors FColors;
  std::vector<TColorRun> FRuns;
  bool FbWordWrap = true;
  bool FbWordWrap_BeforeUpdate = true;
  // Redraw is off from BeginUpdate of a visible pane to EndUpdate.
  bool FbRedrawHeld = false;
  // EM_HIDESELECTION sent by BeginUpdate, taken back by EndUpdate.
  bool FbSelectionHidden = false;
};

}  // namespace sw
