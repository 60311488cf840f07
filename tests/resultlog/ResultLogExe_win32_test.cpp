// The result log with the real Sichtwerk.exe, one table of cases: what the file beside
// the exe holds after a start and what the pane shows of it, with bad files, a huge
// file and places where no log can be written. The rules of a run are proven against
// fakes (ResultLogRun), the file behaviour by the adapter (ResultLogFileWin32).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/SichtwerkProcess_win32.h"
#include "resultlog/LogTestSupport_win32.h"

using namespace sw::test;

namespace {

const std::wstring kLogName = L"Ergebnisse des Sichtwerks zur Pr\u00FCfung.log";

std::string Ansi(const std::wstring& s) {
  if (s.empty()) return {};
  const int cb = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(cb, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), cb, nullptr, nullptr);
  return out;
}

struct TFindDialog {
  DWORD dwPid;
  int nFound;
};
BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lParam) {
  auto* f = reinterpret_cast<TFindDialog*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t sClass[64] = L"";
  ::GetClassNameW(hwnd, sClass, 64);
  if (pid == f->dwPid && ::IsWindowVisible(hwnd) && wcscmp(sClass, L"#32770") == 0) ++f->nFound;
  return TRUE;
}

// A run whose log entry could not be written says so, without a box.
constexpr const wchar_t* kStatusNotLogged = L"Informationen gesammelt, Protokoll nicht gespeichert.";

// One start of a copy in sFolder (the exe copied from sSource when given): waits for
// the report and its status, checks that no message box came up, closes. Returns the
// pane text.
std::wstring RunOnce(const std::wstring& sFolder, const std::wstring& sSource = L"",
                     const wchar_t* sStatus = kStatusDone) {
  TSichtwerkProcess app;
  if (!app.Start(sFolder, {}, 30000, sSource)) {
    ADD_FAILURE() << "no start in " << ToUtf8(sFolder);
    return L"<no start>";
  }
  EXPECT_TRUE(app.WaitForStatus(sStatus, 60000)) << "the run must end with its status, not " << ToUtf8(app.Status());
  const std::wstring s = app.PaneText();
  TFindDialog f{app.ProcessId(), 0};
  ::EnumWindows(&FindDialogProc, reinterpret_cast<LPARAM>(&f));
  EXPECT_EQ(f.nFound, 0) << "no message box";
  DWORD dwExit = 0xdeadbeef;
  EXPECT_TRUE(app.Close(&dwExit));
  EXPECT_EQ(dwExit, 0u);
  return s;
}

// This run's report: the pane text up to where the history begins.
std::wstring ReportPart(const std::wstring& sPane, const std::wstring& sHistoryStart) {
  const auto p = sPane.find(sHistoryStart);
  return p == std::wstring::npos ? L"<history not found>" : sPane.substr(0, p);
}

bool StartsWithReport(const std::wstring& s) { return s.rfind(L"----- Check gestartet: ", 0) == 0; }

