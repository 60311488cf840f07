#pragma once
#include <cstdint>
#include <string>

#include "common/Locale.h"

namespace sw {

// Free and total bytes of a drive as GetDiskFreeSpaceExW reports them; false when the
// drive did not answer (the rating then reads it as unreachable).
class IDriveQuery {
 public:
  virtual ~IDriveQuery() = default;
  virtual bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) = 0;
  // File-system name of the drive, "???" when it cannot be read.
  virtual std::wstring QueryFileSystemName(wchar_t cLetter) = 0;
};

// Everything the requirements check measures. The Windows implementation forwards to
// the system query library; tests hand in a fake. Each query returns its fallback
// instead of failing; only ServicePackText may raise.
class IMeasurements {
 public:
  virtual ~IMeasurements() = default;
  virtual bool RunsOn64BitWindows() = 0;
  virtual TLocalTime LocalNow() = 0;
  virtual std::wstring QueryComputerName() = 0;
  virtual std::wstring WindowsReleaseText() = 0;
  virtual std::wstring ServicePackText() = 0;
  virtual std::wstring WindowsEditionText() = 0;
  virtual std::wstring QueryFreeRamMB() = 0;
  virtual std::wstring QueryCpuClockText() = 0;
  virtual std::wstring QueryCpuIdentifier() = 0;
  // Bit 0 of GetSystemMetrics(SM_NETWORK).
  virtual bool NetworkPresent() = 0;
  // On false both outputs are left as they were.
  virtual bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) = 0;
  virtual int QueryScreenWidth() = 0;
  virtual int QueryScreenHeight() = 0;
  virtual std::wstring QueryColorDepthText() = 0;
  virtual void GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) = 0;
  virtual std::wstring QueryWindowsDirectory() = 0;
  virtual std::wstring GetProductServerPath() = 0;
  virtual IDriveQuery& Drives() = 0;
  virtual ILocale& Locale() = 0;
};

}  // namespace sw
