// The Windows side of tests/release/readonly_test.sh: the script snapshots registry and
// files around these runs. Skipped unless SW_READONLY_RUN names the run folder.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/ShareDrive_win32.h"
#include "win32/SystemLibrary_win32.h"

namespace {

std::wstring RunFolder() {
  wchar_t s[1024] = L"";
  const DWORD n = ::GetEnvironmentVariableW(L"SW_READONLY_RUN", s, 1024);
  return n > 0 && n < 1024 ? std::wstring(s, n) : std::wstring();
}

// Wine's spooler copies the CUPS printers into the prefix's registry the first time a
// process asks for them; on Windows the spooler service keeps that list itself. Asking
// once before the first snapshot keeps Wine's bookkeeping out of the comparison
// without running any of Sichtwerk's code.
TEST(ReadOnlyRun, SpoolerKnowsThePrinters) {
  if (RunFolder().empty()) GTEST_SKIP() << "run by readonly_test.sh (SW_READONLY_RUN)";
  const sw::TModule comdlg = sw::LoadSystemLibrary(L"comdlg32.dll");
  const auto fnPrintDlg = sw::GetProc<BOOL(WINAPI*)(LPPRINTDLGW)>(comdlg.get(), "PrintDlgW");
  ASSERT_TRUE(fnPrintDlg);
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  ASSERT_TRUE(fnPrintDlg(&pd)) << "no default printer";
  if (pd.hDC) ::DeleteDC(pd.hDC);
  if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
  if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
}

// A full run, then Mail and printing through the preview, then a second run.
TEST(ReadOnlyRun, CollectMailPrintCollect) {
  const std::wstring sFolder = RunFolder();
  if (sFolder.empty()) GTEST_SKIP() << "run by readonly_test.sh (SW_READONLY_RUN)";
  sw::test::TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(sFolder, {}, 30000, sFolder));
  ASSERT_TRUE(app.WaitForReport());
  const std::string sError = sw::test::DriveMailAndPrint(app);
  EXPECT_EQ(sError, "");
  ASSERT_TRUE(app.CollectAgain());
  DWORD dwExit = 0xdeadbeef;
  ASSERT_TRUE(app.Close(&dwExit));
  EXPECT_EQ(dwExit, 0u);
}

}  // namespace