std::string TailOf(const std::wstring& sPath, std::size_t cb, unsigned long long& cbFile) {
  cbFile = 0;
  HANDLE h = ::CreateFileW(sPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  LARGE_INTEGER size{};
  ::GetFileSizeEx(h, &size);
  cbFile = static_cast<unsigned long long>(size.QuadPart);
  if (cb > cbFile) cb = static_cast<std::size_t>(cbFile);
  LARGE_INTEGER pos{};
  pos.QuadPart = size.QuadPart - static_cast<LONGLONG>(cb);
  ::SetFilePointerEx(h, pos, nullptr, FILE_BEGIN);
  std::string s(cb, '\0');
  DWORD got = 0;
  ::ReadFile(h, s.data(), static_cast<DWORD>(cb), &got, nullptr);
  ::CloseHandle(h);
  s.resize(got);
  return s;
}

// Where a case runs the exe: a scratch folder, the read-only mount or the small drive.
enum class TPlace { Scratch, ReadOnly, SmallDrive };

struct TCase {
  std::string sName;
  TPlace Place;
  // sDir: the folder the exe runs in; sSource: where its copy comes from ("" = build).
  std::function<void(const std::wstring& sDir, const std::wstring& sSource)> Run;
};

void FirstStart(const std::wstring& sDir, const std::wstring&) {
  const std::wstring sPane = RunOnce(sDir);
  ASSERT_TRUE(StartsWithReport(sPane));
  // The pane: report, then the closing empty line; the file: the report and one
  // further CR LF, which is the same text in the ANSI code page.
  ASSERT_GE(sPane.size(), 4u);
  EXPECT_EQ(sPane.substr(sPane.size() - 4), L"\r\n\r\n");
  const std::string sFile = ReadFileBytes(sDir + L"\\" + kLogName);
  EXPECT_TRUE(sFile == Ansi(sPane)) << ToUtf8(sPane);
  // "müssen" of the colour line: ü as the one byte 0xFC, never UTF-8.
  ASSERT_NE(sPane.find(L"m\u00FCssen"), std::wstring::npos);
  EXPECT_NE(sFile.find("m\xFCssen"), std::string::npos);
  EXPECT_EQ(sFile.find("\xC3\xBC"), std::string::npos);
}

void SecondStart(const std::wstring& sDir, const std::wstring&) {
  const std::wstring sFirst = RunOnce(sDir);
  const std::wstring sSecond = RunOnce(sDir);
  // Second pane: new report, the first run's block (its lines and its empty line),
  // the closing empty line.
  ASSERT_GT(sSecond.size(), sFirst.size() + 2);
  const std::wstring sReport2 = sSecond.substr(0, sSecond.size() - sFirst.size() - 2);
  EXPECT_TRUE(StartsWithReport(sReport2));
  EXPECT_EQ(sSecond.substr(sReport2.size()), sFirst + L"\r\n");
  EXPECT_NE(sReport2, sFirst.substr(0, sFirst.size() - 2)) << "another start time";
  EXPECT_TRUE(ReadFileBytes(sDir + L"\\" + kLogName) == Ansi(sFirst) + Ansi(sReport2) + "\r\n");
}

// A bad log in place: shown below the new report as sShown, kept whole in front of the
// one new block.
void BadLog(const std::wstring& sDir, const std::string& sOld, const std::wstring& sShown) {
  const std::wstring sLog = sDir + L"\\" + kLogName;
  ASSERT_TRUE(WriteFileBytes(sLog, sOld));
  const std::wstring sPane = RunOnce(sDir);
  ASSERT_TRUE(StartsWithReport(sPane));
  // The report is the first block of text up to the history; the file gets only it.
  const std::string sAfter = ReadFileBytes(sLog);
  ASSERT_GT(sAfter.size(), sOld.size());
  EXPECT_TRUE(sAfter.compare(0, sOld.size(), sOld) == 0) << "what was in the file stays";
  const std::string sBlock = sAfter.substr(sOld.size());
  ASSERT_GE(sBlock.size(), 4u);
  EXPECT_EQ(sBlock.substr(sBlock.size() - 4), "\r\n\r\n");
  const std::wstring sReport = sPane.substr(0, std::min(sPane.size(), sBlock.size() - 2));
  EXPECT_TRUE(Ansi(sReport) + "\r\n" == sBlock) << "the block is this run's report only";
  EXPECT_EQ(sPane.substr(sReport.size()), sShown + L"\r\n") << ToUtf8(sPane.substr(sReport.size()));
}

void LogOf500MB(const std::wstring& sDir, const std::wstring&) {
  const std::wstring sLog = sDir + L"\\" + kLogName;
  // Numbered lines for the first MB, then a hole up to 500 MB (NUL bytes, quick).
  std::string sHead;
  for (int i = 0; sHead.size() < (1u << 20); ++i) {
    char buf[32];
    snprintf(buf, sizeof buf, "Zeile %06d\r\n", i);
    sHead += buf;
  }
  ASSERT_TRUE(WriteFileBytes(sLog, sHead));
  {
    HANDLE h = ::CreateFileW(sLog.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER pos{};
    pos.QuadPart = 500ll << 20;
    EXPECT_TRUE(::SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) && ::SetEndOfFile(h));
    ::CloseHandle(h);
  }
  const std::wstring sPane = RunOnce(sDir);
  unsigned long long cbFile = 0;
  const std::string sTail = TailOf(sLog, 200000, cbFile);
  const std::wstring sReport = ReportPart(sPane, L"Zeile 000000\r\n");
  const std::string sBlock = Ansi(sReport) + "\r\n";
  EXPECT_EQ(cbFile, (500ull << 20) + sBlock.size());
  EXPECT_TRUE(sTail.size() >= sBlock.size() && sTail.substr(sTail.size() - sBlock.size()) == sBlock);
  ::DeleteFileW(sLog.c_str());

  // History: numbered lines from the first on, as many as the pane holds.
  std::wstring sHistory = sPane.substr(sReport.size());
  ASSERT_GE(sHistory.size(), 14u);
  int nLines = 0;
  for (std::size_t p = 0; p + 14 <= sHistory.size() && sHistory.compare(p, 6, L"Zeile ") == 0; p += 14) {
    wchar_t buf[32];
    swprintf(buf, 32, L"Zeile %06d\r\n", nLines);
    ASSERT_EQ(sHistory.substr(p, 14), buf);
    ++nLines;
  }
  // The pane counts one character per line end: the report and the lines shown fit
  // into 65536, one line more would not.
  std::size_t nReportCost = 0;
  for (std::size_t i = 0; i < sReport.size(); ++i)
    if (sReport[i] != L'\n') ++nReportCost;
  EXPECT_LE(nReportCost + 13u * nLines, 65536u);
  EXPECT_GT(nReportCost + 13u * (nLines + 1), 65536u);
}

// A log place the exe can neither read nor write (Block makes it so, Unblock undoes it
// after the run and checks it is as before): the report alone, no history.
void UnusableLog(const std::wstring& sDir, const std::function<bool(const std::wstring&)>& Block,
                 const std::function<bool(const std::wstring&)>& Unblock) {
  const std::wstring sLog = sDir + L"\\" + kLogName;
  ASSERT_TRUE(Block(sLog));
  const std::wstring sPane = RunOnce(sDir, L"", kStatusNotLogged);
  EXPECT_TRUE(Unblock(sLog)) << "the place is as it was";
  EXPECT_TRUE(StartsWithReport(sPane));
  EXPECT_EQ(sPane.find(L"alt\r\n"), std::wstring::npos) << "no history from a place we cannot read";
  EXPECT_EQ(sPane.substr(sPane.size() - 4), L"\r\n\r\n");
}

void LockedLog(const std::wstring& sDir, const std::wstring&) {
  HANDLE hLock = INVALID_HANDLE_VALUE;
  UnusableLog(
      sDir,
      [&](const std::wstring& sLog) {
        if (!WriteFileBytes(sLog, "alt\r\n\r\n")) return false;
        hLock = ::CreateFileW(sLog.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return hLock != INVALID_HANDLE_VALUE;
      },
      [&](const std::wstring& sLog) { return ::CloseHandle(hLock) && ReadFileBytes(sLog) == "alt\r\n\r\n"; });
}

void FolderInPlaceOfTheLog(const std::wstring& sDir, const std::wstring&) {
  UnusableLog(
      sDir, [](const std::wstring& sLog) { return ::CreateDirectoryW(sLog.c_str(), nullptr) != FALSE; },
      [](const std::wstring& sLog) {
        const DWORD dw = ::GetFileAttributesW(sLog.c_str());
        return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY) && ::RemoveDirectoryW(sLog.c_str());
      });
}

// sDir: the exe's folder as the read-only mount shows it; sSource: the same folder
// through its writable source.
void ReadOnlyFolder(const std::wstring& sDir, const std::wstring& sSource) {
  ASSERT_TRUE(Exists(sDir + L"\\Sichtwerk.exe"));
  const std::wstring sPane = RunOnce(sDir, sDir, kStatusNotLogged);
  EXPECT_TRUE(StartsWithReport(sPane));
  EXPECT_FALSE(Exists(sDir + L"\\" + kLogName));
  EXPECT_FALSE(Exists(sSource + L"\\" + kLogName));
}

// The byte-level proof is the adapter's; the exe adds that the report and the history
// still show and that the file is as before.
void DiskFull(const std::wstring& sDir, const std::wstring&) {
  const std::wstring sLog = sDir + L"\\" + kLogName;
  // Exactly one page of tmpfs, so that the block cannot slip into the slack of the
  // log's last page.
  const std::string sOld = std::string(4080, '-') + "\r\nalter Lauf\r\n\r\n";
  ASSERT_EQ(sOld.size(), 4096u);
  ASSERT_TRUE(WriteFileBytes(sLog, sOld));
  ASSERT_TRUE(FillDrive(sDir + L"\\fill"));
  const std::wstring sPane = RunOnce(sDir, sDir, kStatusNotLogged);
  EXPECT_TRUE(StartsWithReport(sPane));
  EXPECT_NE(sPane.find(L"\r\nalter Lauf\r\n\r\n"), std::wstring::npos) << "the history is still shown";
  const std::string sAfter = ReadFileBytes(sLog);
  EXPECT_TRUE(sAfter == sOld) << "a piece of " << sAfter.size() - sOld.size() << " bytes";
}

// Whole blocks under many writers are the adapter's proof; the exe adds two processes
// of one exe file reading and writing the same log at about the same time.
void TwoCopiesTogether(const std::wstring& sDir, const std::wstring&) {
  const std::wstring sLog = sDir + L"\\" + kLogName;
  const std::string sOld = "ALTER LAUF\r\n\r\n";
  ASSERT_TRUE(WriteFileBytes(sLog, sOld));
  TSichtwerkProcess a, b;
  ASSERT_TRUE(a.Start(sDir));
  ASSERT_TRUE(b.Start(sDir, {}, 30000, sDir));  // the same exe file, a second process
  ASSERT_TRUE(a.WaitForReport());
  ASSERT_TRUE(b.WaitForReport());
  const std::wstring sA = ReportPart(a.PaneText(), L"ALTER LAUF\r\n");
  const std::wstring sB = ReportPart(b.PaneText(), L"ALTER LAUF\r\n");
  EXPECT_TRUE(a.Close());
  EXPECT_TRUE(b.Close());
  ASSERT_TRUE(StartsWithReport(sA));
  ASSERT_TRUE(StartsWithReport(sB));
  const std::string sBlockA = Ansi(sA) + "\r\n", sBlockB = Ansi(sB) + "\r\n";
  const std::string sFile = ReadFileBytes(sLog);
  EXPECT_TRUE(sFile == sOld + sBlockA + sBlockB || sFile == sOld + sBlockB + sBlockA) << sFile;
}

std::vector<TCase> Cases() {
  std::vector<TCase> v = {
      {"first start: the file beside the exe, one block in ANSI", TPlace::Scratch, FirstStart},
      {"second start: the first run below the new one", TPlace::Scratch, SecondStart},
      {"log of 500 MB: its head shown, one block appended", TPlace::Scratch, LogOf500MB},
      {"log locked exclusively by another process", TPlace::Scratch, LockedLog},
      {"log name taken by a folder", TPlace::Scratch, FolderInPlaceOfTheLog},
      {"read-only folder: the report and no file", TPlace::ReadOnly, ReadOnlyFolder},
      {"disk full during the append: report, history, file as before", TPlace::SmallDrive, DiskFull},
      {"two copies started together each leave a whole block", TPlace::Scratch, TwoCopiesTogether},
  };
  const std::string k10MB(10u << 20, 'x');
  const struct {
    const char* sName;
    std::string sFile;
    std::wstring sShown;  // what the pane shows below the new report
  } bad[] = {
      {"UTF-8 mark, then invalid UTF-8", "\xEF\xBB\xBF" "gr\xC3\xBCn \xFF\xC3 kaputt\r\n", L"gr\u00FCn \uFFFD\uFFFD kaputt\r\n"},
      {"UTF-16 LE of odd length", std::string("\xFF\xFE" "a\0b\0\r\0\n\0c", 11), L"ab\r\n\uFFFD\r\n"},
      {"UTF-16 BE", std::string("\xFE\xFF\0a\0\xFC", 6), L"a\u00FC\r\n"},
      {"a mark and nothing else", "\xEF\xBB\xBF", L""},
      {"NUL bytes", std::string("a\0b\r\n\0\r\n", 8), L"a b\r\n \r\n"},
      {"lone CR and lone LF", "eins\rzwei\ndrei", L"eins\r\nzwei\r\ndrei\r\n"},
      {"no mark is ANSI", "Pr\xFC" "fung alt\r\n", L"Pr\u00FCfung alt\r\n"},
      {"one line of 10 MB", k10MB, L""},
      {"a short line, then one of 10 MB", "vorher\r\n" + k10MB + "\r\nnachher\r\n", L"vorher\r\n"},
  };
  for (const auto& b : bad)
    v.push_back({std::string("bad log, shown and kept whole: ") + b.sName, TPlace::Scratch,
                 [sFile = b.sFile, sShown = b.sShown](const std::wstring& sDir, const std::wstring&) {
                   BadLog(sDir, sFile, sShown);
                 }});
  return v;
}

}  // namespace

