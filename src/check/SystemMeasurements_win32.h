#pragma once
#include "check/Measurements.h"
#include "sysquery/Locale_win32.h"

namespace sw {

// Drive sizes and file-system names of the running PC.
class TWinDriveQuery : public IDriveQuery {
 public:
  // One GetDiskFreeSpaceExW call on "<letter>:\" for both sizes: a drive that does
  // not answer makes each call wait for its time-out. On failure both are -1.
  bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) override;
  // GetVolumeInformationW, file-system name only, into 32 characters; "???" on failure.
  std::wstring QueryFileSystemName(wchar_t cLetter) override;
};

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
  IDriveQuery& Drives() override { return FDrives; }
  ILocale& Locale() override { return FLocale; }

 private:
  TWinLocale FLocale;
  TWinDriveQuery FDrives;
};

}  // namespace sw
