// The Mail and Preview buttons of the running program, driven from this process as a
// user would: clicks, typed details, message boxes and the printer setup dialog.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/Version.h"
#include "common/ProgramIcon_win32.h"
#include "common/ShareDrive_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "app/MainForm_win32.h"
#include "share/FormPreview_win32.h"
#include "share/PageLayout.h"
#include "common/Text.h"
#include "share/PreviewText.h"

namespace sw {
namespace {

using test::TSichtwerkProcess;

using test::OpenLetter;
using test::share_drive::Click;
using test::share_drive::Type;
using test::share_drive::WaitFor;
using test::share_drive::WaitForWindow;

std::wstring WindowText(HWND h) {
  wchar_t s[4096] = {};
  ::SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(s), SMTO_ABORTIFHUNG, 5000, nullptr);
  return s;
}

std::wstring LongWindowText(HWND h) {
  DWORD_PTR n = 0;
  ::SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &n);
  std::wstring s(n + 1, L'\0');
  ::SendMessageTimeoutW(h, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000, nullptr);
  s.resize(wcslen(s.c_str()));
  return s;
}

HWND FocusOf(HWND hWindowOfThread) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof(gti);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWindowOfThread, nullptr), &gti);
  return gti.hwndFocus;
}

// Waits for the message box over the preview, returns its text and presses OK.
std::wstring AnswerMessageBox(DWORD dwPid, HWND hOwner) {
  HWND hBox = WaitForWindow(dwPid, L"#32770", hOwner);
  if (!hBox) return L"(no message box)";
  std::wstring s = WindowText(::GetDlgItem(hBox, 0xFFFF));
  ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hBox, IDOK)));
  WaitFor([&] { return !::IsWindow(hBox); }, 5000);
  return s;
}

// A control of the form where the layout table puts it at the preview's client size now.
bool AtItsPlace(HWND hPreview, const TPreviewControl& c) {
  HWND h = ::GetDlgItem(hPreview, c.nId);
  RECT rcClient{};
  if (!h || !::GetClientRect(hPreview, &rcClient)) return false;
  const RECT rc = test::RectInParent(h);
  return TPreviewBounds{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top} ==
         AnchoredBounds(c, rcClient.right, rcClient.bottom);
}

bool PaneAtItsPlace(HWND hPreview) {
  for (const TPreviewControl& c : kPreviewControls)
    if (c.nId == idRichEditPreview) return AtItsPlace(hPreview, c);
  return false;
}

// Every control of the form itself at its place; not the labels, whose size follows
// their text, nor the panel, which the letter hides.
bool FormControlsAtTheirPlaces(HWND hPreview) {
  for (const TPreviewControl& c : kPreviewControls) {
    if (c.aParent != TPreviewParent::Form || c.aKind == TPreviewKind::Label || c.nId == idPanelPraxisInfos) continue;
    if (!AtItsPlace(hPreview, c)) return false;
  }
  return true;
}

// The printer setup dialog's printer list (cmb1 of the common dialog template).
constexpr int kSetupPrinterCombo = 0x470;

// Picks sPrinter in the printer setup dialog's list as a user would (selection, then
// the change notification the dialog reacts to). False when the list lacks it.
bool SelectPrinterInSetup(HWND hSetup, const std::wstring& sPrinter) {
  HWND hCombo = ::GetDlgItem(hSetup, kSetupPrinterCombo);
  if (!hCombo) return false;
  DWORD_PTR n = 0;
  ::SendMessageTimeoutW(hCombo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &n);
  for (DWORD_PTR i = 0; i < n; ++i) {
    wchar_t s[512];
    std::fill(std::begin(s), std::end(s), static_cast<wchar_t>(0xbdbd));
    DWORD_PTR cch = 0;
    ::SendMessageTimeoutW(hCombo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &cch);
    if (cch >= 512) continue;
    ::SendMessageTimeoutW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(s), SMTO_ABORTIFHUNG, 5000, nullptr);
    if (sPrinter != s) continue;
    ::SendMessageTimeoutW(hCombo, CB_SETCURSEL, i, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    ::SendMessageTimeoutW(hSetup, WM_COMMAND, MAKEWPARAM(kSetupPrinterCombo, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(hCombo), SMTO_ABORTIFHUNG, 5000, nullptr);
    DWORD_PTR sel = static_cast<DWORD_PTR>(-1);
    ::SendMessageTimeoutW(hCombo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &sel);
    return sel == i;
  }
  return false;
}

void PressDialogButton(HWND hDialog, int nId) {
  ::PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDialog, nId)));
}

