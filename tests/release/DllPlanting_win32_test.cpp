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
//
// After two collection runs the test mails (the tests' recording MAPI32.DLL stands in
// the system folder for it) and prints through the preview to the default printer, so
// that the DLLs those paths load are asked for too.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ShareDrive_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "win32/SystemLibrary_win32.h"

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

// The tests' recording MAPI32.DLL in the system folder and the availability value "1"
// for the mail path, both put back afterwards: Wine's builtin mapi32 would hand the
// mail to the desktop's mail program.
class TRecorderAsSystemMapi {
 public:
  TRecorderAsSystemMapi() {
    wchar_t s[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(s, MAX_PATH);
    FsDll = std::wstring(s, n) + L"\\mapi32.dll";
    FsBackup = FsDll + L".sw-planting";
    if (::GetFileAttributesW(FsBackup.c_str()) != INVALID_FILE_ATTRIBUTES)
      ::MoveFileExW(FsBackup.c_str(), FsDll.c_str(), MOVEFILE_REPLACE_EXISTING);
    FbHadDll = ::GetFileAttributesW(FsDll.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (FbHadDll) ::MoveFileExW(FsDll.c_str(), FsBackup.c_str(), MOVEFILE_REPLACE_EXISTING);
    FbCopied = ::CopyFileW((sw::test::TestProgramFolder() + L"\\mapi32.dll").c_str(), FsDll.c_str(), FALSE) != 0;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &Fh,
                          nullptr) == ERROR_SUCCESS) {
      DWORD cb = sizeof(FOld);
      FbHadValue = ::RegQueryValueExW(Fh, L"MAPI", nullptr, &FdwOldType, FOld, &cb) == ERROR_SUCCESS;
      FcbOld = cb;
      ::RegSetValueExW(Fh, L"MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 2 * sizeof(wchar_t));
    }
  }
  ~TRecorderAsSystemMapi() {
    if (Fh) {
      if (FbHadValue) ::RegSetValueExW(Fh, L"MAPI", 0, FdwOldType, FOld, FcbOld);
      else ::RegDeleteValueW(Fh, L"MAPI");
      ::RegCloseKey(Fh);
    }
    if (FbHadDll)
      ::MoveFileExW(FsBackup.c_str(), FsDll.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
      ::DeleteFileW(FsDll.c_str());
  }
  bool Ready() const { return FbCopied && Fh; }

 private:
  static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
  std::wstring FsDll, FsBackup;
  bool FbHadDll = false, FbCopied = false, FbHadValue = false;
  HKEY Fh = nullptr;
  DWORD FdwOldType = 0, FcbOld = 0;
  BYTE FOld[512] = {};
};

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
  // Declared first, so that it is put back after the program has ended (a loaded DLL
  // cannot be replaced).
  TRecorderAsSystemMapi recorder;
  sw::test::TSichtwerkProcess app;
  // The folder is the exe's and the current one: both are places a planted DLL waits.
  // The recorder notes each call here: proof that the mail reached the system's MAPI32.DLL.
  const std::wstring sRecord = sFolder + L".mapi-record.txt";
  ::DeleteFileW(sRecord.c_str());
  ASSERT_TRUE(app.Start(sFolder, {{L"SW_MAPI_RECORD", sRecord}}));
  ASSERT_TRUE(app.WaitForReport()) << "status: " << ToUtf8(app.Status());
  EXPECT_FALSE(app.PaneText().empty());
  // A second run goes through the queries once more (version, IP Helper, RichEdit).
  ASSERT_TRUE(app.CollectAgain());
  // The mail and print paths load MAPI32.DLL, comdlg32 and the spooler.
  ASSERT_TRUE(recorder.Ready()) << "the recording MAPI32.DLL could not be put in place";
  EXPECT_EQ(sw::test::DriveMailAndPrint(app), "");
  EXPECT_NE(::GetFileAttributesW(sRecord.c_str()), INVALID_FILE_ATTRIBUTES) << "the mail reached no MAPI32.DLL";
  ::DeleteFileW(sRecord.c_str());
  DWORD dwExit = 0xdeadbeef;
  ASSERT_TRUE(app.Close(&dwExit));
  EXPECT_EQ(0u, dwExit);

  const auto found = TakeMarkers(sFolder, FNames);
  for (const auto& n : found) ADD_FAILURE() << "Sichtwerk.exe loaded the planted " << ToUtf8(n);
}

// The program's own DLLs come from the system folder, restricted per call; the
// process's search order stays as it was for the DLLs that others load (a mail
// program's provider finding its own DLLs), less the current folder. A copy of a
// planted DLL under a name that Windows does not have stands in the current folder,
// then in a folder on PATH.
TEST(DllSearch, OwnDllsPerCallTheProcessOrderLeftAlone) {
  const std::wstring sFolder = sw::test::ScratchFolder(L"dll-search");
  ASSERT_FALSE(sFolder.empty());
  const wchar_t* sProbe = L"sw_search_probe.dll";
  ASSERT_TRUE(::CopyFileW((sw::test::TestProgramFolder() + L"\\planted\\winmm.dll").c_str(),
                          (sFolder + L"\\" + sProbe).c_str(), FALSE));
  wchar_t sSystem[MAX_PATH];
  const UINT cchSystem = ::GetSystemDirectoryW(sSystem, MAX_PATH);
  ASSERT_TRUE(cchSystem > 0 && cchSystem < MAX_PATH);
  // A DLL directory of the test's own, which the program's call must clear again.
  ASSERT_TRUE(::SetDllDirectoryW(sFolder.c_str()));
  sw::RemoveCurrentFolderFromDllSearch();

  {
    const sw::TModule hVersion = sw::LoadSystemLibrary(L"version.dll");
    ASSERT_TRUE(hVersion);
    wchar_t sPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(hVersion.get(), sPath, MAX_PATH);
    EXPECT_EQ(0, _wcsnicmp(sPath, sSystem, cchSystem)) << ToUtf8(sPath);
  }

  wchar_t sOldDir[MAX_PATH];
  ASSERT_TRUE(::GetCurrentDirectoryW(MAX_PATH, sOldDir));
  ASSERT_TRUE(::SetCurrentDirectoryW(sFolder.c_str()));
  EXPECT_FALSE(sw::LoadSystemLibrary(sProbe));
  // On Windows the empty DLL directory takes the current folder out of the search, and
  // LoadLibraryW(sProbe) fails here; Wine 8 takes the empty one for none and goes on
  // searching the current folder. What both show: the DLL directory was set empty.
  wchar_t sDllDir[MAX_PATH];
  memset(sDllDir, 0xbd, sizeof(sDllDir));
  EXPECT_EQ(0u, ::GetDllDirectoryW(MAX_PATH, sDllDir));
  EXPECT_EQ(L'\0', sDllDir[0]) << ToUtf8(std::wstring(sDllDir, wcsnlen(sDllDir, MAX_PATH)));
  ::SetCurrentDirectoryW(sOldDir);

  std::wstring sOldPath(32767, L'\0');
  sOldPath.resize(::GetEnvironmentVariableW(L"PATH", sOldPath.data(), 32767));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"PATH", (sFolder + L";" + sOldPath).c_str()));
  EXPECT_FALSE(sw::LoadSystemLibrary(sProbe)) << "not only from the system folder";
  HMODULE hFromPath = ::LoadLibraryW(sProbe);
  const DWORD dwError = ::GetLastError();
  EXPECT_NE(nullptr, hFromPath) << "the process's search order no longer takes PATH, error " << dwError;
  if (hFromPath) ::FreeLibrary(hFromPath);
  ::SetEnvironmentVariableW(L"PATH", sOldPath.c_str());
  ::SetDllDirectoryW(nullptr);
}

}  // namespace
