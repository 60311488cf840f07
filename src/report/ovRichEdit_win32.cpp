#include "report/ovRichEdit_win32.h"

#include <richedit.h>

#include <stdexcept>

#include "common/StartTrace.h"
#include "common/Text.h"

#include "win32/SystemLibrary_win32.h"

namespace sw {

// Msftedit stays loaded for the life of the process: its window class lives in it.
// Riched20 is loaded from the system folder first: an msftedit that loads it by bare
// name at attach (Wine's does) then finds the loaded one. The process's search order,
// which starts in the exe's folder, is left as it is for the DLLs of others. Any
// thread may load it first; another one that comes meanwhile waits for that load.
bool LoadMsftedit() {
  static TModule riched20 = LoadSystemLibrary(L"riched20.dll");
  static TModule module = LoadSystemLibrary(L"msftedit.dll");
  return static_cast<bool>(module);
}

namespace {

// The text as the control's paragraphs, each ended by its mark CR; every line end
// inside the text, one at its very end included, starts one more paragraph.
std::wstring ToParagraphs(const std::wstring& s) {
  const std::wstring sEnded = s + L'\r';
  std::wstring r;
  r.reserve(sEnded.size());
  for (const TLineSpan& aLine : SplitLineSpans(sEnded)) {
    r.append(sEnded, aLine.nStart, aLine.nLength);
    r += L'\r';
  }
  return r;
}

// Above this many characters a pane is emptied by a fresh control.
constexpr std::size_t kFreshControlChars = 8192;
}  // namespace

TSystemColors ReadSystemColors() {
  TSystemColors a;
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  a.bHighContrast = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
                    (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
  a.cWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  a.cWindow = ::GetSysColor(COLOR_WINDOW);
  a.cInfoText = ::GetSysColor(COLOR_INFOTEXT);
  a.cInfoBk = ::GetSysColor(COLOR_INFOBK);
  return a;
}

void TovRichEdit::Create(HWND hParent, const RECT& rc, DWORD dwStyle, DWORD dwExStyle, HFONT hFont,
                         bool bWordWrap, int nId) {
  if (!LoadMsftedit()) throw std::runtime_error("msftedit.dll konnte nicht geladen werden");
  SW_START_MARK("msftedit");
  FdwStyle = ES_MULTILINE | dwStyle;
  FdwExStyle = dwExStyle;
  CreateChild(MSFTEDIT_CLASS, hParent, FdwStyle, FdwExStyle, rc, L"", nId);
  FhFont = hFont;
  FbWordWrap = bWordWrap;
  SetUp();
  FbWordWrap_BeforeUpdate = FbWordWrap;
}

void TovRichEdit::SetUp() {
  // The own capacity check runs before every insertion; the control's limit sits
  // above it so that it never cuts a line short.
  ::SendMessageW(Fhwnd, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kPaneCapacity + 1024));
  ::SendMessageW(Fhwnd, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  // Lines go in without undo (EM_REPLACESEL FALSE), yet Wine's RichEdit records them
  // and drops the record after: about 20 ms for a full pane of history. A read-only
  // pane has nothing else to undo; an editable one keeps undo for the user's typing.
  if (FdwStyle & ES_READONLY) ::SendMessageW(Fhwnd, EM_SETUNDOLIMIT, 0, 0);
  if (FhFont) SetFont(FhFont);
  FRuns.clear();
  if (FbColors) ApplyColors();
  const bool bWrap = FbWordWrap;
  FbWordWrap = !bWrap;  // force the message
  SetWordWrap(bWrap);
}

void TovRichEdit::ReplaceByFreshControl() {
  HWND hOld = Fhwnd;
  HWND hParent = ::GetParent(hOld);
  RECT rc{};
  ::GetWindowRect(hOld, &rc);
  ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rc), 2);
  // Held redraw has taken WS_VISIBLE off the old control.
  const bool bVisible = FbRedrawHeld || (::GetWindowLongW(hOld, GWL_STYLE) & WS_VISIBLE) != 0;
  const bool bFocused = ::GetFocus() == hOld;
  CreateChild(MSFTEDIT_CLASS, hParent, FdwStyle, FdwExStyle, rc, L"", ::GetDlgCtrlID(hOld));
  if (FbRedrawHeld) ::SendMessageW(Fhwnd, WM_SETREDRAW, FALSE, 0);
  SetUp();
  // Same place in the z-order, so the tab order stays, then the old one goes.
  ::SetWindowPos(Fhwnd, hOld, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Unmark(hOld);
  ::DestroyWindow(hOld);
  if (!bVisible) ::ShowWindow(Fhwnd, SW_HIDE);
  if (bFocused) ::SetFocus(Fhwnd);
}

LRESULT CALLBACK TovRichEdit::SubclassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // Every message of the pane passes here: the object is looked up only for the two
  // that need it, as a window property costs a system call (a server round trip
  // under Wine).
  if (uMsg == WM_GETDLGCODE) {
    // Asked by the dialog manager, RichEdit takes Tab and Esc for itself and sends them
    // to its parent as WM_NEXTDLGCTL and WM_CLOSE: the main window's pane sits in a
    // group box, which would close. The dialog manager keeps them, and Enter too, unless
    // the pane takes line breaks.
    const bool bWantReturn = (::GetWindowLongW(hwnd, GWL_STYLE) & ES_WANTRETURN) != 0;
    auto* msg = reinterpret_cast<const MSG*>(lParam);
    const bool bReturn = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
    // No DLGC_HASSETSEL: tabbing into the letter must not select all of it.
    return DLGC_WANTCHARS | DLGC_WANTARROWS | (bWantReturn && bReturn ? DLGC_WANTMESSAGE : 0);
  }
  if (uMsg == WM_NCDESTROY) Detach(hwnd);
  const LRESULT r = CallClassProc(hwnd, uMsg, wParam, lParam);
  if (uMsg == WM_SYSCOLORCHANGE) {
    auto* self = static_cast<TovRichEdit*>(FromHandle(hwnd));
    if (self && self->FbSystemColors) self->FollowSystemColors();
  }
  return r;
}

