#include "sysquery/SystemQuery_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/SichtwerkProcess_win32.h"
#include "sysquery/Hardware.h"
#include "sysquery/RegistryScratch_win32.h"
#include "sysquery/WindowsVersion.h"
#include "sysquery/uRegistryUtils_win32.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {
namespace {

using test::TSavedValue;
using TProbeAnswers = std::map<std::string, std::string>;
using TEnv = std::vector<std::pair<std::wstring, std::wstring>>;

const wchar_t kProbeExe[] = L"sw_sysquery_probe.exe";
const wchar_t kProcessorKey[] = L"Hardware\\Description\\System\\CentralProcessor\\0";
const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

bool OnWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::wstring ChildEnvironment(const TEnv& aExtra) {
  std::vector<std::wstring> aVars;
  wchar_t* pBlock = ::GetEnvironmentStringsW();
  for (const wchar_t* p = pBlock; *p; p += wcslen(p) + 1) {
    std::wstring s(p);
    bool bReplaced = false;
    for (const auto& [sName, sValue] : aExtra)
      if (_wcsnicmp(s.c_str(), (sName + L"=").c_str(), sName.size() + 1) == 0) bReplaced = true;
    if (!bReplaced) aVars.push_back(s);
  }
  ::FreeEnvironmentStringsW(pBlock);
  for (const auto& [sName, sValue] : aExtra)
    if (!sValue.empty()) aVars.push_back(sName + L"=" + sValue);
  std::wstring sBlock;
  for (const std::wstring& s : aVars) sBlock += s + L'\0';
  sBlock += L'\0';
  return sBlock;
}

// Starts the probe and collects its name=value lines; empty on failure.
TProbeAnswers RunProbe(const TEnv& aExtraEnv = {}) {
  TProbeAnswers aAnswers;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE hRead = nullptr, hWrite = nullptr;
  if (!::CreatePipe(&hRead, &hWrite, &sa, 0)) return aAnswers;
  ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = hWrite;
  si.hStdError = hWrite;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring sExe = test::TestProgramFolder() + L"\\" + kProbeExe;
  std::wstring sCmd = L"\"" + sExe + L"\"";
  std::wstring sEnv = ChildEnvironment(aExtraEnv);
  const BOOL bStarted = ::CreateProcessW(sExe.c_str(), sCmd.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                         sEnv.data(), nullptr, &si, &pi);
  ::CloseHandle(hWrite);
  if (!bStarted) {
    ::CloseHandle(hRead);
    return aAnswers;
  }
  std::string sOut;
  char buf[4096];
  DWORD cb = 0;
  while (::ReadFile(hRead, buf, sizeof buf, &cb, nullptr) && cb > 0) sOut.append(buf, cb);
  ::CloseHandle(hRead);
  if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  std::size_t nPos = 0;
  while (nPos < sOut.size()) {
    std::size_t nEnd = sOut.find('\n', nPos);
    if (nEnd == std::string::npos) nEnd = sOut.size();
    std::string sLine = sOut.substr(nPos, nEnd - nPos);
    if (!sLine.empty() && sLine.back() == '\r') sLine.pop_back();
    const std::size_t nEq = sLine.find('=');
    if (nEq != std::string::npos) aAnswers[sLine.substr(0, nEq)] = sLine.substr(nEq + 1);
    nPos = nEnd + 1;
  }
  return aAnswers;
}

// Wine takes a program's Windows version from this value when the program starts.
TProbeAnswers RunProbeAs(const wchar_t* sVersion, const TEnv& aExtraEnv = {}) {
  test::TKeyGuard aAppDefaults(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults");
  TSavedValue aVersion(HKEY_CURRENT_USER, std::wstring(L"Software\\Wine\\AppDefaults\\") + kProbeExe, L"Version");
  if (!aVersion.Ok()) return {};
  if (*sVersion)
    aVersion.SetString(sVersion);
  else
    aVersion.Delete();
  return RunProbe(aExtraEnv);
}

TEST(WindowsVersion, ReleaseAndServicePackUnderWineVersions) {
  if (!OnWine()) GTEST_SKIP() << "the Windows version is set through Wine's per-program setting";
  struct Row {
    const wchar_t* sVersion;  // "" = the prefix's own (Windows 7 workstation)
    const char* sRelease;
    const char* sServicePack;
  } rows[] = {
      {L"", "Windows 7", "SP1"},
      {L"winxp", "Windows XP", "SP3"},
      {L"vista", "Windows Vista", "SP2"},
      {L"win2003", "Windows Server 2003", "SP2"},
      {L"win2008", "Windows Server 2008", "SP2"},
      {L"win2k", "Windows 2000", "SP4"},
      {L"win8", "", ""},
      {L"win10", "", ""},  // 6.2 without a compatibility manifest
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sVersion));
    TProbeAnswers a = RunProbeAs(r.sVersion);
    ASSERT_FALSE(a.empty()) << "probe did not run";
    EXPECT_EQ(a["releasetext"], r.sRelease);
    EXPECT_EQ(a["sptext"], r.sServicePack);
    EXPECT_EQ(a.count("spraise"), 0u);
    // Invariants: the text matches the code, and the level matches the extended record.
    EXPECT_EQ(a["release"] == "0", std::string(r.sRelease).empty());
    EXPECT_EQ(a["splevel"], a["spmajor"]);
  }
}

