#include "sysquery/SystemQuery_win32.h"

#include <iphlpapi.h>

#include <cstddef>
#include <cwchar>

#include "common/Text.h"
#include "sysquery/Hardware.h"
#include "sysquery/Locale_win32.h"
#include "sysquery/WindowsVersion.h"
#include "sysquery/uNetSpeedUtil.h"
#include "sysquery/uRegistryUtils_win32.h"
#include "win32/ModuleFile_win32.h"
#include "win32/OsVersion_win32.h"
#include "win32/SystemLibrary_win32.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {

static_assert(sizeof(MEMORYSTATUS) == 32, "memory status record size");
static_assert(sizeof(MIB_IFROW) == sizeof(TIfRow), "TIfRow mirrors MIB_IFROW");
static_assert(offsetof(MIB_IFROW, dwIndex) == offsetof(TIfRow, dwIndex));
static_assert(offsetof(MIB_IFROW, dwSpeed) == offsetof(TIfRow, dwSpeed));
static_assert(offsetof(MIB_IFROW, bPhysAddr) == offsetof(TIfRow, bPhysAddr));
static_assert(offsetof(MIB_IFROW, dwAdminStatus) == offsetof(TIfRow, dwAdminStatus));
static_assert(offsetof(MIB_IFROW, dwDescrLen) == offsetof(TIfRow, dwDescrLen));
static_assert(offsetof(MIB_IFROW, bDescr) == offsetof(TIfRow, bDescr));

