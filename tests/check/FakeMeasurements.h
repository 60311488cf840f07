#pragma once
// Test doubles for the requirements check: a machine that passes every requirement
// unless a test changes a field, a German locale and a drive table.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/Measurements.h"

namespace sw::test {

inline constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

// "." thousands, "," decimal, d.M.yyyy and HH:mm:ss, as Windows formats for de-DE.
class TGermanLocale : public ILocale {
 public:
  std::wstring DecimalSeparator() override { return L","; }
  std::wstring ThousandSeparator() override { return L"."; }
  std::wstring FormatShortDate(const TLocalTime& t) override {
    return std::to_wstring(t.Day) + L"." + std::to_wstring(t.Month) + L"." + std::to_wstring(t.Year);
  }
  std::wstring FormatLongTime(const TLocalTime& t) override {
    return Two(t.Hour) + L":" + Two(t.Minute) + L":" + Two(t.Second);
  }

 private:
  static std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }
};

struct TFakeDrive {
  std::int64_t nFree = 0, nTotal = 0;
  std::wstring sFileSystem = L"NTFS";
};

// Drives by letter, as the check's rating asks them (IDriveQuery) and as the worker
// asks the system (IDriveSystem). A letter not in Drives is known but does not answer,
// unless it is in Unknown.
class TFakeDrives : public IDriveQuery, public IDriveSystem {
 public:
  std::map<wchar_t, TFakeDrive> Drives;  // the letter exactly as asked for
  std::map<std::wstring, TFakeDrive> Shares;  // by root, "\\srv\share\"
  std::set<wchar_t> Unknown;                   // letters the system does not know
  std::map<wchar_t, std::wstring> Remembered;  // remembered network paths
  bool bThrow = false;
  // Every question that touches a drive, in order: sizes, file-system name, and the
  // product server's file; '\\' for a share.
  std::vector<wchar_t> Asked;

  bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFree, std::int64_t& nTotal) override {
    Asked.push_back(cLetter);
    if (bThrow) throw std::runtime_error("drive query failed");
    auto it = Drives.find(cLetter);
    if (it == Drives.end()) return false;
    nFree = it->second.nFree;
    nTotal = it->second.nTotal;
    return true;
  }
  std::wstring QueryFileSystemName(wchar_t cLetter) override {
    Asked.push_back(cLetter);
    auto it = Drives.find(cLetter);
    return it == Drives.end() ? L"???" : it->second.sFileSystem;
  }

  bool KnowsRoot(const std::wstring& sRoot) override { return !Unknown.count(sRoot[0]); }
  bool GetDiskSpace(const std::wstring& sRoot, std::int64_t& nFree, std::int64_t& nTotal, bool& bUnknown) override {
    bUnknown = Unknown.count(sRoot[0]) > 0;
    if (sRoot[0] != L'\\') return GetDiskSpace(sRoot[0], nFree, nTotal);
    Asked.push_back(L'\\');
    auto it = Shares.find(sRoot);
    if (it == Shares.end()) return false;
    nFree = it->second.nFree;
    nTotal = it->second.nTotal;
    return true;
  }
  std::wstring QueryFileSystemName(const std::wstring& sRoot) override {
    if (sRoot[0] != L'\\') return QueryFileSystemName(sRoot[0]);
    Asked.push_back(L'\\');
    auto it = Shares.find(sRoot);
    return it == Shares.end() ? L"???" : it->second.sFileSystem;
  }
  std::wstring RememberedRemotePath(wchar_t cLetter) override {
    auto it = Remembered.find(cLetter);
    return it == Remembered.end() ? L"" : it->second;
  }
  // Every file on a drive that answers exists.
  bool FileExists(const std::wstring& sPath) override {
    Asked.push_back(sPath[0]);
    return sPath[0] == L'\\' || Drives.count(sPath[0]) > 0;
  }
};

// Runs each question at once, or, with bHang, never: its drive does not answer.
class TFakeRunner : public IQuestionRunner {
 public:
  bool bHang = false;
  int nStarted = 0;
  std::vector<unsigned> Limits;  // of every wait

