// The result log inside whole collection runs: the order of taking the report,
// copying the history and writing the block.
#include <gtest/gtest.h>

#include "app/CollectionRun.h"
#include "report/MemoryPane.h"
#include "resultlog/ResultLogFakes.h"

using namespace sw;
using sw::test::TCp1252;
using sw::test::TFakeLogFile;

namespace {

class TFixedLocale : public ILocale {
 public:
  std::wstring DecimalSeparator() override { return L","; }
  std::wstring ThousandSeparator() override { return L"."; }
  std::wstring FormatShortDate(const TLocalTime& t) override {
    return std::to_wstring(t.Day) + L"." + std::to_wstring(t.Month) + L"." + std::to_wstring(t.Year);
  }
  std::wstring FormatLongTime(const TLocalTime& t) override {
    return std::to_wstring(t.Hour) + L":" + std::to_wstring(t.Minute) + L":" + std::to_wstring(t.Second);
  }
};

class TFixedDrives : public IDriveSystem {
 public:
  bool KnowsRoot(const std::wstring&) override { return true; }
  bool GetDiskSpace(const std::wstring&, std::int64_t& nFree, std::int64_t& nTotal, bool&) override {
    nFree = nTotal = std::int64_t(50) << 30;
    return true;
  }
  std::wstring QueryFileSystemName(const std::wstring&) override { return L"NTFS"; }
  std::wstring RememberedRemotePath(wchar_t) override { return L""; }
  bool FileExists(const std::wstring&) override { return false; }
};

// Each question answered at once.
class TInPlaceRunner : public IQuestionRunner {
 public:
  std::shared_ptr<TQuestion> Start(std::function<void()> fnAsk) override {
    fnAsk();
    return std::make_shared<TDone>();
  }
  bool Wait(TQuestion&, unsigned) override { return true; }

 private:
  struct TDone : TQuestion {
    bool Done() override { return true; }
  };
};

// Fixed answers; the computer name carries an umlaut so that the ANSI write shows.
class TFixedMeasurements : public IMeasurements {
 public:
  int nMinute = 0;
  bool RunsOn64BitWindows() override { return true; }
  TLocalTime LocalNow() override { return {2026, 12, 8, 6, nMinute, 0}; }
  std::wstring QueryComputerName() override { return L"PRAXIS-MÜLLER"; }
  std::wstring WindowsReleaseText() override { return L"Windows 7"; }
  std::wstring ServicePackText() override { return L"Service Pack 1"; }
  std::wstring WindowsEditionText() override { return L"Professional"; }
  std::wstring QueryFreeRamMB() override { return L"4096"; }
  std::wstring QueryCpuClockText() override { return L"3000"; }
  std::wstring QueryCpuIdentifier() override { return L"x86 Family 6"; }
  bool NetworkPresent() override { return true; }
  bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed) override {
    sDescription = L"Netz";
    nSpeed = 1000000000;
    return true;
  }
  int QueryScreenWidth() override { return 1280; }
  int QueryScreenHeight() override { return 1024; }
  std::wstring QueryColorDepthText() override { return L"32"; }
  void GetAISInstallation(std::wstring& sName, std::wstring& sMailTo, std::wstring& sPath) override {
    sName.clear(), sMailTo.clear(), sPath.clear();
  }
  std::wstring QueryWindowsDirectory() override { return L"C:\\Windows"; }
  std::wstring ProductServerRegistration() override { return L""; }
  std::shared_ptr<IDriveSystem> DriveSystem() override { return FpDrives; }
  TDriveQuestions& DriveQuestions() override { return FQuestions; }
  bool RunsElevated() override { return false; }
  ILocale& Locale() override { return FLocale; }

 private:
  std::shared_ptr<TFixedDrives> FpDrives = std::make_shared<TFixedDrives>();
  TInPlaceRunner FRunner;
  TDriveQuestions FQuestions{FRunner};
  TFixedLocale FLocale;
};

class TQuietUi : public IRunUi {
 public:
  void ShowWaitCursor() override {}
  void RestoreCursor() override {}
  void SetStatus(const std::wstring& s) override { sStatus = s; }
  void ProcessMessages() override {}
  std::wstring sStatus;
};

