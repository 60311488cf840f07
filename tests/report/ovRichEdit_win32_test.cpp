// TovRichEdit against the real RICHEDIT50W control, side by side with TMemoryPane.
#include <gtest/gtest.h>

#include <richedit.h>

#include <vector>

#include "report/MemoryPane.h"
#include "report/Render.h"
#include "report/ovRichEdit_win32.h"

namespace sw {
namespace {

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FhHost = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(FhHost, nullptr);
    FFont = CreateTahoma(-11, ANSI_CHARSET);
    Fpane.Create(FhHost, RECT{0, 0, 120, 200}, WS_VSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, FFont.get(), true, 1);
    ASSERT_NE(Fpane.Handle(), nullptr);
  }
  void TearDown() override {
    if (FhHost) ::DestroyWindow(FhHost);
  }

  CHARFORMAT2W FormatAt(LONG nPos) {
    CHARRANGE cr{nPos, nPos + 1};
    ::SendMessageW(Fpane.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    CHARFORMAT2W cf;
    memset(&cf, 0xbd, sizeof(cf));
    cf.cbSize = sizeof(cf);
    ::SendMessageW(Fpane.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
  }
  CHARRANGE Selection() {
    CHARRANGE cr{-7, -7};
    ::SendMessageW(Fpane.Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    return cr;
  }
  // Display lines of the control: more than the paragraphs only when it wraps.
  LRESULT DisplayLines() { return ::SendMessageW(Fpane.Handle(), EM_GETLINECOUNT, 0, 0); }

  HWND FhHost = nullptr;
  TFont FFont;
  TovRichEdit Fpane;
};

struct TLineCase {
  const wchar_t* sLine;
  int nSize;
  TColor aColor;
  TFontStyles aStyle;
  int nParagraphs;
};

TEST_F(RichEditTest, LinesStartWhereTheMemoryPaneSaysAndKeepTheirFormat) {
  const TLineCase cases[] = {
      {L"----- Check gestartet -----", 8, clBlack, 0, 1},
      {L"Gruen: Freier RAM-Speicher = 4096 MBytes - OK!", 8, clGreen, 0, 1},
      {L"", 8, clRed, 0, 1},
      {L"\nDie CPU Taktfrequenz sollte mindestens 1 GHz betragen.", 8, clBlack, 0, 2},
      {L"Gelb: Umlaute äöüß = 12,5 GB", 10, clOlive, fsBold | fsItalic, 1},
      {L"zwei\r\nAbsätze", 12, clPurple, fsUnderline, 2},
      {L"Rot: Fehler = ???", 8, clRed, fsStrikeOut, 1},
      {L"navy\rlone CR", 9, clNavy, 0, 2},
  };
  TMemoryPane memory;
  Fpane.BeginUpdate(true);
  memory.BeginUpdate(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "line of " << wcslen(c.sLine) << " chars, colour " << std::hex << c.aColor);
    const std::size_t nBefore = Fpane.TextLength();
    ASSERT_EQ(nBefore, memory.TextLength());
    Fpane.AddLine(c.sLine, c.nSize, c.aColor, c.aStyle);
    memory.AddLine(c.sLine, c.nSize, c.aColor, c.aStyle);
    ASSERT_EQ(static_cast<std::size_t>(Selection().cpMin), memory.AddLineStarts().back())
        << "the line starts at the end counted with one character per line end";
    EXPECT_EQ(Fpane.TextLength(), memory.TextLength());
    EXPECT_EQ(Fpane.TextLength() - nBefore, memory.TextLength() - nBefore);

    // Every character of the new paragraphs, line ends included, carries the format.
    for (LONG p = static_cast<LONG>(nBefore); p < static_cast<LONG>(Fpane.TextLength()); ++p) {
      const CHARFORMAT2W cf = FormatAt(p);
      ASSERT_EQ(cf.crTextColor, c.aColor) << "position " << p;
      ASSERT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
      ASSERT_EQ(cf.yHeight, c.nSize * 20) << "position " << p;
      ASSERT_EQ((cf.dwEffects & CFE_BOLD) != 0, (c.aStyle & fsBold) != 0);
      ASSERT_EQ((cf.dwEffects & CFE_ITALIC) != 0, (c.aStyle & fsItalic) != 0);
      ASSERT_EQ((cf.dwEffects & CFE_UNDERLINE) != 0, (c.aStyle & fsUnderline) != 0);
      ASSERT_EQ((cf.dwEffects & CFE_STRIKEOUT) != 0, (c.aStyle & fsStrikeOut) != 0);
      ASSERT_STREQ(cf.szFaceName, L"Tahoma") << "the font name stays the control's";
    }
  }
  EXPECT_EQ(Fpane.Text(), memory.Text());
  EXPECT_EQ(Fpane.LineCount(), memory.LineCount());
  for (int i = 0; i < memory.LineCount(); ++i) EXPECT_EQ(Fpane.Line(i), memory.Line(i)) << "line " << i;
  EXPECT_THROW(Fpane.Line(memory.LineCount()), std::out_of_range);
  // The leading line feed gave an empty line before the text.
  EXPECT_EQ(Fpane.Line(3), L"");
  EXPECT_EQ(Fpane.Line(4), L"Die CPU Taktfrequenz sollte mindestens 1 GHz betragen.");
}

TEST_F(RichEditTest, FirstLineOfAnEmptyPaneStartsAtZero) {
  Fpane.AddLine(L"x", 8, clGreen, 0);
  Fpane.AddLine(L"abc", 8, clGreen, 0);
  Fpane.AddLine(L"", 8, clGreen, 0);
  Fpane.AddLine(L"z", 8, clGreen, 0);
  EXPECT_EQ(Selection().cpMin, 1 + 1 + 3 + 1 + 0 + 1);
  Fpane.BeginUpdate(true);
  Fpane.AddLine(L"neu", 8, clRed, 0);
  const CHARRANGE cr = Selection();
  EXPECT_EQ(cr.cpMin, 0);
  EXPECT_EQ(cr.cpMax, 4) << "the line and its line end are selected";
  EXPECT_EQ(Fpane.Text(), L"neu\r\n");
}

TEST_F(RichEditTest, WordWrapIsSavedAndRestored) {
  const std::wstring sLong(400, L'w');
  const std::wstring sWords = L"ein langer Satz mit vielen Woertern, der in 120 Pixeln nicht Platz findet";
  ASSERT_TRUE(Fpane.WordWrap());
  Fpane.AddPlainLine(sWords);
  EXPECT_GT(DisplayLines(), 2) << "wrapped at the window";

  Fpane.BeginUpdate(false);
  EXPECT_FALSE(Fpane.WordWrap());
  EXPECT_EQ(DisplayLines(), 2) << "one paragraph and the empty end: no wrapping";
  EXPECT_EQ(Fpane.Text(), sWords + L"\r\n") << "BeginUpdate(false) keeps the lines";
  Fpane.EndUpdate();
  EXPECT_TRUE(Fpane.WordWrap());
  EXPECT_GT(DisplayLines(), 2);

  // The bracket does not nest: the second BeginUpdate saves "off".
  Fpane.BeginUpdate(false);
  Fpane.BeginUpdate(false);
  Fpane.EndUpdate();
  EXPECT_FALSE(Fpane.WordWrap());

  // AddLine switches wrap off and it stays off without a bracket.
  Fpane.SetWordWrap(true);
  Fpane.AddLine(sLong, 8, clBlack, 0);
  EXPECT_FALSE(Fpane.WordWrap());
  EXPECT_EQ(DisplayLines(), 3);
}

TEST_F(RichEditTest, LineThatDoesNotFitIsNotAddedAtAll) {
  TMemoryPane memory;
  // 1023 lines of 63 characters + line end = 65472; 64 left.
  const std::wstring sLine(63, L'a');
  for (int i = 0; i < 1023; ++i) {
    Fpane.AddPlainLine(sLine);
    memory.AddPlainLine(sLine);
  }
  ASSERT_EQ(Fpane.TextLength(), 65472u);
  const std::wstring sBefore = Fpane.Text();

  for (const std::wstring& sTooLong : {std::wstring(64, L'b'), std::wstring(L"\n") + std::wstring(63, L'c'),
                                       std::wstring(10, L'd') + L"\r\n" + std::wstring(53, L'e')}) {
    SCOPED_TRACE(testing::Message() << "line of " << sTooLong.size() << " chars");
    try {
      Fpane.AddLine(sTooLong, 8, clRed, fsBold);
      FAIL() << "no error raised";
    } catch (const EPaneInsertError& e) {
      EXPECT_STREQ(e.what(), "Fehler beim Einfügen einer Zeile in RichEdit");
    }
    EXPECT_THROW(Fpane.AddPlainLine(sTooLong), EPaneInsertError);
    EXPECT_THROW(memory.AddPlainLine(sTooLong), EPaneInsertError);
    EXPECT_EQ(Fpane.TextLength(), 65472u);
    EXPECT_EQ(Fpane.Text(), sBefore) << "nothing partial stays";
  }
  // Exactly to the brim still fits, and the next empty line does not.
  Fpane.AddLine(std::wstring(63, L'f'), 8, clGreen, 0);
  memory.AddLine(std::wstring(63, L'f'), 8, clGreen, 0);
  EXPECT_EQ(Fpane.TextLength(), kPaneCapacity);
  EXPECT_THROW(Fpane.AddPlainLine(L""), EPaneInsertError);
  EXPECT_EQ(Fpane.Text(), memory.Text());
  EXPECT_EQ(Fpane.LineCount(), 1024);
}

TEST_F(RichEditTest, ReadOnlyPaneTakesLinesAndClears) {
  ASSERT_TRUE(::GetWindowLongW(Fpane.Handle(), GWL_STYLE) & ES_READONLY);
  Fpane.AddPlainLine(L"eins");
  Fpane.AddLine(L"zwei", 8, clOlive, 0);
  EXPECT_EQ(Fpane.Text(), L"eins\r\nzwei\r\n");
  // A plain line below leaves the formatted line as it was.
  Fpane.AddPlainLine(L"drei");
  EXPECT_EQ(FormatAt(5).crTextColor, clOlive);
  EXPECT_EQ(FormatAt(9).crTextColor, clOlive);
  EXPECT_EQ(Fpane.Line(2), L"drei");
  Fpane.BeginUpdate(true);
  EXPECT_EQ(Fpane.Text(), L"");
  EXPECT_EQ(Fpane.TextLength(), 0u);
  EXPECT_EQ(Fpane.LineCount(), 0);
  Fpane.SetRichTextMode();
  EXPECT_EQ(::SendMessageW(Fpane.Handle(), EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT, TM_RICHTEXT);
}

// The read-only report pane keeps no undo record (it costs Wine time on every line);
// an editable pane, as the preview's, still undoes what the user typed.
TEST_F(RichEditTest, EditablePaneUndoesTyping) {
  TovRichEdit editable;
  editable.Create(FhHost, RECT{0, 0, 120, 200}, WS_VSCROLL, 0, FFont.get(), true, 2);
  editable.AddPlainLine(L"eins");
  ::SendMessageW(editable.Handle(), WM_CHAR, L'x', 0);
  EXPECT_EQ(editable.Text(), L"eins\r\nx");
  EXPECT_TRUE(::SendMessageW(editable.Handle(), EM_UNDO, 0, 0));
  EXPECT_EQ(editable.Text(), L"eins\r\n");
}

// A full pane is emptied by a fresh control in the old one's place (far faster in
// Wine's RichEdit); to the window and to a reader it must be the same pane.
TEST_F(RichEditTest, FullPaneEmptiedByBeginUpdateIsTheSamePaneAgain) {
  HWND hBefore = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, FhHost, nullptr,
                                   nullptr, nullptr);
  ::SetWindowPos(hBefore, Fpane.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Fpane.SetColors(TPaneColors{false, clBlack, RGB(1, 2, 3)});
  Fpane.SetWordWrap(false);
  Fpane.AddLine(L"eins", 8, clOlive, fsBold);
  for (int i = 0; i < 300; ++i) Fpane.AddPlainLine(std::wstring(40, L'x'));
  const HWND hOld = Fpane.Handle();
  const LONG dwStyle = ::GetWindowLongW(hOld, GWL_STYLE), dwExStyle = ::GetWindowLongW(hOld, GWL_EXSTYLE);
  RECT rcOld{};
  ::GetWindowRect(hOld, &rcOld);
  ::SetFocus(hOld);
  const bool bFocused = ::GetFocus() == hOld;

  Fpane.BeginUpdate(true);
  const HWND h = Fpane.Handle();
  ASSERT_TRUE(::IsWindow(h));
  EXPECT_EQ(Fpane.TextLength(), 0u);
  EXPECT_EQ(Fpane.LineCount(), 0);
  EXPECT_EQ(Selection().cpMin, 0);
  EXPECT_EQ(Selection().cpMax, 0);
  EXPECT_EQ(::GetDlgCtrlID(h), 1);
  EXPECT_EQ(::GetParent(h), FhHost);
  EXPECT_EQ(::GetWindowLongW(h, GWL_STYLE) & ~WS_VSCROLL, dwStyle & ~WS_VSCROLL);
  EXPECT_EQ(::GetWindowLongW(h, GWL_EXSTYLE), dwExStyle);
  RECT rc{};
  ::GetWindowRect(h, &rc);
  EXPECT_TRUE(::EqualRect(&rc, &rcOld));
  EXPECT_EQ(::GetFocus() == h, bFocused);
  EXPECT_EQ(::GetWindow(h, GW_HWNDNEXT), hBefore) << "same place in the tab order";
  EXPECT_EQ(TovControl::FromHandle(h), &Fpane);
  EXPECT_EQ(::SendMessageW(h, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)), static_cast<LRESULT>(RGB(1, 2, 3)));
  EXPECT_GE(static_cast<std::size_t>(::SendMessageW(h, EM_GETLIMITTEXT, 0, 0)), kPaneCapacity);
  EXPECT_EQ(::SendMessageW(h, EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT, TM_RICHTEXT);
  EXPECT_FALSE(Fpane.WordWrap());
  // Lines go in as into the old pane, with their formats.
  Fpane.AddLine(L"zwei", 8, clRed, 0);
  Fpane.AddPlainLine(L"drei");
  EXPECT_EQ(Fpane.Text(), L"zwei\r\ndrei\r\n");
  EXPECT_EQ(FormatAt(0).crTextColor, clRed);
  EXPECT_EQ(FormatAt(0).yHeight, 160);
  EXPECT_STREQ(FormatAt(5).szFaceName, L"Tahoma") << "the pane's font";
  Fpane.EndUpdate();
  EXPECT_FALSE(Fpane.WordWrap());
}

// Windows reports high contrast to the pane's owner (Wine cannot: PaneColors' host
// test has the rule); here the pane itself follows the pair it is given, at once and
// for the lines it already holds, and gives every line its report colour back.
TEST_F(RichEditTest, PaneFollowsItsPairAndKeepsTheReportColours) {
  // What the owner reads: the scheme the test prefix was given (tests/wine/wine-env.sh,
  // white text on black, also in tooltips), without the flag, which Wine never reports.
  const TSystemColors sys = ReadSystemColors();
  EXPECT_FALSE(sys.bHighContrast);
  EXPECT_EQ(sys.cWindowText, RGB(255, 255, 255));
  EXPECT_EQ(sys.cWindow, RGB(0, 0, 0));
  EXPECT_EQ(sys.cInfoText, RGB(255, 255, 255));
  EXPECT_EQ(sys.cInfoBk, RGB(0, 0, 0));

  const TPaneColors hc = PaneColors({true, RGB(255, 255, 255), RGB(0, 0, 0), RGB(1, 2, 3), RGB(0, 0, 0)});
  const TPaneColors normal = PaneColors({false, RGB(255, 255, 255), RGB(0, 0, 0), RGB(1, 2, 3), RGB(255, 255, 225)});
  Fpane.SetColors(normal);
  Fpane.AddLine(L"Gruen: eins", 8, clGreen, 0);
  Fpane.AddLine(L"Rot: zwei", 8, clRed, 0);
  Fpane.AddPlainLine(L"Verlauf");  // takes the format before it
  Fpane.SetColors(hc);
  Fpane.AddLine(L"Gelb: drei", 8, clOlive, 0);
  const std::wstring sText = Fpane.Text();
  const std::vector<LONG> starts = {0, 12, 22, 30};  // one position per paragraph
  auto ExpectShown = [&](const std::vector<COLORREF>& colors, COLORREF cBackground) {
    for (std::size_t i = 0; i < starts.size(); ++i) {
      SCOPED_TRACE(i);
      const CHARFORMAT2W cf = FormatAt(starts[i]);
      EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
      EXPECT_EQ(cf.crTextColor, colors[i]);
    }
    // EM_SETBKGNDCOLOR answers with the colour it replaces.
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(Fpane.Handle(), EM_SETBKGNDCOLOR, 0, cBackground)), cBackground);
  };
  ExpectShown({RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)}, RGB(0, 0, 0));
  Fpane.SetColors(normal);
  ExpectShown({clGreen, clRed, clRed, clOlive}, RGB(255, 255, 225));
  EXPECT_EQ(Fpane.LineReportColors(), (std::vector<TColor>{clGreen, clRed, clRed, clOlive}));
  EXPECT_EQ(Fpane.Text(), sText);
  // Text without a colour of its own, as the preview's letter goes in, takes the pair's.
  Fpane.Clear();
  Fpane.ReplaceAll(L"Brief\r");
  EXPECT_FALSE(FormatAt(0).dwEffects & CFE_AUTOCOLOR);
  EXPECT_EQ(FormatAt(0).crTextColor, RGB(1, 2, 3));
  EXPECT_EQ(Fpane.LineReportColors(), (std::vector<TColor>{clBlack}));
}