  std::shared_ptr<TQuestion> Start(std::function<void()> fnAsk) override {
    ++nStarted;
    auto q = std::make_shared<TFakeQuestion>();
    if (!bHang) {
      fnAsk();
      q->bDone = true;
    }
    return q;
  }
  bool Wait(TQuestion& q, unsigned nLimitMs) override {
    Limits.push_back(nLimitMs);
    return q.Done();
  }

 private:
  struct TFakeQuestion : TQuestion {
    bool bDone = false;
    bool Done() override { return bDone; }
  };
};

class TFakeMeasurements : public IMeasurements {
 public:
  bool b64Bit = true;
  TLocalTime Now{2026, 12, 8, 9, 5, 7};
  std::wstring sComputer = L"PRAXIS-PC", sRelease = L"Windows 7", sServicePack = L"SP1",
               sEdition = L"Professional";
  std::wstring sFreeRam = L"2048", sClock = L"2,40 GHz", sCpuId = L"x86 Family 6 Model 58 Stepping 9";
  bool bNetwork = true, bAdapter = true;
  std::wstring sAdapter = L"Intel(R) PRO/1000";
  std::uint32_t nSpeed = 1000000000u;
  int iWidth = 1280, iHeight = 1024;
  std::wstring sDepth = L"32-Bit, True Color";
  std::wstring sAisName, sAisMail, sAisPath;
  std::wstring sWinDir = L"C:\\windows";
  std::wstring sServer;
  bool bElevated = false;
  TFakeDrives FakeDrives;
  TFakeRunner Runner;
  TDriveQuestions Questions{Runner};
  TGermanLocale FakeLocale;
  // Called at the start of the named query; a test throws from here to fail it.
  std::function<void(const char*)> OnQuery;
  int iAdapterCalls = 0;

  TFakeMeasurements() { FakeDrives.Drives[L'C'] = {60 * kGiB, 100 * kGiB, L"NTFS"}; }

  bool RunsOn64BitWindows() override { return Hit("RunsOn64BitWindows"), b64Bit; }
  TLocalTime LocalNow() override { return Hit("LocalNow"), Now; }
  std::wstring QueryComputerName() override { return Hit("QueryComputerName"), sComputer; }
  std::wstring WindowsReleaseText() override { return Hit("WindowsReleaseText"), sRelease; }
  std::wstring ServicePackText() override { return Hit("ServicePackText"), sServicePack; }
  std::wstring WindowsEditionText() override { return Hit("WindowsEditionText"), sEdition; }
  std::wstring QueryFreeRamMB() override { return Hit("QueryFreeRamMB"), sFreeRam; }
  std::wstring QueryCpuClockText() override { return Hit("QueryCpuClockText"), sClock; }
  std::wstring QueryCpuIdentifier() override { return Hit("QueryCpuIdentifier"), sCpuId; }
  bool NetworkPresent() override { return Hit("NetworkPresent"), bNetwork; }
  bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nRate) override {
    Hit("GetNetworkAdapterSpeed");
    ++iAdapterCalls;
    if (!bAdapter) return false;
    sDescription = sAdapter;
    nRate = nSpeed;
    return true;
  }
  int QueryScreenWidth() override { return Hit("QueryScreenWidth"), iWidth; }
  int QueryScreenHeight() override { return Hit("QueryScreenHeight"), iHeight; }
  std::wstring QueryColorDepthText() override { return Hit("QueryColorDepthText"), sDepth; }
  void GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) override {
    Hit("GetAISInstallation");
    sName = sAisName;
    sMailTo = sAisMail;
    sPath = sAisPath;
  }
  std::wstring QueryWindowsDirectory() override { return Hit("QueryWindowsDirectory"), sWinDir; }
  std::wstring ProductServerRegistration() override { return Hit("ProductServerRegistration"), sServer; }
  // Not owned: the fake runner runs every question before the check ends.
  std::shared_ptr<IDriveSystem> DriveSystem() override { return {std::shared_ptr<void>(), &FakeDrives}; }
  TDriveQuestions& DriveQuestions() override { return Questions; }
  bool RunsElevated() override { return bElevated; }
  ILocale& Locale() override { return FakeLocale; }

 private:
  void Hit(const char* sQuery) {
    if (OnQuery) OnQuery(sQuery);
  }
};

}  // namespace sw::test