namespace {

const wchar_t kProcessorKey[] = L"\\Hardware\\Description\\System\\CentralProcessor\\0";

// Upper half of kernel32.dll's product version; only the 9x family needs it.
std::uint32_t ReadKernelVersion() {
  OSVERSIONINFOW vi;
  if (!ReadPlainVersion(vi) || vi.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return 0;
  VS_FIXEDFILEINFO fixed{};
  return ReadFixedFileInfo(L"kernel32.dll", fixed) ? fixed.dwProductVersionMS : 0;
}

std::uint32_t KernelVersion() {
  static const std::uint32_t nVersion = [] {
    try {
      return ReadKernelVersion();
    } catch (...) {
      return std::uint32_t{0};
    }
  }();
  return nVersion;
}

// A failed GetVersionExW leaves platform 0: a release outside the table.
TVersionRecord ReadVersionRecord() {
  TVersionRecord v;
  OSVERSIONINFOW vi;
  if (!ReadPlainVersion(vi)) return v;
  v.PlatformId = vi.dwPlatformId;
  v.Major = vi.dwMajorVersion;
  v.Minor = vi.dwMinorVersion;
  v.CsdText = Trim(std::wstring(vi.szCSDVersion, wcsnlen(vi.szCSDVersion, 128)));
  v.KernelVersion = KernelVersion();
  v.bServerR2 = ::GetSystemMetrics(SM_SERVERR2) != 0;
  SYSTEM_INFO si;
  ZeroMemory(&si, sizeof si);
  QueryNativeSystemInfo(si);
  v.NativeArchitecture = si.wProcessorArchitecture;
  OSVERSIONINFOEXW ex;
  v.bExtendedOk = ReadExtendedVersion(ex);
  v.ProductType = v.bExtendedOk ? ex.wProductType : 0;
  return v;
}

// GetIfTable and GetIfEntry of iphlpapi.dll, loaded from the system folder once.
class TWinIfApi : public IIfApi {
 public:
  TWinIfApi() : FModule(LoadSystemLibrary(L"iphlpapi.dll")) {
    FGetIfTable = GetProc<TGetIfTable>(FModule.get(), "GetIfTable");
    FGetIfEntry = GetProc<TGetIfEntry>(FModule.get(), "GetIfEntry");
  }
  std::uint32_t GetIfTable(void* pTable, std::uint32_t* pcbSize, bool bOrder) override {
    if (!FGetIfTable) return ERROR_NOT_SUPPORTED;
    ULONG cbSize = *pcbSize;
    const DWORD r = FGetIfTable(static_cast<PMIB_IFTABLE>(pTable), &cbSize, bOrder ? TRUE : FALSE);
    *pcbSize = cbSize;
    return r;
  }
  std::uint32_t GetIfEntry(TIfRow& aRow) override {
    if (!FGetIfEntry) return ERROR_NOT_SUPPORTED;
    return FGetIfEntry(reinterpret_cast<PMIB_IFROW>(&aRow));
  }

 private:
  using TGetIfTable = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
  using TGetIfEntry = DWORD(WINAPI*)(PMIB_IFROW);
  TModule FModule;
  TGetIfTable FGetIfTable = nullptr;
  TGetIfEntry FGetIfEntry = nullptr;
};

}  // namespace

std::wstring QueryComputerName() {
  try {
    wchar_t sName[16];
    DWORD cchName = 16;
    if (!::GetComputerNameW(sName, &cchName)) return std::wstring();
    return std::wstring(sName, wcsnlen(sName, 16));
  } catch (...) {
    return std::wstring();
  }
}

unsigned DetectWindowsRelease() {
  try {
    return DetectWindowsRelease(ReadVersionRecord());
  } catch (...) {
    return 0;
  }
}

std::wstring WindowsReleaseText() {
  try {
    const TVersionRecord v = ReadVersionRecord();
    return WindowsReleaseText(DetectWindowsRelease(v), v.Minor);
  } catch (...) {
    return std::wstring();
  }
}

unsigned DetectWindowsEdition() {
  try {
    return DetectWindowsEdition(
        RegReadString(rsLocalMachine, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName", L""));
  } catch (...) {
    return 0;
  }
}

std::wstring WindowsEditionText() { return WindowsEditionText(DetectWindowsEdition()); }

unsigned ServicePackLevel() {
  OSVERSIONINFOW vi;
  const bool bVersion = ReadPlainVersion(vi);
  if (bVersion && vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion >= 5) {
    OSVERSIONINFOEXW ex;
    return ReadExtendedVersion(ex) ? ex.wServicePackMajor : 0;
  }
  // Older systems keep the level in the registry; a malformed value raises to the caller.
  return ServicePackLevelFromCsdVersion(
      RegReadInteger(rsLocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\Windows", L"CSDVersion", 0));
}

std::wstring ServicePackText() { return ServicePackText(ServicePackLevel()); }

bool QueryNativeSystemInfo(SYSTEM_INFO& aInfo) {
  using TGetNative = void(WINAPI*)(LPSYSTEM_INFO);
  auto fn = GetProc<TGetNative>(::GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo");
  if (fn) {
    fn(&aInfo);
    return true;
  }
  ::GetSystemInfo(&aInfo);
  return false;
}

bool RunsOn64BitWindows() {
  try {
    using TIsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto fn = GetProc<TIsWow64>(::GetModuleHandleW(L"kernel32"), "IsWow64Process");
    if (!fn) return false;
    BOOL bWow64 = FALSE;
    return fn(::GetCurrentProcess(), &bWow64) && bWow64 != FALSE;
  } catch (...) {
    return false;
  }
}

bool RunsElevated() {
  HANDLE hToken = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken)) return false;
  const THandleOwner token(hToken);
  TOKEN_ELEVATION elevation{};
  DWORD cbReturned = 0;
  // XP knows no TokenElevation and fails the call.
  if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &cbReturned)) return false;
  return elevation.TokenIsElevated != 0;
}

std::wstring QueryFreeRamMB() {
  try {
    MEMORYSTATUS ms;
    ZeroMemory(&ms, sizeof ms);
    ms.dwLength = sizeof ms;
    ::GlobalMemoryStatus(&ms);
    return FreeRamMBText(static_cast<std::uint32_t>(ms.dwAvailPhys));
  } catch (...) {
    return L"???";
  }
}

std::wstring QueryCpuClockText() {
  try {
    TWinLocale aLocale;
    return QueryCpuClockText(aLocale);
  } catch (...) {
    return L"???";
  }
}

std::wstring QueryCpuClockText(ILocale& aLocale) {
  try {
    const std::int32_t iMHz = RegReadInteger(rsLocalMachine, kProcessorKey, L"~MHz", -1);
    if (iMHz <= 0) return L"???";
    return CpuClockText(iMHz, aLocale.DecimalSeparator());
  } catch (...) {
    return L"???";
  }
}

std::wstring QueryCpuIdentifier() {
  try {
    return RegReadString(rsLocalMachine, kProcessorKey, L"Identifier", L"???");
  } catch (...) {
    return L"???";
  }
}

std::wstring QueryColorDepthText() {
  try {
    TScreenDC dc;
    return ColorDepthText(dc.get() ? ::GetDeviceCaps(dc.get(), BITSPIXEL) : 0);
  } catch (...) {
    return ColorDepthText(0);
  }
}

bool TWinScreenApi::CurrentMode(std::uint32_t& nWidth, std::uint32_t& nHeight) {
  DEVMODEW dm;
  ZeroMemory(&dm, sizeof dm);
  dm.dmSize = sizeof dm;
  // No device name: the primary display.
  if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm)) return false;
  if ((dm.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != (DM_PELSWIDTH | DM_PELSHEIGHT)) return false;
  nWidth = dm.dmPelsWidth;
  nHeight = dm.dmPelsHeight;
  return true;
}

int QueryScreenWidth() {
  TWinScreenApi aApi;
  return ScreenSize(aApi).nWidth;
}

int QueryScreenHeight() {
  TWinScreenApi aApi;
  return ScreenSize(aApi).nHeight;
}

std::wstring QueryWindowsDirectory() {
  try {
    wchar_t sDir[MAX_PATH];
    const UINT cch = ::GetWindowsDirectoryW(sDir, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) return std::wstring();
    return std::wstring(sDir, cch);
  } catch (...) {
    return std::wstring();
  }
}

bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) {
  try {
    static TWinIfApi aApi;
    TWinCodePage aCodePage;
    return GetNetworkAdapterSpeed(aApi, aCodePage, sDescription, nSpeed);
  } catch (...) {
    return false;
  }
}

}  // namespace sw