// The runs are recoloured through the selection, and RichEdit (Windows' at least)
// scrolls to a selection even with redraw off: a theme switch must leave the view.
TEST_F(RichEditTest, ColourChangeKeepsFirstLineAndSelection) {
  ::ShowWindow(FhHost, SW_SHOWNA);
  const TPaneColors normal = PaneColors({false, RGB(255, 255, 255), RGB(0, 0, 0), RGB(1, 2, 3), RGB(255, 255, 225)});
  const TPaneColors hc = PaneColors({true, RGB(255, 255, 255), RGB(0, 0, 0), RGB(1, 2, 3), RGB(0, 0, 0)});
  Fpane.SetColors(normal);
  Fpane.SetWordWrap(false);
  for (int i = 0; i < 80; ++i) Fpane.AddLine(L"Zeile " + std::to_wstring(i), 8, i % 2 ? clRed : clGreen, 0);
  const HWND h = Fpane.Handle();
  const LONG nLine40 = static_cast<LONG>(::SendMessageW(h, EM_LINEINDEX, 40, 0));
  CHARRANGE sel{nLine40 + 1, nLine40 + 4};
  ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  POINT ptTop{0, 0};
  ::SendMessageW(h, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&ptTop));
  // Neither the top nor the selection's line nor the end: a view of its own.
  ::SendMessageW(h, EM_LINESCROLL, 0, 10);
  const LRESULT nFirst = ::SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(nFirst, 0);
  POINT ptBefore{-7, -7};
  ::SendMessageW(h, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&ptBefore));
  for (const TPaneColors& colors : {hc, normal}) {
    SCOPED_TRACE(colors.bThemeOnly ? "theme's pair" : "report colours");
    Fpane.SetColors(colors);
    EXPECT_EQ(::SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0), nFirst);
    POINT pt{-7, -7};
    ::SendMessageW(h, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pt));
    EXPECT_EQ(pt.y, ptBefore.y);
    EXPECT_EQ(Selection().cpMin, sel.cpMin);
    EXPECT_EQ(Selection().cpMax, sel.cpMax) << "the caret at the selection's end";
  }
}

