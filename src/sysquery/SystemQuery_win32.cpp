#include "sysquery/SystemQuery.h"

#include "sysquery/Locale_win32.h"

namespace sw {

std::wstring QueryComputerName() { return L""; }
unsigned DetectWindowsRelease() { return 0; }
std::wstring WindowsReleaseText() { return L""; }
unsigned DetectWindowsEdition() { return 0; }
std::wstring WindowsEditionText() { return L""; }
unsigned ServicePackLevel() { return 0; }
std::wstring ServicePackText() { return L""; }
bool QueryNativeSystemInfo(SYSTEM_INFO& aInfo) {
  ::GetSystemInfo(&aInfo);
  return false;
}
bool RunsOn64BitWindows() { return false; }
std::wstring QueryFreeRamMB() { return L"???"; }
std::wstring QueryCpuClockText() {
  TWinLocale aLocale;
  return QueryCpuClockText(aLocale);
}
std::wstring QueryCpuClockText(ILocale&) { return L"???"; }
std::wstring QueryCpuIdentifier() { return L"???"; }
std::wstring QueryColorDepthText() { return L""; }
int QueryScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int QueryScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }
std::wstring QueryWindowsDirectory() { return L""; }
bool GetNetworkAdapterSpeed(std::wstring&, std::uint32_t&) { return false; }

}  // namespace sw