void TovRichEdit::SetColors(const TPaneColors& aColors) {
  FbColors = true;
  FColors = aColors;
  ApplyColors();
}

void TovRichEdit::FollowSystemColors() {
  FbSystemColors = true;
  SetColors(PaneColors(ReadSystemColors()));
}

void TovRichEdit::ApplyColors() {
  if (!Fhwnd) return;
  ::SendMessageW(Fhwnd, EM_SETBKGNDCOLOR, 0, FColors.cBackground);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = FColors.cText;  // no CFE_AUTOCOLOR: the window text colour is not the pair's
  ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  if (TextLength() == 0) {
    // An empty control inserts in the format of its paragraph mark and its caret,
    // which the default format does not reach.
    ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return;
  }
  // Each run is coloured through the selection, and RichEdit scrolls to a selection
  // even with redraw off: the user's selection and scroll position are put back after.
  CHARRANGE crOld{};
  ::SendMessageW(Fhwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&crOld));
  POINT ptScroll{};
  ::SendMessageW(Fhwnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&ptScroll));
  ::SendMessageW(Fhwnd, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  if (!FColors.bThemeOnly) {
    for (const TColorRun& r : FRuns) {
      CHARRANGE cr{r.nStart, r.nEnd};
      ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
      cf.crTextColor = r.aColor;
      ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    }
  }
  ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&crOld));
  ::SendMessageW(Fhwnd, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&ptScroll));
  if (FbRedrawHeld) return;  // an update under way paints at its end
  ::SendMessageW(Fhwnd, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(Fhwnd, nullptr, TRUE);
}

std::vector<TColor> TovRichEdit::LineReportColors() const {
  std::vector<TColor> colors;
  const std::wstring raw = RawText();
  auto run = FRuns.begin();
  LONG nStart = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != L'\r') continue;
    while (run != FRuns.end() && run->nEnd <= nStart) ++run;
    colors.push_back(run != FRuns.end() && run->nStart <= nStart ? run->aColor : clBlack);
    nStart = static_cast<LONG>(i + 1);
  }
  return colors;
}