TEST(WindowsVersion, SixOneFollowsTheProductType) {
  if (!OnWine()) GTEST_SKIP() << "the Windows version is set through Wine's per-program setting";
  // Wine 8 reports "win7" with a server product type and "win2008r2" with a
  // workstation one; whatever it reports, the text must follow the product type.
  for (const wchar_t* sVersion : {L"win7", L"win2008r2"}) {
    SCOPED_TRACE(test::ToUtf8(sVersion));
    TProbeAnswers a = RunProbeAs(sVersion);
    ASSERT_FALSE(a.empty());
    ASSERT_EQ(a["major"] + "." + a["minor"], "6.1");
    EXPECT_EQ(a["releasetext"], a["producttype"] == "1" ? "Windows 7" : "Windows Server 2008 R2");
    EXPECT_EQ(a["sptext"], "SP1");
  }
}

TEST(WindowsVersion, OlderSystemsTakeTheServicePackFromTheRegistry) {
  if (!OnWine()) GTEST_SKIP() << "the Windows version is set through Wine's per-program setting";
  TSavedValue aCsd(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Windows", L"CSDVersion");
  ASSERT_TRUE(aCsd.Ok());
  struct Row {
    const wchar_t* sVersion;
    const char* sRelease;
  } rows[] = {
      {L"nt40", "Windows NT 4.0"},
      {L"nt351", "Windows NT 3.51"},
      {L"win95", "Windows 95"},
      {L"win98", "Windows 98 SE"},  // Wine's szCSDVersion " A " trimmed
      {L"winme", "Windows ME"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sVersion));
    ASSERT_EQ(aCsd.SetDword(0x0300), ERROR_SUCCESS);
    TProbeAnswers a = RunProbeAs(r.sVersion);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a["releasetext"], r.sRelease);
    EXPECT_EQ(a["sptext"], "SP3");
    ASSERT_EQ(aCsd.SetDword(0), ERROR_SUCCESS);
    EXPECT_EQ(RunProbeAs(r.sVersion)["sptext"], "");
    // A hexadecimal form with a letter raises to the caller, nothing is swallowed.
    ASSERT_EQ(aCsd.SetDword(0x0A00), ERROR_SUCCESS);
    a = RunProbeAs(r.sVersion);
    EXPECT_EQ(a.count("spraise"), 1u);
    EXPECT_EQ(a.count("sptext"), 0u);
    ASSERT_TRUE(aCsd.Delete() == ERROR_SUCCESS || !aCsd.Existed());
    EXPECT_EQ(RunProbeAs(r.sVersion)["sptext"], "");  // missing value: level 0
  }
}