// Counts the pane's WM_PAINT, on top of its own procedure.
struct TPaintCount {
  static inline WNDPROC Next = nullptr;
  static inline int nPaints = 0;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_PAINT) ++nPaints;
    return ::CallWindowProcW(Next, hwnd, uMsg, wParam, lParam);
  }
};

// A visible pane would repaint itself and its scroll bar at every line of a run. Its
// history is long enough that the update starts with a fresh control.
TEST_F(RichEditTest, VisiblePaneIsPaintedOnceWhenTheUpdateEnds) {
  ::ShowWindow(FhHost, SW_SHOWNA);
  for (int i = 0; i < 300; ++i) Fpane.AddLine(std::wstring(40, L'x'), 8, clRed, 0);
  const HWND hOld = Fpane.Handle();
  ::UpdateWindow(FhHost);
  Fpane.BeginUpdate(true);
  const HWND h = Fpane.Handle();
  ASSERT_NE(h, hOld);
  TPaintCount::nPaints = 0;
  TPaintCount::Next = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TPaintCount::Proc)));
  for (int i = 0; i < 40; ++i) Fpane.AddLine(L"Zeile " + std::to_wstring(i), 8, clGreen, 0);
  Fpane.AddPlainLine(L"Verlauf");
  EXPECT_EQ(TPaintCount::nPaints, 0) << "painted while lines went in";
  Fpane.EndUpdate();
  EXPECT_GE(TPaintCount::nPaints, 1) << "not painted at the end";
  EXPECT_TRUE(::IsWindowVisible(h));
  EXPECT_EQ(Fpane.LineCount(), 41);
  ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TPaintCount::Next));
}

