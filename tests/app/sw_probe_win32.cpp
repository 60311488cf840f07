// sw_probe.exe <folder> <screenshot.bmp>: starts Sichtwerk.exe in <folder> (copied
// there from this program's folder unless it already stands there), waits for the
// finished report, prints caption, status line and pane text as UTF-8, saves a
// screenshot and closes the window. Exit code 0, or 1 on usage error, 2 when the
// program could not be started, 3 on timeout or when it did not end with exit code 0,
// 4 when the screenshot could not be saved.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/SichtwerkProcess_win32.h"

namespace {
void Print(const std::string& s) {
  DWORD done = 0;
  HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (!::WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &done, nullptr)) fwrite(s.data(), 1, s.size(), stdout);
}

// A Unix path (the run script passes them under Wine) lies on Wine's drive Z:.
std::wstring FullPath(const wchar_t* sArg) {
  std::wstring sPath = sArg;
  if (!sPath.empty() && sPath[0] == L'/' && (sPath.size() < 2 || sPath[1] != L'/')) sPath = L"Z:" + sPath;
  const wchar_t* s = sPath.c_str();
  wchar_t buf[MAX_PATH * 4];
  const DWORD cch = ::GetFullPathNameW(s, ARRAYSIZE(buf), buf, nullptr);
  return cch && cch < ARRAYSIZE(buf) ? std::wstring(buf, cch) : std::wstring(s);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace sw::test;
  if (argc != 3) {
    Print("usage: sw_probe.exe <folder> <screenshot.bmp>\n");
    return 1;
  }
  std::wstring sFolder = FullPath(argv[1]);
  while (sFolder.size() > 3 && (sFolder.back() == L'\\' || sFolder.back() == L'/')) sFolder.pop_back();
  const std::wstring sShot = FullPath(argv[2]);
  // A folder that already holds Sichtwerk.exe runs that copy.
  const bool bHasExe = ::GetFileAttributesW((sFolder + L"\\Sichtwerk.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
  for (std::size_t i = 3; i <= sFolder.size(); ++i)
    if (i == sFolder.size() || sFolder[i] == L'\\') ::CreateDirectoryW(sFolder.substr(0, i).c_str(), nullptr);

  TSichtwerkProcess app;
  if (!app.Start(sFolder, {}, 60000, bHasExe ? sFolder : L"")) {
    Print("sw_probe: Sichtwerk.exe could not be started\n");
    return 2;
  }
  const bool bDone = app.WaitForReport(120000);
  Print("Caption: " + ToUtf8(app.Caption()) + "\n");
  Print("Status: " + ToUtf8(app.Status()) + "\n");
  Print("----- Report -----\n" + ToUtf8(app.PaneText()));
  const bool bShot = app.SaveScreenshot(sShot);
  if (!bShot) Print("sw_probe: screenshot could not be saved\n");
  DWORD dwCode = 1;
  const bool bClosed = app.Close(&dwCode) && dwCode == 0;
  if (!bDone) {
    Print("sw_probe: timeout waiting for the report\n");
    return 3;
  }
  if (!bClosed) Print("sw_probe: Sichtwerk.exe did not end with exit code 0\n");
  return !bClosed ? 3 : bShot ? 0 : 4;
}
