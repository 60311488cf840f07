// Many collection runs in one process: GDI and USER object counts and private memory
// stay flat, and the result log then holds one whole block per run. Runs only when
// SW_ENDURANCE_RUNS is set (the CTest entry win.release.endurance sets 1000).
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/SichtwerkProcess_win32.h"

namespace {

using sw::test::ToUtf8;

int RunsWanted() {
  wchar_t s[32] = L"";
  const DWORD n = ::GetEnvironmentVariableW(L"SW_ENDURANCE_RUNS", s, 32);
  return n > 0 && n < 32 ? _wtoi(s) : 0;
}

// PrivateUsage of the process, 0 when kernel32 lacks K32GetProcessMemoryInfo.
SIZE_T PrivateBytes(HANDLE hProcess) {
  using TFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  static auto fn = reinterpret_cast<TFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!fn) return 0;
  if (fn(hProcess, reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&pmc), sizeof pmc) && pmc.PrivateUsage) return pmc.PrivateUsage;
  // Older kernels know only the short record; its PagefileUsage is the same figure.
  PROCESS_MEMORY_COUNTERS pm{};
  pm.cb = sizeof pm;
  if (fn(hProcess, &pm, sizeof pm)) return pm.PagefileUsage;
  std::printf("K32GetProcessMemoryInfo failed: %lu\n", ::GetLastError());
  return 0;
}

// One run through the button, synchronously: the handler returns when the run is done.
bool CollectOnce(HWND hButton, DWORD& dwResult) {
  DWORD_PTR r = 0;
  return ::SendMessageTimeoutW(::GetParent(hButton), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hButton), BN_CLICKED),
                               reinterpret_cast<LPARAM>(hButton), SMTO_NORMAL, 120000, &r) != 0 &&
         (dwResult = static_cast<DWORD>(r), true);
}

TEST(Endurance, ThousandRunsStayFlat) {
  const int nRuns = RunsWanted();
  if (nRuns <= 0) GTEST_SKIP() << "set SW_ENDURANCE_RUNS (the CTest entry win.release.endurance)";
  const std::wstring sFolder = sw::test::ScratchFolder(L"endurance");
  ASSERT_FALSE(sFolder.empty());
  sw::test::TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport());  // the first run, at show time
  HWND hButton = app.FindChild(L"Button", L"Informationen erneut sammeln");
  ASSERT_NE(nullptr, hButton);

  // Figures after a warm-up (fonts, RichEdit, caches), then at the end.
  const int nWarmUp = nRuns >= 100 ? 50 : 1;
  DWORD nGdi0 = 0, nUser0 = 0;
  SIZE_T cbPrivate0 = 0;
  for (int i = 1; i < nRuns; ++i) {
    DWORD dwResult = 0;
    ASSERT_TRUE(CollectOnce(hButton, dwResult)) << "run " << i + 1 << " did not come back";
    if (i == nWarmUp) {
      nGdi0 = ::GetGuiResources(app.Process(), GR_GDIOBJECTS);
      nUser0 = ::GetGuiResources(app.Process(), GR_USEROBJECTS);
      cbPrivate0 = PrivateBytes(app.Process());
    }
  }
  ASSERT_EQ(sw::test::kStatusDone, app.Status());
  const DWORD nGdi1 = ::GetGuiResources(app.Process(), GR_GDIOBJECTS);
  const DWORD nUser1 = ::GetGuiResources(app.Process(), GR_USEROBJECTS);
  const SIZE_T cbPrivate1 = PrivateBytes(app.Process());
  std::printf("runs %d: GDI %lu -> %lu, USER %lu -> %lu, private %lu -> %lu bytes\n", nRuns, nGdi0, nGdi1, nUser0,
              nUser1, static_cast<unsigned long>(cbPrivate0), static_cast<unsigned long>(cbPrivate1));

  // Wine's GetGuiResources is a stub that answers 0; Windows counts for real.
  if (nGdi0 == 0 && nGdi1 == 0) {
    std::printf("GetGuiResources answers 0 here: object counts not checked\n");
  } else {
    EXPECT_LE(nGdi1, nGdi0 + 4) << "GDI objects grow";
    EXPECT_LE(nUser1, nUser0 + 4) << "USER objects grow";
  }
  // The pane is full after a few dozen runs, so memory must stop growing: 4 MB of
  // slack for the heap's own fragmentation over a thousand runs.
  ASSERT_GT(cbPrivate0, 0u);
  EXPECT_LE(cbPrivate1, cbPrivate0 + 4u * 1024 * 1024) << "private memory grows";

  DWORD dwExit = 0xdeadbeef;
  ASSERT_TRUE(app.Close(&dwExit));
  EXPECT_EQ(0u, dwExit);

  // One whole block per run: every block opens with the check's first line, and the
  // file ends with a line end.
  std::ifstream f((sFolder + L"\\Ergebnisse des Sichtwerks zur Prüfung.log").c_str(), std::ios::binary);
  const std::string sLog((std::istreambuf_iterator<char>(f)), {});
  ASSERT_FALSE(sLog.empty());
  const std::string sFirst = sLog.substr(0, sLog.find("\r\n"));
  ASSERT_FALSE(sFirst.empty());
  // The first line carries date and time; its text before the first digit is fixed.
  const std::string sHead = "\r\n" + sFirst.substr(0, sFirst.find_first_of("0123456789"));
  int nBlocks = 1;
  for (std::size_t at = sLog.find(sHead); at != std::string::npos; at = sLog.find(sHead, at + 1)) ++nBlocks;
  EXPECT_EQ(nRuns, nBlocks) << "first line: " << sFirst;
  EXPECT_EQ("\r\n", sLog.substr(sLog.size() - 2));

  // Nothing but the exe and its log in the folder.
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((sFolder + L"\\*").c_str(), &fd);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  do {
    const std::wstring n = fd.cFileName;
    if (n == L"." || n == L".." || n == L"Sichtwerk.exe" || n == L"Ergebnisse des Sichtwerks zur Prüfung.log") continue;
    ADD_FAILURE() << "unexpected file " << ToUtf8(n);
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
}

}  // namespace
