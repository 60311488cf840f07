#pragma once
// Test doubles for the requirements check: a machine that passes every requirement
// unless a test changes a field, a German locale and a drive table.
#include <cstdint>
#include <functional>
#include <map>
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

class TFakeDrives : public IDriveQuery {
 public:
  std::map<wchar_t, TFakeDrive> Drives;  // the letter exactly as asked for
  bool bThrow = false;
  // Every question that touches a drive, in order: sizes, file-system name, and the
  // product server's file (TFakeMeasurements).
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
  TFakeDrives FakeDrives;
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
  // Looking for the server's file touches the drive it is on.
  std::wstring GetProductServerPath() override {
    Hit("GetProductServerPath");
    if (sServer.size() > 1 && sServer[1] == L':') FakeDrives.Asked.push_back(sServer[0]);
    return sServer;
  }
  IDriveQuery& Drives() override { return FakeDrives; }
  ILocale& Locale() override { return FakeLocale; }

 private:
  void Hit(const char* sQuery) {
    if (OnQuery) OnQuery(sQuery);
  }
};

}  // namespace sw::test
