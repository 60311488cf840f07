#pragma once
// Drives the mail and print paths of a running Sichtwerk.exe from outside as a user
// would: windows found and waited for, clicks, typed text; the Mail button, the preview
// with the details typed in, printed to the default printer through the printer setup
// dialog. For the sharing tests and the release checks (read-only run, DLL planting).
#include <windows.h>

#include <string>

#include "common/SichtwerkProcess_win32.h"
#include "common/Wait_win32.h"
#include "share/PreviewLayout.h"

namespace sw::test {

namespace share_drive {

struct TFind {
  DWORD dwPid;
  const wchar_t* sClass;
  HWND hOwner;
  HWND hFound;
};

inline BOOL CALLBACK FindProc(HWND h, LPARAM lParam) {
  auto* f = reinterpret_cast<TFind*>(lParam);
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

using sw::test::WaitFor;

// A visible top-level window of the process by class (and owner, when given), waited for
// until its thread answers messages. A dialog is visible before its modal loop runs; a
// thread that was busy for five seconds before (a slow print job) counts as hung until
// then, and SMTO_ABORTIFHUNG reads of the window would come back empty.
inline HWND WaitForWindow(DWORD dwPid, const wchar_t* sClass, HWND hOwner, DWORD msTimeout = 20000) {
  TFind f{dwPid, sClass, hOwner, nullptr};
  WaitFor(
      [&] {
        f.hFound = nullptr;
        ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&f));
        DWORD_PTR r = 0;
        return f.hFound != nullptr &&
               ::SendMessageTimeoutW(f.hFound, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r) != 0;
      },
      msTimeout);
  return f.hFound;
}

inline void Click(HWND hButton) {
  ::PostMessageW(::GetParent(hButton), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hButton), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hButton));
}

inline void Type(HWND hEdit, const std::wstring& s) {
  for (wchar_t c : s) ::SendMessageTimeoutW(hEdit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, nullptr);
}

}  // namespace share_drive

// Opens the preview and confirms the mandatory details: the window with the letter
// shown, nullptr when it did not get there.
inline HWND OpenLetter(TSichtwerkProcess& app, const std::wstring& sPraxisname) {
  using namespace share_drive;
  if (!app.PressButton(L"Infos &anzeigen/ausdrucken")) return nullptr;
  HWND hPreview = WaitForWindow(app.ProcessId(), L"TFormPreview", nullptr);
  if (!hPreview) return nullptr;
  HWND hPanel = ::GetDlgItem(hPreview, idPanelPraxisInfos);
  Type(::GetDlgItem(hPanel, idEditPraxisname), sPraxisname);
  Type(::GetDlgItem(hPanel, idEditOrt), L"Köln");
  Type(::GetDlgItem(hPanel, idEditTelefonnummer), L"0221 1");
  Click(::GetDlgItem(hPanel, idBtnUebernehmen));
  if (!WaitFor([&] { return !::IsWindowVisible(hPanel); })) return nullptr;
  return hPreview;
}

// Mail, then preview and print. Returns "" on success, else what went wrong.
inline std::string DriveMailAndPrint(TSichtwerkProcess& app) {
  using namespace share_drive;
  if (!app.PressButton(L"per Mail versenden")) return "no Mail button";
  if (!app.WaitForStatus(L"Mailsystem hat keinen Fehler gemeldet.", 30000)) return "mail did not finish";
  HWND hPreview = OpenLetter(app, L"Praxis Dr. Nur-Lesen");
  if (!hPreview) return "no letter in the preview";
  Click(::GetDlgItem(hPreview, idPreviewButtonPrint));
  HWND hSetup = WaitForWindow(app.ProcessId(), L"#32770", hPreview);
  if (!hSetup) return "no printer setup dialog";
  ::PostMessageW(hSetup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hSetup, IDOK)));
  if (!WaitFor([&] { return !::IsWindow(hSetup); })) return "printer setup dialog stays";
  // Printing runs in the button's handler: the window answers again when it is done.
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(hPreview, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &r)) return "preview hangs";
  if (HWND hBox = WaitForWindow(app.ProcessId(), L"#32770", nullptr, 500)) {
    wchar_t s[1024] = {};
    ::SendMessageTimeoutW(::GetDlgItem(hBox, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(s), SMTO_ABORTIFHUNG,
                          5000, nullptr);
    return "printing reported: " + ToUtf8(s);
  }
  Click(::GetDlgItem(hPreview, idPreviewButtonClose));
  if (!WaitFor([&] { return !::IsWindow(hPreview); })) return "preview does not close";
  if (!WaitFor([&] { return ::IsWindowEnabled(app.MainWindow()) != FALSE; })) return "main window stays disabled";
  return "";
}

}  // namespace sw::test