TEST(ResultLogExe, EveryCaseGivesTheReportAndTheRightLog) {
  const TLogMounts m = TLogMounts::Get();
  int nSkipped = 0;
  int nCase = 0;
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.sName);
    ++nCase;
    switch (c.Place) {
      case TPlace::Scratch: {
        const std::wstring sDir = ScratchFolder(L"log-" + std::to_wstring(nCase));
        ASSERT_FALSE(sDir.empty());
        c.Run(sDir, L"");
        break;
      }
      case TPlace::ReadOnly:
      case TPlace::SmallDrive: {
        // The exe is copied in through the writable side of the mount.
        const bool bReadOnly = c.Place == TPlace::ReadOnly;
        if ((bReadOnly ? m.sReadOnly : m.sSmallDrive).empty()) {
          ++nSkipped;
          break;
        }
        TScratchDir dir(bReadOnly ? m.sReadOnlySource : m.sSmallDrive + L"\\");
        ASSERT_FALSE(dir.Path().empty());
        ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\Sichtwerk.exe").c_str(), (dir / L"Sichtwerk.exe").c_str(), FALSE));
        const std::wstring sRunDir = bReadOnly ? m.sReadOnly + dir.Path().substr(dir.Path().rfind(L'\\')) : dir.Path();
        c.Run(sRunDir, dir.Path());
        break;
      }
    }
  }
  if (nSkipped) GTEST_SKIP() << nSkipped << " case(s) without their mount (tests/resultlog/mounts.sh needs root)";
}