// Lines go in with the selection hidden; one made once the update has ended is drawn.
TEST_F(RichEditTest, SelectionMadeAfterAnUpdateIsDrawn) {
  ::ShowWindow(FhHost, SW_SHOWNA);
  Fpane.BeginUpdate(true);
  for (int i = 0; i < 3; ++i) Fpane.AddLine(std::wstring(12, L'W'), 8, clBlack, 0);
  Fpane.EndUpdate();
  ::SetFocus(Fpane.Handle());
  CHARRANGE all{0, -1};
  ::SendMessageW(Fpane.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  ::UpdateWindow(Fpane.Handle());
  const COLORREF cHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
  int nHighlighted = 0;
  HDC hdc = ::GetDC(Fpane.Handle());
  for (int y = 2; y < 40; ++y)
    for (int x = 2; x < 100; ++x) nHighlighted += ::GetPixel(hdc, x, y) == cHighlight;
  ::ReleaseDC(Fpane.Handle(), hdc);
  EXPECT_GT(nHighlighted, 100);
}

TEST_F(RichEditTest, ControlLimitSitsAboveTheCapacity) {
  const LRESULT nLimit = ::SendMessageW(Fpane.Handle(), EM_GETLIMITTEXT, 0, 0);
  EXPECT_GE(static_cast<std::size_t>(nLimit), kPaneCapacity);
}


TEST_F(RichEditTest, RenderStepGivesTheSameLinesAsOnTheMemoryPane) {
  auto Fill = [](TServiceInfos& infos) {
    infos.AddInfo(L"Start", L"-----  Check -----", L"-1", clBlack);
    infos.AddInfo(L"RAM", L"Gruen: Freier RAM-Speicher", L"4096 MBytes - OK!", clGreen);
    infos.AddInfo(L"CPU", L"CPU Name", L"  ", clGreen);
    infos.AddInfo(L"", L"", L"nie gezeigt", clGreen);
    infos.AddInfo(L"Netz", L"\nDie Netzwerk Geschwindigkeit", L" -1 ", clOlive);
    infos.AddInfo(L"Disk", L"Platte", L"frei ??? GB", clGreen);
  };
  TServiceInfos a, b;
  Fill(a);
  Fill(b);
  TMemoryPane memory;
  Fpane.BeginUpdate(true);
  memory.BeginUpdate(true);
  ShowServiceInfos(a, Fpane);
  ShowServiceInfos(b, memory);
  ASSERT_EQ(Fpane.Text(), memory.Text());
  std::size_t nPos = 0;
  for (const auto& line : memory.Lines()) {
    SCOPED_TRACE(testing::Message() << "line at " << nPos);
    if (!line.sText.empty()) {
      const CHARFORMAT2W cf = FormatAt(static_cast<LONG>(nPos));
      EXPECT_EQ(cf.crTextColor, line.aColor);
      EXPECT_EQ(cf.yHeight, line.nSize * 20);
    }
    nPos += line.sText.size() + 1;
  }
  Fpane.EndUpdate();
  EXPECT_TRUE(Fpane.WordWrap());
}

}  // namespace
}  // namespace sw