struct TRig {
  TMemoryPane Pane;
  TFixedMeasurements Measure;
  TFakeLogFile Log;
  TCp1252 CodePage;
  TQuietUi Ui;
  TCollectionRun Run;
  std::wstring sMail;

  // Runs once; returns the report part of the pane (before the history).
  std::wstring RunOnce() {
    TRunServices s{Pane, Measure, Log, CodePage, Ui};
    EXPECT_TRUE(Run.Run(s, sMail));
    ++Measure.nMinute;
    return Pane.Text();
  }
};

std::size_t Count(const std::string& s, const std::string& sPart) {
  std::size_t n = 0;
  for (auto p = s.find(sPart); p != std::string::npos; p = s.find(sPart, p + 1)) ++n;
  return n;
}

}  // namespace

TEST(ResultLogRun, FirstRunWritesExactlyOneBlockAndShowsNoHistory) {
  TRig r;
  r.Log.bExists = false;
  r.RunOnce();
  ASSERT_GT(r.Pane.LineCount(), 3);
  std::wstring sReport = r.Pane.Text();
  // The pane ends with the one closing empty line; without it, it is the report.
  ASSERT_EQ(r.Pane.Line(r.Pane.LineCount() - 1), L"");
  sReport.resize(sReport.size() - 2);
  EXPECT_EQ(r.Log.sFile, r.CodePage.ToAnsi(sReport) + "\r\n");
  EXPECT_EQ(Count(r.Log.sFile, "PRAXIS-M\xDC" "LLER"), 1u) << "Ü is one cp1252 byte";
  EXPECT_EQ(r.Log.nAppends, 1);
  EXPECT_EQ(r.Ui.sStatus, kStatusCollected);
}

TEST(ResultLogRun, LaterRunsShowEarlierBlocksOnceAndNeverWriteThem) {
  TRig r;
  r.RunOnce();
  const int nFirst = r.Pane.LineCount() - 1;  // report lines of run 1
  std::vector<std::wstring> first;
  for (int i = 0; i < nFirst; ++i) first.push_back(r.Pane.Line(i));
  const std::string sBlock1 = r.Log.sFile;

  r.RunOnce();
  // Pane: new report, then run 1's lines and its separating empty line, then the
  // closing empty line.
  ASSERT_EQ(r.Pane.LineCount(), 2 * nFirst + 2);
  EXPECT_NE(r.Pane.Line(0), first[0]) << "the new report (another start time) comes first";
  for (int i = 0; i < nFirst; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.Pane.Line(nFirst + i), first[i]);
  }
  EXPECT_EQ(r.Pane.Line(2 * nFirst), L"");
  EXPECT_EQ(r.Pane.Line(2 * nFirst + 1), L"");
  // File: block 1 unchanged in front, block 2 of the same size (only the report).
  ASSERT_EQ(r.Log.sFile.size(), 2 * sBlock1.size());
  EXPECT_EQ(r.Log.sFile.substr(0, sBlock1.size()), sBlock1);

  r.RunOnce();
  // Each start line stands once in the file and once in the pane.
  EXPECT_EQ(r.Log.nAppends, 3);
  EXPECT_EQ(Count(r.Log.sFile, "----- Check gestartet"), 3u);
  const std::wstring sPane = r.Pane.Text();
  for (const wchar_t* sMinute : {L"6:0:0", L"6:1:0", L"6:2:0"}) {
    SCOPED_TRACE(sMinute);
    const std::wstring sKey = std::wstring(L" ") + sMinute + L" -----";
    const auto p = sPane.find(sKey);
    ASSERT_NE(p, std::wstring::npos);
    EXPECT_EQ(sPane.find(sKey, p + 1), std::wstring::npos) << "a report shown twice";
  }
}

TEST(ResultLogRun, UnusableLogDoesNotDisturbTheRun) {
  TRig r;
  r.Log.bExists = r.Log.bCreatable = false;
  r.RunOnce();
  EXPECT_EQ(r.Log.nAppends, 0);
  EXPECT_EQ(r.Ui.sStatus, kStatusLogNotSaved);
  EXPECT_EQ(r.Pane.Line(r.Pane.LineCount() - 1), L"");
}
