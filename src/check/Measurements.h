#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "check/DriveQuestions.h"
#include "common/Locale.h"

namespace sw {

inline constexpr const wchar_t* kDriveUnreachable = L"Laufwerk nicht erreichbar!";

// Free and total bytes of a drive as GetDiskFreeSpaceExW reports them; false when the
// drive did not answer (the rating then reads it as unreachable).
class IDriveQuery {
 public:
  virtual ~IDriveQuery() = default;
  virtual bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) = 0;
  // File-system name of the drive, "???" when it cannot be read.
  virtual std::wstring QueryFileSystemName(wchar_t cLetter) = 0;
  // The rated value of a drive that gave no sizes.
  virtual std::wstring UnreachableText(wchar_t cLetter) { return kDriveUnreachable; }
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
  // The product server's registered file name, read from the registry alone: whether
  // the file exists is a question to its drive (IDriveSystem::FileExists).
  virtual std::wstring ProductServerRegistration() = 0;
  // The questions that touch a drive, shared with the worker that asks them: one that
  // does not answer in time runs on after the run.
  virtual std::shared_ptr<IDriveSystem> DriveSystem() = 0;
  // The program's drive questions across its runs.
  virtual TDriveQuestions& DriveQuestions() = 0;
  // The program runs with an elevated token (never on Windows XP, which has none).
  virtual bool RunsElevated() = 0;
  virtual ILocale& Locale() = 0;
};

}  // namespace sw