void TovRichEdit::SetWordWrap(bool bWrap) {
  if (bWrap == FbWordWrap) return;
  // A null device with line width 0 wraps at the window; width 1 means no wrap.
  ::SendMessageW(Fhwnd, EM_SETTARGETDEVICE, 0, bWrap ? 0 : 1);
  FbWordWrap = bWrap;
}

void TovRichEdit::BeginUpdate(bool bClearLines) {
  FbWordWrap_BeforeUpdate = FbWordWrap;
  // A visible pane repaints itself and its scroll bar at every line: it is painted
  // once, at EndUpdate. Redraw off takes WS_VISIBLE away meanwhile, so a pane with
  // the focus keeps redraw, lest the form's focus rules pass it over.
  if (!FbRedrawHeld && ::IsWindowVisible(Fhwnd) && ::GetFocus() != Fhwnd) {
    ::SendMessageW(Fhwnd, WM_SETREDRAW, FALSE, 0);
    FbRedrawHeld = true;
  }
  SetWordWrap(false);
  if (bClearLines) ClearForUpdate();
  // Every line leaves its selection over itself and the next one moves it on: twice a
  // line Wine's RichEdit invalidates the selection's rows, a server round trip each,
  // unless the selection is hidden. A pane without the focus shows no selection anyway.
  if (!FbSelectionHidden && ::GetFocus() != Fhwnd) {
    ::SendMessageW(Fhwnd, EM_HIDESELECTION, TRUE, 0);
    FbSelectionHidden = true;
  }
}

void TovRichEdit::ClearForUpdate() {
  // Wine's RichEdit takes about 190 ms to empty itself of a full pane of history (and
  // longer by any other message it offers); a fresh control in its place takes about
  // 12. A report-sized text goes the ordinary way.
  if (TextLength() > kFreshControlChars) {
    try {
      ReplaceByFreshControl();
      return;
    } catch (const std::runtime_error&) {
      // No new window to be had: the old one is still there and empties itself.
    }
  }
  Clear();
}