TEST(PreviewOfTheRunningProgram, DetailsMessagesFocusPrintCancelAndPrint) {
  TSichtwerkProcess app;
  const std::wstring sFolder = test::ScratchFolder(L"share-preview");
  ASSERT_FALSE(sFolder.empty());
  {
    // A result log of earlier runs, long enough for a letter of three pages or more.
    std::ofstream log(std::filesystem::path(sFolder) / L"Ergebnisse des Sichtwerks zur Pr\u00fcfung.log",
                      std::ios::binary);
    for (int i = 0; i < 120; ++i) log << "Fr\xFCherer Lauf " << i << ": Gruen: Freier RAM-Speicher - OK!\r\n";
  }
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport());
  const std::wstring sStatusBefore = app.Status();
  const std::wstring sPane = app.PaneText();
  HWND hPreviewButton = app.FindChild(L"Button", L"Infos &anzeigen/ausdrucken");
  ASSERT_TRUE(hPreviewButton);
  ASSERT_TRUE(app.PressButton(L"Infos &anzeigen/ausdrucken"));

  HWND hPreview = WaitForWindow(app.ProcessId(), kFormPreviewClass, nullptr);
  ASSERT_TRUE(hPreview) << "no preview window";
  EXPECT_EQ(WindowText(hPreview), L"Sichtwerk (" SW_FILE_VERSION_TEXT L")");
  EXPECT_FALSE(::IsWindowEnabled(app.MainWindow())) << "the preview is modal";
  EXPECT_FALSE(::IsWindowEnabled(hPreviewButton));
  HWND hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  HWND hEditName = ::GetDlgItem(hPanel, idEditPraxisname), hEditOrt = ::GetDlgItem(hPanel, idEditOrt),
       hEditTel = ::GetDlgItem(hPanel, idEditTelefonnummer), hEditPlz = ::GetDlgItem(hPanel, idEditPLZ);
  HWND hUebernehmen = ::GetDlgItem(hPanel, idBtnUebernehmen);
  HWND hPrint = ::GetDlgItem(hPreview, idPreviewButtonPrint), hClose = ::GetDlgItem(hPreview, idPreviewButtonClose);
  ASSERT_TRUE(hEditName && hEditOrt && hEditTel && hUebernehmen && hPrint && hClose);
  EXPECT_TRUE(::IsWindowVisible(hPanel));
  EXPECT_FALSE(::IsWindowEnabled(hPrint));
  EXPECT_FALSE(::IsWindowEnabled(hClose));
  EXPECT_EQ(WindowText(hUebernehmen), L"Übernehmen");
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEditName; })) << "focus starts in the practice name";

  // Practice name and town empty: only the first is reported.
  Click(hUebernehmen);
  EXPECT_EQ(AnswerMessageBox(app.ProcessId(), hPreview), L"Bitte geben sie einen Praxisnamen an.");
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEditName; }));
  Type(hEditName, L" ");  // one blank counts as filled
  Type(hEditPlz, L"");
  Click(hUebernehmen);
  EXPECT_EQ(AnswerMessageBox(app.ProcessId(), hPreview), L"Bitte geben sie einen Ort an.");
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEditOrt; }));
  Type(hEditOrt, L"Köln");
  Click(hUebernehmen);
  EXPECT_EQ(AnswerMessageBox(app.ProcessId(), hPreview), L"Bitte geben sie eine Telefonnummer an.");
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEditTel; }));
  EXPECT_TRUE(::IsWindowVisible(hPanel)) << "the panel stays after a message";
  ::SendMessageTimeoutW(hEditName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, nullptr);
  Type(hEditName, L"Praxis Dr. Test");
  Type(hEditTel, L"0221 998877");
  Click(hUebernehmen);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(hPanel); })) << "panel still up";
  EXPECT_TRUE(WaitFor([&] { return ::IsZoomed(hPreview) != FALSE; })) << "letter not maximised";
  EXPECT_TRUE(::IsWindowEnabled(hPrint));
  EXPECT_TRUE(::IsWindowEnabled(hClose));

  HWND hPane = ::GetDlgItem(hPreview, idRichEditPreview);
  // The pane, not the maximised frame: that reaches past the screen's edges. Taken when
  // the pane has followed the frame (the layout test below checks that it does).
  WaitFor([&] { return PaneAtItsPlace(hPreview); });
  TSichtwerkProcess::SaveWindowScreenshot(hPane, test::ArtifactPath(L"share-preview-letter.bmp"));
  const auto lines = SplitLines(LongWindowText(hPane));
  ASSERT_GT(lines.size(), 30u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[i], L"") << "line " << i + 1;
  EXPECT_EQ(lines[6], L"Sehr geehrte Damen und Herren,");
  EXPECT_EQ(lines[11], L"Praxisname: Praxis Dr. Test");
  EXPECT_EQ(lines[13], L"PLZ: ");
  EXPECT_EQ(lines[15], L"Ort: Köln");
  EXPECT_EQ(lines[17], L"Ansprechpartner: ");
  EXPECT_EQ(lines[19], L"Telefon: 0221 998877");
  // The report pane's lines follow the letter unchanged.
  const auto paneLines = SplitLines(sPane);
  ASSERT_GE(lines.size(), 28 + paneLines.size());
  for (std::size_t i = 0; i < paneLines.size(); ++i) {
    if (lines[28 + i] != paneLines[i]) {
      ADD_FAILURE() << "pane line " << i << " differs";
      break;
    }
  }

  // Printer setup cancelled: nothing printed, the preview stays.
  Click(hPrint);
  HWND hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  ASSERT_TRUE(hSetup) << "no printer setup dialog";
  ::PostMessageW(hSetup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hSetup, IDCANCEL)));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hSetup); }));
  // The print button's handler is over when the window answers again.
  DWORD_PTR dummy = 0;
  EXPECT_TRUE(::SendMessageTimeoutW(hPreview, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &dummy));
  EXPECT_TRUE(::IsWindow(hPreview));
  EXPECT_EQ(WaitForWindow(app.ProcessId(), L"#32770", hPreview, 300), nullptr) << "an error box after cancelling";

  // Printer setup confirmed: one job on the default printer (the run's PDF printer).
  Click(hPrint);
  hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  ASSERT_TRUE(hSetup);
  ::PostMessageW(hSetup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hSetup, IDOK)));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hSetup); }));
  // Printing runs in the button's handler: the window answers again when it is done.
  EXPECT_TRUE(::SendMessageTimeoutW(hPreview, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &dummy));
  EXPECT_TRUE(::IsWindow(hPreview)) << "the preview stays open after printing";
  HWND hError = WaitForWindow(app.ProcessId(), L"#32770", hPreview, 500);
  if (hError) ADD_FAILURE() << "printing reported: " << test::ToUtf8(AnswerMessageBox(app.ProcessId(), hPreview));

  // For the checker: the printed lines and the page rectangle of the default printer.
  const char* sBin = std::getenv("SW_BINARY_DIR");
  ASSERT_TRUE(sBin);
  const std::filesystem::path dir = std::filesystem::path(sBin) / "share-print-e2e";
  std::filesystem::create_directories(dir);
  {
    std::ofstream f(dir / "expected.txt", std::ios::binary);
    for (const auto& l : lines) f << test::ToUtf8(l) << "\n";
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(::PrintDlgW(&pd) && pd.hDC);
    const int dx = ::GetDeviceCaps(pd.hDC, LOGPIXELSX), dy = ::GetDeviceCaps(pd.hDC, LOGPIXELSY);
    // The PDF queue's A4 page at 300 dpi is 2479 x 3508 pixels: half an inch off three
    // edges, an inch off the bottom.
    const TPageRect r{150, 150, 2329, 3208};
    const int ox = ::GetDeviceCaps(pd.hDC, PHYSICALOFFSETX), oy = ::GetDeviceCaps(pd.hDC, PHYSICALOFFSETY);
    ::DeleteDC(pd.hDC);
    if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
    std::ofstream g(dir / "rect.txt", std::ios::binary);
    g << "pages 0\n";  // the page count is the program's own (at least three)
    g << "job Sichtwerk (" << SW_FILE_VERSION_TEXT << ")\n";
    g << "points " << (ox + r.Left) * 72.0 / dx << " " << (oy + r.Top) * 72.0 / dy << " "
      << (ox + r.Right) * 72.0 / dx << " " << (oy + r.Bottom) * 72.0 / dy << "\n";
  }

  // Enter with the focus on "&Schließen" (the key goes to the focused window) closes the
  // letter instead of pressing the default print button; the main window comes back and
  // the status line is untouched.
  ::PostMessageW(hClose, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(app.MainWindow()) && ::IsWindowEnabled(hPreviewButton); }));
  EXPECT_EQ(app.Status(), sStatusBefore);
  EXPECT_EQ(::WaitForSingleObject(app.Process(), 500), static_cast<DWORD>(WAIT_TIMEOUT))
      << "closing the preview ended the program";
  EXPECT_TRUE(::IsWindow(app.MainWindow()));

  // Reopened: empty fields. Tab goes round the details form's seven tab stops and never
  // reaches the letter lying under the panel; Enter on "&Schließen" closes the window
  // (not "Übernehmen", the default button) without printing.
  ASSERT_TRUE(app.PressButton(L"Infos &anzeigen/ausdrucken"));
  hPreview = WaitForWindow(app.ProcessId(), kFormPreviewClass, nullptr);
  ASSERT_TRUE(hPreview);
  hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  EXPECT_EQ(WindowText(::GetDlgItem(hPanel, idEditPraxisname)), L"");
  ASSERT_TRUE(WaitFor([&] { return FocusOf(hPreview) == ::GetDlgItem(hPanel, idEditPraxisname); }));
  const int kTabRound[] = {idEditPLZ, idEditOrt, idEditAnsprechpartner, idEditTelefonnummer,
                           idBtnUebernehmen, idButtonCloseDaten, idEditPraxisname};
  // Tab on the focused control; the control that has the focus then.
  auto PressTab = [&] {
    HWND hFrom = FocusOf(hPreview);
    ::PostMessageW(hFrom, WM_KEYDOWN, VK_TAB, 1);
    WaitFor([&] { return FocusOf(hPreview) != hFrom; }, 5000);
    return FocusOf(hPreview);
  };
  for (int nId : kTabRound) {
    HWND hNow = PressTab();
    ASSERT_EQ(hNow, ::GetDlgItem(hPanel, nId))
        << "Tab went to control " << ::GetDlgCtrlID(hNow) << " instead of " << nId;
  }
  for (int i = 0; i < 6; ++i) PressTab();
  ASSERT_EQ(FocusOf(hPreview), ::GetDlgItem(hPanel, idButtonCloseDaten));
  ::PostMessageW(FocusOf(hPreview), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  EXPECT_EQ(WaitForWindow(app.ProcessId(), L"#32770", nullptr, 300), nullptr) << "a message box instead";
  DWORD code = 1;
  EXPECT_TRUE(app.Close(&code)) << "the preview must not have ended the program";
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// A printing failure reaches the error display, and the preview stays open and usable.
// The failure is a real one: the test run's CUPS queue SW_REJECTING_PRINTER rejects
// every job, and Wine's spooler then fails EndDoc. On Windows the spooler takes a job
// first and fails it later; there the test needs a printer whose port cannot be opened,
// so it accepts any of the three texts the print step raises (StartDoc, a page, EndDoc).
TEST(PreviewOfTheRunningProgram, PrintingErrorIsShownAndThePreviewStaysOpen) {
  const char* sRejecting = std::getenv("SW_REJECTING_PRINTER");
  if (!sRejecting || !*sRejecting) {
    if (std::getenv("SW_EXPECT_PRINTER")) FAIL() << "SW_REJECTING_PRINTER not set";
    GTEST_SKIP() << "no printer that rejects jobs (SW_REJECTING_PRINTER)";
  }
  const std::wstring sPrinter(sRejecting, sRejecting + strlen(sRejecting));
  TSichtwerkProcess app;
  const std::wstring sFolder = test::ScratchFolder(L"share-printfail");
  ASSERT_FALSE(sFolder.empty());
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport());
  HWND hPreview = OpenLetter(app, L"Praxis Dr. Druckfehler");
  ASSERT_TRUE(hPreview) << "no letter";
  HWND hPrint = ::GetDlgItem(hPreview, idPreviewButtonPrint), hClose = ::GetDlgItem(hPreview, idPreviewButtonClose);
  HWND hPane = ::GetDlgItem(hPreview, idRichEditPreview);
  const std::wstring sLetter = LongWindowText(hPane);

  Click(hPrint);
  HWND hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  ASSERT_TRUE(hSetup) << "no printer setup dialog";
  ASSERT_TRUE(SelectPrinterInSetup(hSetup, sPrinter)) << "the setup dialog does not list " << sRejecting;
  PressDialogButton(hSetup, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hSetup); }));

  HWND hBox = WaitForWindow(app.ProcessId(), L"#32770", nullptr, 60000);
  ASSERT_TRUE(hBox) << "no message box after the failed print";
  EXPECT_EQ(WindowText(hBox), L"Fehler");
  EXPECT_EQ(::GetWindow(hBox, GW_OWNER), hPreview) << "the box belongs to the preview";
  const std::wstring sText = WindowText(::GetDlgItem(hBox, 0xFFFF));
  SCOPED_TRACE(test::ToUtf8(sText));
  const bool bPrintError = sText.rfind(L"Der Druckauftrag konnte nicht begonnen werden", 0) == 0 ||
                           sText.rfind(L"Die Seite konnte nicht gedruckt werden", 0) == 0 ||
                           sText.rfind(L"Der Druckauftrag konnte nicht beendet werden", 0) == 0;
  EXPECT_TRUE(bPrintError) << "not a printing error";
  EXPECT_TRUE(::IsWindowVisible(hPreview)) << "the preview went away under the message box";
  PressDialogButton(hBox, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hBox); }));

  // Still there, answering, enabled, the letter unchanged and still editable.
  DWORD_PTR r = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(hPreview, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &r));
  EXPECT_TRUE(::IsWindow(hPreview) && ::IsWindowVisible(hPreview));
  EXPECT_TRUE(::IsWindowEnabled(hPreview));
  EXPECT_TRUE(::IsWindowEnabled(hPrint));
  EXPECT_TRUE(::IsWindowEnabled(hClose));
  EXPECT_FALSE(::IsWindowEnabled(app.MainWindow())) << "still modal";
  EXPECT_EQ(LongWindowText(hPane), sLetter);
  ::SendMessageTimeoutW(hPane, WM_CHAR, L'X', 1, SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_EQ(LongWindowText(hPane).size(), sLetter.size() + 1) << "the pane takes no more input";
  EXPECT_EQ(WaitForWindow(app.ProcessId(), L"#32770", nullptr, 300), nullptr) << "a second box";

  // The print button works again (setup dialog, cancelled), and closing gives the main
  // window back with the program still running.
  Click(hPrint);
  hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  ASSERT_TRUE(hSetup) << "the print button no longer opens the setup dialog";
  PressDialogButton(hSetup, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hSetup); }));
  Click(hClose);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(app.MainWindow()) != FALSE; }));
  DWORD code = 1;
  EXPECT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

