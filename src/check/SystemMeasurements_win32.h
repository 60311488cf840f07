#pragma once
#include "check/AskedAhead.h"
#include "check/Measurements.h"
#include "sysquery/Locale_win32.h"

namespace sw {

// The drive questions of the running PC. Each may wait for a drive's server, so they
// are asked on the worker; the object holds nothing and may outlive any run.
class TWinDriveSystem : public IDriveSystem {
 public:
  bool KnowsRoot(const std::wstring& sRoot) override;
  // One GetDiskFreeSpaceExW call for both sizes: a drive that does not answer makes
  // each call wait for its time-out.
  bool GetDiskSpace(const std::wstring& sRoot, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes,
                    bool& bUnknownRoot) override;
  // GetVolumeInformationW, file-system name only, into 32 characters.
  std::wstring QueryFileSystemName(const std::wstring& sRoot) override;
  // HKEY_CURRENT_USER\Network\<letter>, RemotePath.
  std::wstring RememberedRemotePath(wchar_t cLetter) override;
  bool FileExists(const std::wstring& sPath) override;
};

// The fastest adapter that IP Helper reports; bFound false when none qualifies.
struct TAdapterSpeed {
  bool bFound = false;
  std::wstring sDescription;
  std::uint32_t nSpeed = 0;
};
// One pass over the interface table; safe on any thread.
TAdapterSpeed AskAdapterSpeed();

// The measurements of the running PC, forwarded to the system query library.
class TSystemMeasurements : public IMeasurements {
 public:
  // pAdapterAhead: the adapter speed asked on a worker for this run, if any.
  explicit TSystemMeasurements(TDriveQuestions& aDriveQuestions, TAskedAhead<TAdapterSpeed>* pAdapterAhead = nullptr)
      : FDriveQuestions(aDriveQuestions), FpAdapterAhead(pAdapterAhead) {}

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
  std::wstring ProductServerRegistration() override;
  std::shared_ptr<IDriveSystem> DriveSystem() override { return FpDrives; }
  TDriveQuestions& DriveQuestions() override { return FDriveQuestions; }
  bool RunsElevated() override;
  ILocale& Locale() override { return FLocale; }

 private:
  TWinLocale FLocale;
  TDriveQuestions& FDriveQuestions;
  TAskedAhead<TAdapterSpeed>* FpAdapterAhead;
  std::shared_ptr<TWinDriveSystem> FpDrives = std::make_shared<TWinDriveSystem>();
};

}  // namespace sw