TEST(WindowsEdition, FromTheRegistryProductName) {
  TSavedValue aName(HKEY_LOCAL_MACHINE, kCurrentVersionKey, L"ProductName");
  if (!aName.Ok()) GTEST_SKIP() << "no write access to HKLM";
  struct Row {
    std::wstring sName;
    unsigned Code;
    const wchar_t* sText;
  } rows[] = {
      {L"Windows 7 Professional", 23, L"Professional"},
      {L"Windows XP Home Edition KN", 7, L"Home Edition KN"},
      {L"Microsoft Windows 7", 0, L""},
      {L"Windows Vista " + std::wstring(10000 - 14 - 6, L'-') + L"Tablet", 0, L""},
      {L"Windows XP " + std::wstring(10000 - 11 - 6, L'-') + L"Tablet", 11, L"Tablet PC Edition"},
      {L"", 0, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sName.size());
    ASSERT_EQ(aName.SetString(r.sName), ERROR_SUCCESS);
    EXPECT_EQ(DetectWindowsEdition(), r.Code);
    EXPECT_EQ(WindowsEditionText(), r.sText);
  }
  ASSERT_EQ(aName.SetDword(7), ERROR_SUCCESS);
  EXPECT_EQ(WindowsEditionText(), L"");
  aName.Delete();
  EXPECT_EQ(WindowsEditionText(), L"");
}

TEST(WindowsVersion, SixtyFourBitWindows7ProfessionalSp1) {
  if (!OnWine()) GTEST_SKIP() << "the Windows version is set through Wine's per-program setting";
  TSavedValue aName(HKEY_LOCAL_MACHINE, kCurrentVersionKey, L"ProductName");
  ASSERT_TRUE(aName.Ok());
  ASSERT_EQ(aName.SetString(L"Windows 7 Professional"), ERROR_SUCCESS);
  TProbeAnswers a = RunProbeAs(L"");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a["releasetext"] + " " + a["sptext"] + " " + a["editiontext"], "Windows 7 SP1 Professional");
  BOOL bWow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &bWow64));
  EXPECT_EQ(a["x64"], bWow64 ? "1" : "0");
}

class TLcidLocale : public ILocale {
 public:
  explicit TLcidLocale(LCID aLcid) : FLcid(aLcid) {}
  std::wstring DecimalSeparator() override {
    wchar_t s[8];
    const int n = ::GetLocaleInfoW(FLcid, LOCALE_SDECIMAL, s, 8);
    return n > 1 ? std::wstring(s, n - 1) : L"?";
  }
  std::wstring ThousandSeparator() override { return L""; }
  std::wstring FormatShortDate(const TLocalTime&) override { return L""; }
  std::wstring FormatLongTime(const TLocalTime&) override { return L""; }

 private:
  LCID FLcid;
};

