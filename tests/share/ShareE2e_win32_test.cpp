// The Mail and Preview buttons of the running program, driven from this process as a
// user would: clicks, typed details, message boxes and the printer setup dialog.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>

#include "app/Version.h"
#include "common/SichtwerkProcess_win32.h"
#include "share/FormPreview_win32.h"
#include "share/PageLayout.h"
#include "share/PreviewText.h"

namespace sw {
namespace {

using test::TSichtwerkProcess;

struct TFindOwned {
  DWORD dwPid;
  const wchar_t* sClass;
  HWND hOwner;
  HWND hFound;
};

BOOL CALLBACK FindOwnedProc(HWND h, LPARAM lParam) {
  auto* f = reinterpret_cast<TFindOwned*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t sClass[64] = {};
  ::GetClassNameW(h, sClass, 64);
  if (pid == f->dwPid && wcscmp(sClass, f->sClass) == 0 && ::IsWindowVisible(h) &&
      (!f->hOwner || ::GetWindow(h, GW_OWNER) == f->hOwner)) {
    f->hFound = h;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the process by class (and owner), waited for.
HWND WaitForWindow(DWORD dwPid, const wchar_t* sClass, HWND hOwner, DWORD msTimeout = 20000) {
  for (DWORD t = 0; t < msTimeout; t += 50) {
    TFindOwned f{dwPid, sClass, hOwner, nullptr};
    ::EnumWindows(&FindOwnedProc, reinterpret_cast<LPARAM>(&f));
    if (f.hFound) return f.hFound;
    ::Sleep(50);
  }
  return nullptr;
}

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

void Click(HWND hButton) {
  ::PostMessageW(::GetParent(hButton), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hButton), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hButton));
}

void Type(HWND hEdit, const std::wstring& s) {
  for (wchar_t c : s) ::SendMessageTimeoutW(hEdit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, nullptr);
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
  for (int i = 0; i < 200 && ::IsWindow(hBox); ++i) ::Sleep(25);
  return s;
}

bool WaitFor(const std::function<bool()>& f, DWORD msTimeout = 10000) {
  for (DWORD t = 0; t < msTimeout; t += 50) {
    if (f()) return true;
    ::Sleep(50);
  }
  return f();
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
  // The pane, not the maximised frame: that reaches past the screen's edges.
  ::Sleep(500);
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
  ::Sleep(300);
  EXPECT_TRUE(::IsWindow(hPreview));
  EXPECT_EQ(WaitForWindow(app.ProcessId(), L"#32770", hPreview, 300), nullptr) << "an error box after cancelling";

  // Printer setup confirmed: one job on the default printer (the run's PDF printer).
  Click(hPrint);
  hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  ASSERT_TRUE(hSetup);
  ::PostMessageW(hSetup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hSetup, IDOK)));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hSetup); }));
  // Printing runs in the button's handler: the window answers again when it is done.
  DWORD_PTR dummy = 0;
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
    const TPageRect r = PrintPageRect(dx, dy, ::GetDeviceCaps(pd.hDC, HORZRES), ::GetDeviceCaps(pd.hDC, VERTRES));
    const int ox = ::GetDeviceCaps(pd.hDC, PHYSICALOFFSETX), oy = ::GetDeviceCaps(pd.hDC, PHYSICALOFFSETY);
    ::DeleteDC(pd.hDC);
    if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
    std::ofstream g(dir / "rect.txt", std::ios::binary);
    g << "pages 0\n";  // the page count is the program's own (at least three)
    g << "title " << SW_FILE_VERSION_TEXT << "\n";
    g << "points " << (ox + r.Left) * 72.0 / dx << " " << (oy + r.Top) * 72.0 / dy << " "
      << (ox + r.Right) * 72.0 / dx << " " << (oy + r.Bottom) * 72.0 / dy << "\n";
  }

  // Closing the letter gives the main window back; the status line is untouched.
  Click(hClose);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(app.MainWindow()) && ::IsWindowEnabled(hPreviewButton); }));
  EXPECT_EQ(app.Status(), sStatusBefore);
  EXPECT_EQ(::WaitForSingleObject(app.Process(), 500), static_cast<DWORD>(WAIT_TIMEOUT))
      << "closing the preview ended the program";
  EXPECT_TRUE(::IsWindow(app.MainWindow()));

  // Reopened: empty fields, "Schließen" on the details form closes without printing.
  ASSERT_TRUE(app.PressButton(L"Infos &anzeigen/ausdrucken"));
  hPreview = WaitForWindow(app.ProcessId(), kFormPreviewClass, nullptr);
  ASSERT_TRUE(hPreview);
  hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  EXPECT_EQ(WindowText(::GetDlgItem(hPanel, idEditPraxisname)), L"");
  Click(::GetDlgItem(hPanel, idButtonCloseDaten));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hPreview); }));
  DWORD code = 1;
  EXPECT_TRUE(app.Close(&code)) << "the preview must not have ended the program";
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sw
