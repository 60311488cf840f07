// DLLs planted beside the exe (a downloads folder) must never be loaded. Under Wine the
// planted DLLs only compete with the builtin ones when native DLLs are preferred: the
// CTest entry of these tests sets WINEDLLOVERRIDES to kNativeFirst (Wine reads it from
// the Unix environment at start, not from a Windows parent's environment block), and
// the control program shows that it makes the loader take them from the folder.
//
// version.dll, uxtheme.dll and winspool.drv are planted but not preferred: Wine's own
// user32, comctl32 and comdlg32 import them statically, so with native preference Wine
// takes them from the exe's folder before the program's first line runs. On Windows
// user32 and comdlg32 are KnownDLLs whose imports never come from there; for these
// names the test proves only that the program does not load them under Wine's default
// order.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/SichtwerkProcess_win32.h"

namespace {

using sw::test::ToUtf8;

// The planted DLLs the build made (bin\planted\*.dll and *.drv).
std::vector<std::wstring> PlantedNames() {
  std::vector<std::wstring> names;
  const std::wstring sDir = sw::test::TestProgramFolder() + L"\\planted\\";
  for (const wchar_t* sPattern : {L"*.dll", L"*.drv"}) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((sDir + sPattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do names.push_back(fd.cFileName);
    while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  return names;
}

constexpr const wchar_t* kNativeFirst =
    L"comctl32,dwmapi,iphlpapi,mapi32,msftedit,riched20,riched32,winmm=n,b";

bool NativeFirstUnderWine(const std::wstring& sName) {
  std::wstring n = sName;
  if (n.size() > 4 && _wcsicmp(n.c_str() + n.size() - 4, L".dll") == 0) n.resize(n.size() - 4);
  const std::wstring s = kNativeFirst;
  const std::wstring list = L"," + s.substr(0, s.find(L'=')) + L",";
  return list.find(L"," + n + L",") != std::wstring::npos;
}

bool RunsUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool Plant(const std::wstring& sFolder, const std::vector<std::wstring>& names) {
  const std::wstring sFrom = sw::test::TestProgramFolder() + L"\\planted\\";
  for (const auto& n : names)
    if (!::CopyFileW((sFrom + n).c_str(), (sFolder + L"\\" + n).c_str(), FALSE)) return false;
  return true;
}

// Names whose marker exists, with the exe that loaded them; markers are removed.
std::vector<std::wstring> TakeMarkers(const std::wstring& sFolder, const std::vector<std::wstring>& names) {
  std::vector<std::wstring> found;
  for (const auto& n : names) {
    const std::wstring sMarker = sFolder + L"\\" + n + L".loaded";
    if (::GetFileAttributesW(sMarker.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    found.push_back(n);
    ::DeleteFileW(sMarker.c_str());
  }
  return found;
}

class DllPlanting : public testing::Test {
 protected:
  void SetUp() override {
    FNames = PlantedNames();
    ASSERT_GE(FNames.size(), 5u) << "the planted DLLs were not built";
    if (RunsUnderWine()) {
      wchar_t sEnv[512] = L"";
      const DWORD n = ::GetEnvironmentVariableW(L"WINEDLLOVERRIDES", sEnv, 512);
      if (n == 0 || n >= 512 || std::wstring(sEnv) != kNativeFirst)
        GTEST_SKIP() << "needs WINEDLLOVERRIDES=" << ToUtf8(kNativeFirst) << " (the CTest entry win.release.planting)";
    }
  }
  std::vector<std::wstring> FNames;
};

// Without this the other test would prove nothing: the same folder, the same
// overrides, and a program that searches the ordinary way loads every planted DLL.
TEST_F(DllPlanting, ControlProgramLoadsThePlantedDlls) {
  const std::wstring sFolder = sw::test::ScratchFolder(L"plant-control");
  ASSERT_FALSE(sFolder.empty());
  ASSERT_TRUE(Plant(sFolder, FNames));
  const std::wstring sProbe = sFolder + L"\\plant_probe.exe";
  ASSERT_TRUE(::CopyFileW((sw::test::TestProgramFolder() + L"\\planted\\plant_probe.exe").c_str(), sProbe.c_str(), FALSE));

  std::wstring sCmd = L"\"" + sProbe + L"\"";
  for (const auto& n : FNames) sCmd += L" " + n;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL bStarted = ::CreateProcessW(sProbe.c_str(), sCmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                         sFolder.c_str(), &si, &pi);
  ASSERT_TRUE(bStarted) << ::GetLastError();
  EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pi.hProcess, 60000));
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);

  const auto found = TakeMarkers(sFolder, FNames);
  int nPreferred = 0;
  for (const auto& n : FNames) {
    if (RunsUnderWine() && !NativeFirstUnderWine(n)) continue;
    ++nPreferred;
    SCOPED_TRACE(ToUtf8(n));
    EXPECT_NE(found.end(), std::find(found.begin(), found.end(), n)) << "the control program did not load it";
  }
  EXPECT_GE(nPreferred, 5);
}

TEST_F(DllPlanting, SichtwerkLoadsNoPlantedDll) {
  const std::wstring sFolder = sw::test::ScratchFolder(L"plant");
  ASSERT_FALSE(sFolder.empty());
  ASSERT_TRUE(Plant(sFolder, FNames));
  sw::test::TSichtwerkProcess app;
  // The folder is the exe's and the current one: both are places a planted DLL waits.
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport()) << "status: " << ToUtf8(app.Status());
  EXPECT_FALSE(app.PaneText().empty());
  // A second run goes through the queries once more (version, IP Helper, RichEdit).
  ASSERT_TRUE(app.PressButton(L"Informationen erneut sammeln"));
  ::Sleep(200);
  ASSERT_TRUE(app.WaitForReport());
  DWORD dwExit = 0xdeadbeef;
  ASSERT_TRUE(app.Close(&dwExit));
  EXPECT_EQ(0u, dwExit);

  const auto found = TakeMarkers(sFolder, FNames);
  for (const auto& n : found) ADD_FAILURE() << "Sichtwerk.exe loaded the planted " << ToUtf8(n);
}

}  // namespace
