#include "check/SystemMeasurements_win32.h"

#include <windows.h>

namespace sw {

// Placeholders until the system query library lands.
namespace {
class TNoDrives : public IDriveQuery {
 public:
  bool GetDiskSpace(wchar_t, std::int64_t&, std::int64_t&) override { return false; }
  std::wstring QueryFileSystemName(wchar_t) override { return L"???"; }
};
TNoDrives gNoDrives;
}  // namespace

bool TSystemMeasurements::RunsOn64BitWindows() { return false; }
TLocalTime TSystemMeasurements::LocalNow() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}
std::wstring TSystemMeasurements::QueryComputerName() { return L""; }
std::wstring TSystemMeasurements::WindowsReleaseText() { return L""; }
std::wstring TSystemMeasurements::ServicePackText() { return L""; }
std::wstring TSystemMeasurements::WindowsEditionText() { return L""; }
std::wstring TSystemMeasurements::QueryFreeRamMB() { return L"???"; }
std::wstring TSystemMeasurements::QueryCpuClockText() { return L"???"; }
std::wstring TSystemMeasurements::QueryCpuIdentifier() { return L"???"; }
bool TSystemMeasurements::NetworkPresent() { return (::GetSystemMetrics(SM_NETWORK) & 1) != 0; }
bool TSystemMeasurements::GetNetworkAdapterSpeed(std::wstring&, std::uint32_t&) { return false; }
int TSystemMeasurements::QueryScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int TSystemMeasurements::QueryScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }
std::wstring TSystemMeasurements::QueryColorDepthText() { return L""; }
void TSystemMeasurements::GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) {
  sName.clear();
  sMailTo.clear();
  sPath.clear();
}
std::wstring TSystemMeasurements::QueryWindowsDirectory() { return L""; }
std::wstring TSystemMeasurements::GetProductServerPath() { return L""; }
IDriveQuery& TSystemMeasurements::Drives() { return gNoDrives; }

}  // namespace sw