void TovRichEdit::EndUpdate() {
  SetWordWrap(FbWordWrap_BeforeUpdate);
  if (FbSelectionHidden) {
    // Back to the control's own rule: shown while it has the focus.
    FbSelectionHidden = false;
    ::SendMessageW(Fhwnd, EM_HIDESELECTION, FALSE, 0);
  }
  if (!FbRedrawHeld) return;
  FbRedrawHeld = false;
  ::SendMessageW(Fhwnd, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(Fhwnd, nullptr, TRUE);
  ::UpdateWindow(Fhwnd);
}

void TovRichEdit::Clear() {
  FRuns.clear();
  ::SendMessageW(Fhwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  if (FbColors) ApplyColors();
}

void TovRichEdit::SetRichTextMode() {
  // Only an empty control changes its mode; a filled one already is in rich-text mode
  // (Create sets it), so the refusal is of no consequence.
  ::SendMessageW(Fhwnd, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
}

std::size_t TovRichEdit::TextLength() const {
  GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT n = ::SendMessageW(Fhwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::wstring TovRichEdit::RawText() const {
  const std::size_t cch = TextLength();
  std::wstring s(cch + 1, L'\0');
  GETTEXTEX gt{};
  gt.cb = static_cast<DWORD>((cch + 1) * sizeof(wchar_t));
  gt.flags = GT_DEFAULT;
  gt.codepage = 1200;
  const LRESULT got = ::SendMessageW(Fhwnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt),
                                     reinterpret_cast<LPARAM>(s.data()));
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

std::wstring TovRichEdit::Text() const {
  const std::wstring raw = RawText();
  std::wstring s;
  s.reserve(raw.size() * 2);
  for (wchar_t c : raw) {
    if (c == L'\r') {
      s += L"\r\n";
    } else if (c != L'\n') {
      s += c;
    }
  }
  return s;
}

int TovRichEdit::LineCount() const {
  // Counted over paragraphs, not display lines, so that word wrap does not matter.
  int n = 0;
  for (wchar_t c : RawText())
    if (c == L'\r') ++n;
  return n;
}

std::wstring TovRichEdit::Line(int Index) const {
  const std::wstring raw = RawText();
  int n = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != L'\r') continue;
    if (n == Index) return raw.substr(start, i - start);
    ++n;
    start = i + 1;
  }
  throw std::out_of_range("Zeilenindex außerhalb des Bereichs");
}

LONG TovRichEdit::Append(const std::wstring& sLine, LONG& nInserted, const CHARFORMAT2W* pFormat) {
  const std::wstring sParagraphs = ToParagraphs(sLine);
  const std::size_t nStart = TextLength();
  if (nStart + sParagraphs.size() > kPaneCapacity) throw EPaneInsertError();
  const LONG nPos = static_cast<LONG>(nStart);
  CHARRANGE cr{nPos, nPos};
  ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  if (pFormat)
    ::SendMessageW(Fhwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(pFormat));
  ::SendMessageW(Fhwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(sParagraphs.c_str()));
  nInserted = static_cast<LONG>(TextLength()) - nPos;
  if (nInserted != static_cast<LONG>(sParagraphs.size())) {
    // The control took less than asked: nothing partial may stay.
    CHARRANGE all{nPos, -1};
    ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    ::SendMessageW(Fhwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    throw EPaneInsertError();
  }
  return nPos;
}

void TovRichEdit::AddLine(const std::wstring& sLine, int nSize, TColor aColor, TFontStyles aStyle) {
  SetWordWrap(false);
  // Style, size and colour in one message (the masks do not overlap), given to the
  // insertion point at the end: the line is laid out once, in its own format, instead
  // of once plain and once more when a selection over it is formatted. The result is
  // the same as formatting the selection afterwards.
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR;
  cf.dwEffects = ((aStyle & fsBold) ? CFE_BOLD : 0) | ((aStyle & fsItalic) ? CFE_ITALIC : 0) |
                 ((aStyle & fsUnderline) ? CFE_UNDERLINE : 0) | ((aStyle & fsStrikeOut) ? CFE_STRIKEOUT : 0);
  cf.yHeight = nSize * 20;  // twips
  // No CFE_AUTOCOLOR: the colour given counts.
  cf.crTextColor = static_cast<COLORREF>(FbColors ? ShownColor(FColors, aColor) : aColor);
  LONG nInserted = 0;
  const LONG nStart = Append(sLine, nInserted, &cf);
  FRuns.push_back({nStart, nStart + nInserted, aColor});
  // The selection is left over the new line with its line end.
  CHARRANGE cr{nStart, nStart + nInserted};
  ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void TovRichEdit::AddPlainLine(const std::wstring& sLine) {
  LONG nInserted = 0;
  const LONG nStart = Append(sLine, nInserted);
  // The line takes the format of the text before it, and so its report colour.
  if (!FRuns.empty() && FRuns.back().nEnd == nStart) FRuns.back().nEnd = nStart + nInserted;
}

void TovRichEdit::ReplaceAll(const std::wstring& sText) {
  FRuns.clear();
  CHARRANGE cr{0, -1};
  ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  ::SendMessageW(Fhwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(sText.c_str()));
  CHARRANGE home{0, 0};
  ::SendMessageW(Fhwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&home));
}

void TovRichEdit::SetLeftMargin(int nPixels) {
  // EM_SETMARGINS does nothing in some rich-edit builds (Wine's); the formatting
  // rectangle gives the same inner margin everywhere.
  if (!Fhwnd) return;
  RECT rc{};
  ::GetClientRect(Fhwnd, &rc);
  const LONG nWanted = rc.left + nPixels;
  rc.left = nWanted;
  if (rc.right < rc.left) rc.right = rc.left;
  ::SendMessageW(Fhwnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  // With a client edge the control moves the rectangle's left side one pixel out
  // (Wine's RichEdit, as Windows'); read it back and make up the difference.
  RECT rcGot{};
  ::SendMessageW(Fhwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rcGot));
  if (rcGot.left != nWanted) {
    rc.left += nWanted - rcGot.left;
    if (rc.right < rc.left) rc.right = rc.left;
    ::SendMessageW(Fhwnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  }
}

}  // namespace sw