using test::RectInParent;

const wchar_t* ClassOf(TPreviewKind k) {
  switch (k) {
    case TPreviewKind::Button: return L"Button";
    case TPreviewKind::RichEdit: return L"RICHEDIT50W";
    case TPreviewKind::Panel: return L"TovPanel";
    case TPreviewKind::Label: return L"Static";
    case TPreviewKind::Edit: return L"Edit";
  }
  return L"";
}

// Every row of the layout table against the created windows, at the client size the
// preview has now: class, parent, caption, tab stop, default button, and the bounds
// the anchors give (labels: their corner, and some size).
void ExpectLayout(HWND hPreview, bool bPanelToo) {
  RECT rcClient{};
  ::GetClientRect(hPreview, &rcClient);
  HWND hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  for (const TPreviewControl& c : kPreviewControls) {
    SCOPED_TRACE(test::ToUtf8(c.sName));
    if (c.aParent == TPreviewParent::Panel && !bPanelToo) continue;
    HWND h = ::GetDlgItem(c.aParent == TPreviewParent::Form ? hPreview : hPanel, c.nId);
    ASSERT_TRUE(h) << "not created under its parent";
    wchar_t sClass[64] = {};
    ::GetClassNameW(h, sClass, 64);
    EXPECT_EQ(_wcsicmp(sClass, ClassOf(c.aKind)), 0) << test::ToUtf8(sClass);
    if (c.aKind != TPreviewKind::RichEdit && c.aKind != TPreviewKind::Edit) {
      EXPECT_EQ(WindowText(h), c.sCaption);
    }
    const LONG style = ::GetWindowLongW(h, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.bTabStop);
    if (c.aKind == TPreviewKind::Button) {
      EXPECT_EQ((style & 0x0F) == BS_DEFPUSHBUTTON, c.bDefault);
    }
    const RECT rc = RectInParent(h);
    if (c.aKind == TPreviewKind::Label) {
      EXPECT_EQ(rc.left, c.nLeft);
      EXPECT_EQ(rc.top, c.nTop);
      EXPECT_GT(rc.right - rc.left, 0);
      EXPECT_GT(rc.bottom - rc.top, 0);
      continue;
    }
    if (c.nId == idPanelPraxisInfos && !bPanelToo) continue;
    const TPreviewBounds b = AnchoredBounds(c, rcClient.right, rcClient.bottom);
    EXPECT_EQ(rc.left, b.nLeft);
    EXPECT_EQ(rc.top, b.nTop);
    EXPECT_EQ(rc.right - rc.left, b.nWidth);
    EXPECT_EQ(rc.bottom - rc.top, b.nHeight);
  }
  if (!bPanelToo) return;
  // Tab order: the panel's tab stops in window order are the design's 0, 1, 2, ...
  std::vector<int> order;
  for (HWND h = ::GetWindow(hPanel, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    if (::GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) order.push_back(::GetDlgCtrlID(h));
  std::vector<int> expected(7);
  for (const TPreviewControl& c : kPreviewControls)
    if (c.aParent == TPreviewParent::Panel && c.nTabOrder >= 0) expected.at(c.nTabOrder) = c.nId;
  EXPECT_EQ(order, expected);
}

// The pane's inner left margin of 50 pixels: the formatting rectangle and the first
// character's position (EM_SETMARGINS does nothing in Wine's RichEdit; the form sets
// the rectangle instead, and again whenever the pane is resized).
void ExpectLeftMargin(HWND hPane) {
  RECT rcClient{};
  ::GetClientRect(hPane, &rcClient);
  RECT rc;
  std::memset(&rc, 0xbd, sizeof rc);
  ::SendMessageTimeoutW(hPane, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc), SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_EQ(rc.left, rcClient.left + kPreviewLeftMargin);
  EXPECT_EQ(rc.right, rcClient.right) << "the margin is on the left only";
  EXPECT_GT(rc.bottom, rc.top);
  // Edit-control form of EM_POSFROMCHAR (RichEdit 3.0 and later): packed client coordinates.
  DWORD_PTR r = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(hPane, EM_POSFROMCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &r));
  const int x = static_cast<short>(LOWORD(r));
  EXPECT_GE(x, rcClient.left + kPreviewLeftMargin);
  EXPECT_LT(x, rcClient.left + kPreviewLeftMargin + 5) << "first character far right of the margin";
}

void ResizeClient(HWND hPreview, int w, int h) {
  RECT rc{0, 0, w, h};
  ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongW(hPreview, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongW(hPreview, GWL_EXSTYLE)));
  ::SetWindowPos(hPreview, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOMOVE);
  // Under Wine a maximise right after a resize from outside was seen not to take (twice
  // in some fifteen runs; the X11 driver settles the size later): let the size settle.
  // A few turns of the window's message loop at the new size were not enough (the
  // maximise that follows was undone), and there is nothing in this process to tell
  // when the X11 driver is done, so this wait stays a fixed one.
  WaitFor([&] {
    RECT now{};
    ::GetClientRect(hPreview, &now);
    return now.right == w && now.bottom == h;
  });
  ::Sleep(500);
  DWORD_PTR r = 0;
  ::SendMessageTimeoutW(hPreview, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

TEST(PreviewOfTheRunningProgram, LayoutAndMarginFollowTheTableAtEverySize) {
  TSichtwerkProcess app;
  const std::wstring sFolder = test::ScratchFolder(L"share-layout");
  ASSERT_FALSE(sFolder.empty());
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport());
  ASSERT_TRUE(app.PressButton(L"Infos &anzeigen/ausdrucken"));
  HWND hPreview = WaitForWindow(app.ProcessId(), kFormPreviewClass, nullptr);
  ASSERT_TRUE(hPreview);
  HWND hPane = ::GetDlgItem(hPreview, idRichEditPreview);
  ASSERT_TRUE(hPane);
  RECT rc{};
  ::GetClientRect(hPreview, &rc);
  EXPECT_EQ(rc.right, kPreviewClientWidth);
  EXPECT_EQ(rc.bottom, kPreviewClientHeight);
  {
    SCOPED_TRACE("details form at the design size");
    ExpectLayout(hPreview, true);
    ExpectLeftMargin(hPane);
  }
  {
    // A user dragging the frame while the details form is up: the panel follows.
    SCOPED_TRACE("details form at 800 x 600");
    ResizeClient(hPreview, 800, 600);
    ExpectLayout(hPreview, true);
    ExpectLeftMargin(hPane);
  }

  HWND hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  Type(::GetDlgItem(hPanel, idEditPraxisname), L"Praxis");
  Type(::GetDlgItem(hPanel, idEditOrt), L"Ort");
  Type(::GetDlgItem(hPanel, idEditTelefonnummer), L"1");
  Click(::GetDlgItem(hPanel, idBtnUebernehmen));
  // The maximise is done once the client area has grown and the controls have
  // followed it. The maximised style alone is not enough: Wine sets it before the new
  // size, and the program lays its controls out on the WM_SIZE after that, in its own
  // thread (seen under emulation, where each step is slower, as a maximised style
  // over the old client size, or the controls moved before the size read here).
  ASSERT_TRUE(WaitFor([&] {
    RECT rcNow{};
    ::GetClientRect(hPreview, &rcNow);
    return !::IsWindowVisible(hPanel) && ::IsZoomed(hPreview) && rcNow.right > 800 && rcNow.bottom > 600 &&
           FormControlsAtTheirPlaces(hPreview);
  })) << "panel visible " << ::IsWindowVisible(hPanel) << ", zoomed " << ::IsZoomed(hPreview) << ", box "
      << WaitForWindow(app.ProcessId(), L"#32770", nullptr, 100);
  {
    SCOPED_TRACE("letter, maximised");
    ExpectLayout(hPreview, false);
    ExpectLeftMargin(hPane);
  }
  {
    SCOPED_TRACE("letter, restored and made smaller than designed");
    ::ShowWindow(hPreview, SW_RESTORE);
    ResizeClient(hPreview, 500, 300);
    ExpectLayout(hPreview, false);
    ExpectLeftMargin(hPane);
  }
  Click(::GetDlgItem(hPreview, idPreviewButtonClose));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  EXPECT_TRUE(app.Close());
}

}  // namespace
}  // namespace sw

