#pragma once
#include "check/Measurements.h"
#include "sysquery/Locale_win32.h"

namespace sw {

// The measurements of the running PC, forwarded to the system query library.
class TSystemMeasurements : public IMeasurements {
 public:
  bool RunsOn64BitWindows() override;
  TLocalTime LocalNow() override;
  std::wstring QueryComputerName() override;
  std::wstring WindowsReleaseText() override;
  std::wstring ServicePackText() override;
  std::wstring WindowsEditionText() override;
  std::wstring QueryFreeRamMB() override;
  std::wstring QueryCpuClockText() override;
  std::wstring QueryCpuIdentifier() override;
  bool NetworkPresent() override;
  bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) override;
  int QueryScreenWidth() override;
  int QueryScreenHeight() override;
  std::wstring QueryColorDepthText() override;
  void GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) override;
  std::wstring QueryWindowsDirectory() override;
  std::wstring GetProductServerPath() override;
  IDriveQuery& Drives() override;
  ILocale& Locale() override { return FLocale; }

 private:
  TWinLocale FLocale;
};

}  // namespace sw
