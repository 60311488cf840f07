#include "check/SystemMeasurements_win32.h"

#include <windows.h>

#include "sysquery/AisDetection.h"
#include "sysquery/SystemQuery_win32.h"
#include "sysquery/uRegistryUtils_win32.h"

namespace sw {

namespace {
// An empty floppy or card reader must fail quietly, not ask the user to insert a disk.
// SetErrorMode, not SetThreadErrorMode: the latter is missing before Windows 7.
class TQuietDriveErrors {
 public:
  TQuietDriveErrors() : FuOld(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~TQuietDriveErrors() { ::SetErrorMode(FuOld); }
  TQuietDriveErrors(const TQuietDriveErrors&) = delete;
  TQuietDriveErrors& operator=(const TQuietDriveErrors&) = delete;

 private:
  UINT FuOld;
};
}  // namespace

bool TWinDriveSystem::KnowsRoot(const std::wstring& sRoot) {
  TQuietDriveErrors quiet;
  return ::GetDriveTypeW(sRoot.c_str()) != DRIVE_NO_ROOT_DIR;
}

bool TWinDriveSystem::GetDiskSpace(const std::wstring& sRoot, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes,
                                   bool& bUnknownRoot) {
  TQuietDriveErrors quiet;
  nFreeBytes = -1;
  nTotalBytes = -1;
  bUnknownRoot = false;
  ULARGE_INTEGER uFree{}, uTotal{};
  if (!::GetDiskFreeSpaceExW(sRoot.c_str(), &uFree, &uTotal, nullptr)) {
    const DWORD dwError = ::GetLastError();
    bUnknownRoot = dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_DRIVE;
    return false;
  }
  nFreeBytes = static_cast<std::int64_t>(uFree.QuadPart);
  nTotalBytes = static_cast<std::int64_t>(uTotal.QuadPart);
  return true;
}

std::wstring TWinDriveSystem::QueryFileSystemName(const std::wstring& sRoot) {
  try {
    TQuietDriveErrors quiet;
    constexpr DWORD cchFileSystem = 32;
    wchar_t sFileSystem[cchFileSystem + 1] = {};  // one spare so the text always ends
    if (!::GetVolumeInformationW(sRoot.c_str(), nullptr, 0, nullptr, nullptr, nullptr, sFileSystem, cchFileSystem))
      return L"???";
    return std::wstring(sFileSystem);
  } catch (...) {
    return L"???";
  }
}

std::wstring TWinDriveSystem::RememberedRemotePath(wchar_t cLetter) {
  return RegReadString(rsCurrentUser, L"Network\\" + std::wstring(1, cLetter), L"RemotePath", L"");
}

bool TWinDriveSystem::FileExists(const std::wstring& sPath) {
  TQuietDriveErrors quiet;
  return IsExistingFile(sPath);
}

bool TSystemMeasurements::RunsOn64BitWindows() { return sw::RunsOn64BitWindows(); }

TLocalTime TSystemMeasurements::LocalNow() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring TSystemMeasurements::QueryComputerName() { return sw::QueryComputerName(); }
std::wstring TSystemMeasurements::WindowsReleaseText() { return sw::WindowsReleaseText(); }
std::wstring TSystemMeasurements::ServicePackText() { return sw::ServicePackText(); }
std::wstring TSystemMeasurements::WindowsEditionText() { return sw::WindowsEditionText(); }
std::wstring TSystemMeasurements::QueryFreeRamMB() { return sw::QueryFreeRamMB(); }
std::wstring TSystemMeasurements::QueryCpuClockText() { return sw::QueryCpuClockText(FLocale); }
std::wstring TSystemMeasurements::QueryCpuIdentifier() { return sw::QueryCpuIdentifier(); }

bool TSystemMeasurements::NetworkPresent() { return (::GetSystemMetrics(SM_NETWORK) & 1) != 0; }

TAdapterSpeed AskAdapterSpeed() {
  TAdapterSpeed a;
  a.bFound = sw::GetNetworkAdapterSpeed(a.sDescription, a.nSpeed);
  return a;
}

bool TSystemMeasurements::GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) {
  std::optional<TAdapterSpeed> a;
  // IP Helper is local: the limit only keeps a stuck call from holding the window.
  if (FpAdapterAhead) a = FpAdapterAhead->Take(kDriveAnswerLimitMs);
  if (!a) a = AskAdapterSpeed();
  if (!a->bFound) return false;
  sDescription = std::move(a->sDescription);
  nSpeed = a->nSpeed;
  return true;
}

int TSystemMeasurements::QueryScreenWidth() { return sw::QueryScreenWidth(); }
int TSystemMeasurements::QueryScreenHeight() { return sw::QueryScreenHeight(); }
std::wstring TSystemMeasurements::QueryColorDepthText() { return sw::QueryColorDepthText(); }

void TSystemMeasurements::GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) {
  TWinRegistryReader registry;
  TWinEnvironment environment;
  sw::GetAISInstallation(registry, environment, sName, sMailTo, sPath);
}

std::wstring TSystemMeasurements::QueryWindowsDirectory() { return sw::QueryWindowsDirectory(); }
std::wstring TSystemMeasurements::ProductServerRegistration() { return sw::ProductServerRegistration(); }
bool TSystemMeasurements::RunsElevated() { return sw::RunsElevated(); }

}  // namespace sw