// The preview's icons, read in this process: Wine keeps icons per process, so those of
// the running program cannot be read from another one (on Windows they could).
namespace sw {
namespace {

HICON g_aPreviewIcons[2] = {};

void CALLBACK ReadPreviewIconsAndClose(HWND, UINT, UINT_PTR nTimer, DWORD) {
  HWND hPreview = ::FindWindowW(kFormPreviewClass, nullptr);
  DWORD dwPid = 0;
  if (hPreview) ::GetWindowThreadProcessId(hPreview, &dwPid);
  if (dwPid != ::GetCurrentProcessId()) return;
  ::KillTimer(nullptr, nTimer);
  g_aPreviewIcons[0] = reinterpret_cast<HICON>(::SendMessageW(hPreview, WM_GETICON, ICON_BIG, 0));
  g_aPreviewIcons[1] = reinterpret_cast<HICON>(::SendMessageW(hPreview, WM_GETICON, ICON_SMALL, 0));
  ::PostMessageW(hPreview, WM_CLOSE, 0, 0);
}

// By keyboard alone: Tab reaches the report pane, Esc there leaves the main window as
// it is, and in the preview Esc does what "&Schließen" does. After the window was
// deactivated and activated again, the control that had the focus has it again: a
// typed letter lands in the field instead of pressing the button with that access key.
TEST(KeyboardOfTheRunningProgram, TabEscAndFocusAfterDeactivation) {
  TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(test::ScratchFolder(L"share-keys")));
  ASSERT_TRUE(app.WaitForReport());
  HWND hMain = app.MainWindow(), hPane = app.Pane();
  HWND hPreviewButton = app.FindChild(L"Button", L"Infos &anzeigen/ausdrucken");
  ASSERT_TRUE(hPane && hPreviewButton);
  ::SetForegroundWindow(hMain);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(hMain) != nullptr; })) << "no control has the focus";
  auto PressKey = [](HWND hFocusOwner, WPARAM vk) {
    HWND hFrom = FocusOf(hFocusOwner);
    ::PostMessageW(hFrom ? hFrom : hFocusOwner, WM_KEYDOWN, vk, 1);
    WaitFor([&] { return FocusOf(hFocusOwner) != hFrom; }, vk == VK_TAB ? 5000 : 500);
    return FocusOf(hFocusOwner);
  };
  std::vector<HWND> round;
  for (int i = 0; i < 5 && (round.empty() || round.back() != hPane); ++i) round.push_back(PressKey(hMain, VK_TAB));
  ASSERT_EQ(round.back(), hPane) << "Tab does not reach the report pane";
  EXPECT_EQ(::GetDlgCtrlID(round[round.size() - 2]), idButtonCollectInfo) << "the pane comes last";
  PressKey(hMain, VK_ESCAPE);
  EXPECT_TRUE(::IsWindowVisible(::GetParent(hPane))) << "Esc closed the report's group box";
  EXPECT_EQ(::WaitForSingleObject(app.Process(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "Esc ended the program";
  EXPECT_NE(PressKey(hMain, VK_TAB), hPane) << "Tab leaves the pane again";

  ASSERT_TRUE(app.PressButton(L"Infos &anzeigen/ausdrucken"));
  HWND hPreview = WaitForWindow(app.ProcessId(), kFormPreviewClass, nullptr);
  ASSERT_TRUE(hPreview);
  HWND hEdit = ::GetDlgItem(::GetDlgItem(hPreview, idPanelPraxisInfos), idEditPraxisname);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEdit; }));
  // Away to a window of this process and back, as Alt+Tab does.
  HWND hOther = ::CreateWindowExW(0, L"STATIC", L"anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                  100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(hOther);
  ::SetForegroundWindow(hOther);
  EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == hOther; }));
  ::SetForegroundWindow(hPreview);
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hEdit; })) << "the focus did not come back";
  ::DestroyWindow(hOther);
  // Where Windows sends a key; the program's loop makes the character of it.
  ::PostMessageW(FocusOf(hPreview) ? FocusOf(hPreview) : hPreview, WM_KEYDOWN, 'S', 1);
  EXPECT_TRUE(WaitFor([&] { return WindowText(hEdit) == L"s"; }, 5000)) << test::ToUtf8(WindowText(hEdit));
  EXPECT_TRUE(::IsWindowVisible(hPreview)) << "the letter pressed \"&Schließen\"";

  // Esc on the details form, then on the letter.
  PressKey(hPreview, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); })) << "Esc does not close the details form";
  EXPECT_TRUE(WaitFor([&] { return FocusOf(hMain) == hPreviewButton; })) << "the focus is not on the button";
  hPreview = OpenLetter(app, L"Praxis Dr. Taste");
  ASSERT_TRUE(hPreview);
  HWND hLetter = ::GetDlgItem(hPreview, idRichEditPreview);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(hPreview) == hLetter; }));
  // The letter in the main pane's pair (the test prefix's scheme is white on black):
  // the tooltip text colour on the tooltip background, not the window text colour.
  CHARFORMAT2W cf{};
  ASSERT_TRUE(app.CharFormatAt(6, cf, hLetter));  // "Sehr geehrte ...", below six empty lines
  EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
  EXPECT_EQ(cf.crTextColor, ::GetSysColor(COLOR_INFOTEXT));
  const COLORREF cInfoBk = ::GetSysColor(COLOR_INFOBK);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(hLetter, EM_SETBKGNDCOLOR, 0, cInfoBk)), cInfoBk);
  PressKey(hPreview, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); })) << "Esc does not close the letter";
  DWORD code = 1;
  EXPECT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

TEST(PreviewWindow, CaptionAndTaskbarShowTheProgramIcon) {
  const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, &ReadPreviewIconsAndClose);
  ASSERT_NE(nTimer, 0u);
  TFormPreview::Execute(nullptr, L"Bericht");
  ::KillTimer(nullptr, nTimer);
  EXPECT_TRUE(test::IsProgramIcon(g_aPreviewIcons[0], ::GetSystemMetrics(SM_CXICON)));
  EXPECT_TRUE(test::IsProgramIcon(g_aPreviewIcons[1], ::GetSystemMetrics(SM_CXSMICON)));
}

}  // namespace
}  // namespace sw
