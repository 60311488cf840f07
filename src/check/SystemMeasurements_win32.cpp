#include "check/SystemMeasurements_win32.h"

#include <windows.h>

#include "sysquery/AisDetection.h"
#include "sysquery/SystemQuery_win32.h"
#include "sysquery/uRegistryUtils_win32.h"

namespace sw {

namespace {
std::wstring RootOf(wchar_t cLetter) { return std::wstring(1, cLetter) + L":\\"; }

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

bool TWinDriveQuery::GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) {
  const std::wstring sRoot = RootOf(cLetter);
  TQuietDriveErrors quiet;
  nFreeBytes = -1;
  nTotalBytes = -1;
  ULARGE_INTEGER uFree{}, uTotal{};
  if (!::GetDiskFreeSpaceExW(sRoot.c_str(), &uFree, &uTotal, nullptr)) return false;
  nFreeBytes = static_cast<std::int64_t>(uFree.QuadPart);
  nTotalBytes = static_cast<std::int64_t>(uTotal.QuadPart);
  return true;
}

std::wstring TWinDriveQuery::QueryFileSystemName(wchar_t cLetter) {
  try {
    const std::wstring sRoot = RootOf(cLetter);
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

bool TSystemMeasurements::GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) {
  return sw::GetNetworkAdapterSpeed(sDescription, nSpeed);
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
std::wstring TSystemMeasurements::GetProductServerPath() { return sw::GetProductServerPath(); }

}  // namespace sw