TEST(CpuClock, GermanAndEnglishSeparatorFromTheRegistryClock) {
  TSavedValue aMHz(HKEY_LOCAL_MACHINE, kProcessorKey, L"~MHz");
  if (!aMHz.Ok()) GTEST_SKIP() << "no write access to the processor key";
  TLcidLocale aGerman(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
  TLcidLocale aEnglish(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  struct Row {
    DWORD nMHz;
    const wchar_t* sGerman;
    const wchar_t* sEnglish;
  } rows[] = {
      {2400, L"2,34 GHz", L"2.34 GHz"}, {3000, L"2,93 GHz", L"2.93 GHz"}, {1024, L"1,00 GHz", L"1.00 GHz"},
      {1023, L"1023 MHz", L"1023 MHz"}, {0, L"???", L"???"},            {0xFFFFFFFF, L"???", L"???"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.nMHz);
    ASSERT_EQ(aMHz.SetDword(r.nMHz), ERROR_SUCCESS);
    EXPECT_EQ(QueryCpuClockText(aGerman), r.sGerman);
    EXPECT_EQ(QueryCpuClockText(aEnglish), r.sEnglish);
  }
  ASSERT_EQ(aMHz.SetString(L"2400"), ERROR_SUCCESS);  // a string is no clock
  EXPECT_EQ(QueryCpuClockText(aGerman), L"???");
  const BYTE a8[8] = {0x60, 0x09, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(aMHz.SetRaw(REG_DWORD, a8, 8), ERROR_SUCCESS);
  EXPECT_EQ(QueryCpuClockText(aGerman), L"???");
  ASSERT_EQ(aMHz.Delete(), ERROR_SUCCESS);
  EXPECT_EQ(QueryCpuClockText(aGerman), L"???");
}

// The test list runs this once under a German and once under an English user locale
// and names the separator it expects; Wine takes the locale from the Unix one.
TEST(CpuClock, UserLocaleOfThisProcess) {
  const char* sExpected = std::getenv("SW_EXPECT_DECIMAL");
  if (!sExpected) GTEST_SKIP() << "SW_EXPECT_DECIMAL not set: run through the test list";
  TSavedValue aMHz(HKEY_LOCAL_MACHINE, kProcessorKey, L"~MHz");
  ASSERT_TRUE(aMHz.Ok());
  ASSERT_EQ(aMHz.SetDword(2400), ERROR_SUCCESS);
  const std::wstring sSep(sExpected, sExpected + std::strlen(sExpected));
  EXPECT_EQ(QueryCpuClockText(), L"2" + sSep + L"34 GHz");
  ASSERT_EQ(aMHz.SetDword(1000), ERROR_SUCCESS);
  EXPECT_EQ(QueryCpuClockText(), L"1000 MHz");
}

TEST(CpuIdentifier, FromTheProcessorKey) {
  TSavedValue aId(HKEY_LOCAL_MACHINE, kProcessorKey, L"Identifier");
  if (!aId.Ok()) GTEST_SKIP() << "no write access to the processor key";
  ASSERT_EQ(aId.SetString(L"x86 Family 6 Model 158 Stepping 10"), ERROR_SUCCESS);
  EXPECT_EQ(QueryCpuIdentifier(), L"x86 Family 6 Model 158 Stepping 10");
  ASSERT_EQ(aId.Delete(), ERROR_SUCCESS);
  EXPECT_EQ(QueryCpuIdentifier(), L"");  // key without the value: the empty text
}

TEST(ComputerName, SixteenCharacterBuffer) {
  if (!OnWine()) GTEST_SKIP() << "Wine takes the name from the registry; Windows names have at most 15 characters";
  TSavedValue aName(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName",
                    L"ComputerName");
  ASSERT_TRUE(aName.Ok());
  struct Row {
    const wchar_t* sName;
    const wchar_t* sExpected;
  } rows[] = {
      {L"A", L"A"},
      {L"PRAXIS-EMPFANG1", L"PRAXIS-EMPFANG1"},  // 15: returned whole
      {L"PRAXIS-EMPFANG12", L""},                // 16: does not fit with its zero
      {L"PRAXIS-EMPFANG-ZIMMER-3", L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sName));
    ASSERT_EQ(aName.SetString(r.sName), ERROR_SUCCESS);
    wchar_t sBig[64];
    DWORD cch = 64;
    ASSERT_TRUE(::GetComputerNameW(sBig, &cch));
    ASSERT_STREQ(sBig, r.sName);  // the platform does report the name
    EXPECT_EQ(QueryComputerName(), r.sExpected);
  }
}

TEST(SystemQuery, CrossChecksWithOtherCalls) {
  BOOL bWow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &bWow64));
  // Windows (and Wine's 64-bit prefix) names the machine's processor to a 32-bit program
  // on 64-bit Windows in this variable alone.
  EXPECT_EQ(RunsOn64BitWindows(), ::GetEnvironmentVariableW(L"PROCESSOR_ARCHITEW6432", nullptr, 0) > 0);

  SYSTEM_INFO aNative, aPlain;
  memset(&aNative, 0xBD, sizeof aNative);
  memset(&aPlain, 0xBD, sizeof aPlain);
  EXPECT_TRUE(QueryNativeSystemInfo(aNative));  // every supported Windows has the call
  ::GetSystemInfo(&aPlain);
  EXPECT_EQ(aPlain.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
  if (bWow64)
    EXPECT_NE(aNative.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
  else
    EXPECT_EQ(aNative.wProcessorArchitecture, aPlain.wProcessorArchitecture);
  EXPECT_NE(aNative.dwNumberOfProcessors, 0xBDBDBDBDu);

  // The screen the test display was started with (tests/wine/wine-env.sh: Xvfb
  // 1280x1024 at depth 24, which Wine reports as 32 bits a pixel).
  EXPECT_EQ(QueryColorDepthText(), L"32-Bit, true Color");
  EXPECT_EQ(QueryScreenWidth(), 1280);
  EXPECT_EQ(QueryScreenHeight(), 1024);
  // The size comes from the display mode (Wine scales no metrics, so both agree here).
  DEVMODEW dm;
  memset(&dm, 0, sizeof dm);
  dm.dmSize = sizeof dm;
  ASSERT_TRUE(::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm));
  std::uint32_t nModeW = 0xBDBDBDBD, nModeH = 0xBDBDBDBD;
  TWinScreenApi aScreen;
  ASSERT_TRUE(aScreen.CurrentMode(nModeW, nModeH));
  EXPECT_EQ(nModeW, dm.dmPelsWidth);
  EXPECT_EQ(nModeH, dm.dmPelsHeight);
  EXPECT_EQ(QueryScreenWidth(), static_cast<int>(dm.dmPelsWidth));
  EXPECT_EQ(QueryScreenHeight(), static_cast<int>(dm.dmPelsHeight));

  const std::wstring sWin = QueryWindowsDirectory();
  ASSERT_FALSE(sWin.empty());
  EXPECT_NE(sWin.back(), L'\\');
  const DWORD dwAttr = ::GetFileAttributesW(sWin.c_str());
  ASSERT_NE(dwAttr, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
  wchar_t sSys[MAX_PATH];
  ASSERT_GT(::GetSystemDirectoryW(sSys, MAX_PATH), 0u);
  EXPECT_EQ(_wcsnicmp(sSys, (sWin + L"\\").c_str(), sWin.size() + 1), 0);

  const std::wstring sRam = QueryFreeRamMB();
  ASSERT_FALSE(sRam.empty());
  ASSERT_EQ(sRam.find_first_not_of(L"0123456789"), std::wstring::npos) << test::ToUtf8(sRam);
  EXPECT_LE(std::stoul(sRam), 4096u);
  EXPECT_GT(std::stoul(sRam), 0u);
}

TEST(NetworkAdapterSpeed, OutputsUntouchedUnlessAnAdapterQualifies) {
  std::wstring sDescr = L"sentinel";
  std::uint32_t nSpeed = 0xBDBDBDBD;
  SetLastError(0xdeadbeef);
  if (GetNetworkAdapterSpeed(sDescr, nSpeed)) {
    EXPECT_NE(nSpeed, 0u);
    EXPECT_NE(sDescr, L"sentinel");
  } else {
    EXPECT_EQ(sDescr, L"sentinel");
    EXPECT_EQ(nSpeed, 0xBDBDBDBDu);
  }
  // Stateless: a second call answers the same.
  std::wstring sDescr2 = L"sentinel";
  std::uint32_t nSpeed2 = 0xBDBDBDBD;
  const bool bSecond = GetNetworkAdapterSpeed(sDescr2, nSpeed2);
  EXPECT_EQ(bSecond, sDescr != L"sentinel");

  // Wine reports no adapter's speed: the probe gets the tests' IPHLPAPI.DLL in the
  // system folder, preferred to Wine's own for it alone, and must find its adapter.
  if (!OnWine()) return;
  wchar_t sSys[MAX_PATH];
  const UINT cchSys = ::GetSystemDirectoryW(sSys, MAX_PATH);
  ASSERT_TRUE(cchSys > 0 && cchSys < MAX_PATH);
  const std::wstring sDll = std::wstring(sSys, cchSys) + L"\\iphlpapi.dll", sKept = sDll + L".sw-test";
  if (::GetFileAttributesW(sKept.c_str()) != INVALID_FILE_ATTRIBUTES)
    ::MoveFileExW(sKept.c_str(), sDll.c_str(), MOVEFILE_REPLACE_EXISTING);
  ASSERT_TRUE(::MoveFileExW(sDll.c_str(), sKept.c_str(), MOVEFILE_REPLACE_EXISTING)) << ::GetLastError();
  const bool bCopied = ::CopyFileW((test::TestProgramFolder() + L"\\fake\\iphlpapi.dll").c_str(), sDll.c_str(), FALSE);
  TProbeAnswers a;
  if (bCopied) {
    test::TKeyGuard aAppDefaults(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults");
    TSavedValue aNative(HKEY_CURRENT_USER, std::wstring(L"Software\\Wine\\AppDefaults\\") + kProbeExe + L"\\DllOverrides",
                        L"iphlpapi");
    aNative.SetString(L"native");
    a = RunProbe();
  }
  ::MoveFileExW(sKept.c_str(), sDll.c_str(), MOVEFILE_REPLACE_EXISTING);
  ASSERT_TRUE(bCopied);
  EXPECT_EQ(a["network"], "Testadapter 100 100000000");
}

TEST(Registry, UnchangedAfterAllReadersRan) {
  struct Snap {
    HKEY hRoot;
    std::wstring sPath;
    int nDepth;
  } snaps[] = {
      {HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0},
      {HKEY_LOCAL_MACHINE, L"Hardware\\Description\\System\\CentralProcessor", 2},
      {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Windows", 0},
      {HKEY_CLASSES_ROOT, L"CLSID\\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}", 3},
      {HKEY_CURRENT_USER, L"Software\\SichtwerkTest-never-there", 1},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE\\SichtwerkTest-never-there", 1},
      {HKEY_CLASSES_ROOT, L"SichtwerkTest-never-there", 1},
  };
  auto Dump = [&] {
    std::wstring s;
    for (const Snap& x : snaps) s += test::DumpKey(x.hRoot, x.sPath, x.nDepth);
    return s;
  };
  const std::wstring sBefore = Dump();
  for (TRootSelector aRoot : {rsCurrentUser, rsLocalMachine, rsClassesRoot}) {
    for (const wchar_t* sKey : {L"SichtwerkTest-never-there", L"Software\\SichtwerkTest-never-there",
                                L"SOFTWARE\\SichtwerkTest-never-there\\Sub", kCurrentVersionKey}) {
      RegReadString(aRoot, sKey, L"ProductName", L"");
      RegReadString(aRoot, sKey, L"", L"x");
      RegReadInteger(aRoot, sKey, L"CSDVersion", 0);
      RegKeyExists(aRoot, sKey);
    }
  }
  DetectWindowsEdition();
  WindowsReleaseText();
  ServicePackText();
  QueryCpuClockText();
  QueryCpuIdentifier();
  GetProductServerPath();
  TWinRegistryReader aReader;
  aReader.RegKeyExists(rsLocalMachine, L"SOFTWARE\\SichtwerkTest-never-there");
  aReader.RegReadString(rsLocalMachine, L"SOFTWARE\\SichtwerkTest-never-there", L"Path", L"");
  const std::wstring sAfter = Dump();
  EXPECT_TRUE(sBefore == sAfter) << test::ToUtf8(sBefore) << "\n---\n" << test::ToUtf8(sAfter);
  EXPECT_NE(sBefore.find(L"CurrentVersion @"), std::wstring::npos);  // the dump did see something
}

}  // namespace
}  // namespace sw
