// The log file adapter against the real file system of the Wine prefix.
#include "resultlog/ResultLogFile_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "resultlog/LogTestSupport_win32.h"
#include "win32/ModuleFile_win32.h"

using namespace sw;
using namespace sw::test;

namespace {

const std::string kJunk(7, '\xBD');

std::string Head(TResultLogFileWin32& log, std::size_t cbMax, bool& bTruncated, bool& bOk) {
  std::string s = kJunk;
  bTruncated = true;
  bOk = log.ReadHead(cbMax, s, bTruncated);
  return s;
}

}  // namespace

TEST(ResultLogFileWin32, DefaultPathIsTheLogBesideTheExe) {
  wchar_t buf[MAX_PATH * 4];
  const DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 4);
  ASSERT_GT(n, 0u);
  const std::wstring sExe(buf, n);
  EXPECT_EQ(ExePathW(), sExe);
  TResultLogFileWin32 log;
  EXPECT_EQ(log.Path(), sExe.substr(0, sExe.rfind(L'\\') + 1) + L"Ergebnisse des Sichtwerks zur Pr\u00FCfung.log");
}

TEST(ResultLogFileWin32, FolderOfKeepsTheSeparator) {
  EXPECT_EQ(FolderOf(L"C:\\a b\\x.exe"), L"C:\\a b\\");
  EXPECT_EQ(FolderOf(L"\\\\srv\\share\\x.exe"), L"\\\\srv\\share\\");
  EXPECT_EQ(FolderOf(L"x.exe"), L"");
}

TEST(ResultLogFileWin32, EnsureExistsCreatesEmptyUnderTheUmlautNameAndNeverTruncates) {
  TScratchDir dir;
  ASSERT_FALSE(dir.Path().empty());
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_FALSE(Exists(log.Path()));
  ASSERT_TRUE(log.EnsureExists());
  EXPECT_EQ(ReadFileBytes(log.Path()), "");
  // The name on disk carries the wide ü, not a code-page guess.
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((dir / L"Ergebnisse*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(fd.cFileName, L"Ergebnisse des Sichtwerks zur Pr\u00FCfung.log");
  EXPECT_FALSE(::FindNextFileW(h, &fd)) << "exactly one file";
  ::FindClose(h);

  ASSERT_TRUE(WriteFileBytes(log.Path(), "alt\r\n"));
  EXPECT_TRUE(log.EnsureExists());
  EXPECT_EQ(ReadFileBytes(log.Path()), "alt\r\n");
}

TEST(ResultLogFileWin32, FolderInPlaceOfTheLogFailsEveryOperation) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(::CreateDirectoryW(log.Path().c_str(), nullptr));
  EXPECT_FALSE(log.EnsureExists());
  bool bTruncated, bOk;
  Head(log, 100, bTruncated, bOk);
  EXPECT_FALSE(bOk);
  EXPECT_FALSE(log.Append("x\r\n"));
  EXPECT_TRUE(::GetFileAttributesW(log.Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ResultLogFileWin32, MissingFolderFailsEveryOperation) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / L"fehlt\\" + kResultLogName);
  EXPECT_FALSE(log.EnsureExists());
  EXPECT_FALSE(log.Append("x"));
  EXPECT_FALSE(Exists(dir / L"fehlt"));
}

TEST(ResultLogFileWin32, AppendAddsTheBytesAtTheEnd) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(log.EnsureExists());
  const std::string sBig(10u << 20, 'g');
  const std::string sBinary("\0\xFC\r\n\xFF", 5);
  EXPECT_TRUE(log.Append("eins\r\n\r\n"));
  EXPECT_TRUE(log.Append(sBinary));
  EXPECT_TRUE(log.Append(sBig));
  EXPECT_TRUE(log.Append(""));
  EXPECT_TRUE(ReadFileBytes(log.Path()) == "eins\r\n\r\n" + sBinary + sBig);
}

TEST(ResultLogFileWin32, ReadHeadStopsAtTheLimitAndTellsWhetherMoreFollows) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  std::string sFile;
  for (int i = 0; i < 300000; ++i) sFile += static_cast<char>('a' + i % 26);
  ASSERT_TRUE(WriteFileBytes(log.Path(), sFile));
  struct TRow {
    std::size_t cbMax;
    std::size_t cbExpected;
    bool bTruncated;
  } rows[] = {{0, 0, true}, {1, 1, true}, {299999, 299999, true}, {300000, 300000, false},
              {300001, 300000, false}, {std::size_t(-1), 300000, false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.cbMax);
    bool bTruncated, bOk;
    const std::string s = Head(log, r.cbMax, bTruncated, bOk);
    ASSERT_TRUE(bOk);
    EXPECT_EQ(bTruncated, r.bTruncated);
    EXPECT_TRUE(s == sFile.substr(0, r.cbExpected));
  }
}

TEST(ResultLogFileWin32, EditorHoldingTheFileDoesNotStopUs) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(WriteFileBytes(log.Path(), "alt\r\n"));
  // The way editors keep a file open: read and write, sharing read and write.
  HANDLE hEditor = ::CreateFileW(log.Path().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hEditor, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(log.EnsureExists());
  bool bTruncated, bOk;
  EXPECT_EQ(Head(log, 100, bTruncated, bOk), "alt\r\n");
  EXPECT_TRUE(bOk);
  EXPECT_TRUE(log.Append("neu\r\n"));
  // A second copy of the tool has the file open for appending at the same time.
  TResultLogFileWin32 second(log.Path());
  EXPECT_TRUE(second.Append("zwei\r\n"));
  ::CloseHandle(hEditor);
  EXPECT_EQ(ReadFileBytes(log.Path()), "alt\r\nneu\r\nzwei\r\n");
}

TEST(ResultLogFileWin32, ExclusivelyLockedLogFailsQuietlyAndKeepsItsContent) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(WriteFileBytes(log.Path(), "alt\r\n"));
  ::SetLastError(0xdeadbeef);
  HANDLE hLock = ::CreateFileW(log.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(log.EnsureExists()) << "the file is there, only not ours to open";
  bool bTruncated, bOk;
  Head(log, 100, bTruncated, bOk);
  EXPECT_FALSE(bOk);
  EXPECT_FALSE(log.Append("neu\r\n"));
  ::CloseHandle(hLock);
  EXPECT_EQ(ReadFileBytes(log.Path()), "alt\r\n");
}

TEST(ResultLogFileWin32, ConcurrentAppendsLeaveWholeBlocks) {
  TScratchDir dir;
  const std::wstring sPath = dir / kResultLogName;
  ASSERT_TRUE(TResultLogFileWin32(sPath).EnsureExists());
  constexpr int kWriters = 4, kBlocks = 25;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([w, &sPath] {
      TResultLogFileWin32 log(sPath);  // a handle of its own per append, as in a copy of the tool
      for (int b = 0; b < kBlocks; ++b)
        log.Append(std::string(50000 + 7919 * b, static_cast<char>('A' + w)) + "\r\n\r\n");
    });
  }
  for (auto& t : writers) t.join();
  const std::string s = ReadFileBytes(sPath);
  // Walk the blocks: each is one letter repeated, then CR LF CR LF.
  int nBlocks[kWriters] = {};
  std::size_t p = 0;
  while (p < s.size()) {
    const char c = s[p];
    ASSERT_GE(c, 'A');
    ASSERT_LT(c, 'A' + kWriters);
    const std::size_t e = s.find("\r\n\r\n", p);
    ASSERT_NE(e, std::string::npos);
    ASSERT_EQ(s.find_first_not_of(c, p), e) << "block at " << p << " mixes writers";
    const int w = c - 'A';
    EXPECT_EQ(e - p, 50000u + 7919u * nBlocks[w]) << "blocks of one writer keep their order";
    ++nBlocks[w];
    p = e + 4;
  }
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(nBlocks[w], kBlocks);
}

TEST(ResultLogFileWin32, AppendWaitsForTheWriterLockOfAnotherCopy) {
  TScratchDir dir;
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(WriteFileBytes(log.Path(), "alt\r\n"));
  // The byte every copy locks while it appends (a contract between running copies).
  HANDLE hOther = ::CreateFileW(log.Path().c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hOther, INVALID_HANDLE_VALUE);
  OVERLAPPED ov{};
  ov.OffsetHigh = 0x7FFFFFFF;
  ASSERT_TRUE(::LockFileEx(hOther, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov));
  // The writer tells when it calls Append, and whether the lock was still held when
  // Append returned.
  std::atomic<bool> bUnlocked{false};
  std::promise<void> calling;
  std::promise<bool> returnedAfterUnlock;
  bool bAppended = false;
  std::thread writer([&] {
    calling.set_value();
    bAppended = log.Append("neu\r\n");
    returnedAfterUnlock.set_value(bUnlocked.load());
  });
  EXPECT_EQ(calling.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  auto done = returnedAfterUnlock.get_future();
  // Append must not come back while the lock is held: a return within the grace time
  // fails at once.
  EXPECT_EQ(done.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
      << "Append returned while another copy holds the lock";
  EXPECT_EQ(ReadFileBytes(log.Path()), "alt\r\n") << "written while another copy holds the lock";
  bUnlocked = true;
  EXPECT_TRUE(::UnlockFileEx(hOther, 0, 1, 0, &ov));
  EXPECT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "Append still waits after the unlock";
  writer.join();
  EXPECT_TRUE(done.get()) << "Append returned before the unlock";
  ::CloseHandle(hOther);
  EXPECT_TRUE(bAppended);
  EXPECT_EQ(ReadFileBytes(log.Path()), "alt\r\nneu\r\n");
}

TEST(ResultLogFileWin32, ReadOnlyFolderCreatesNothingAndWritesNothing) {
  const TLogMounts m = TLogMounts::Get();
  if (m.sReadOnly.empty()) GTEST_SKIP() << "no read-only mount (tests/resultlog/mounts.sh needs root)";
  TScratchDir src(m.sReadOnlySource);
  const std::wstring sName = src.Path().substr(src.Path().rfind(L'\\') + 1);
  const std::wstring sRo = m.sReadOnly + L"\\" + sName;
  TResultLogFileWin32 missing(sRo + L"\\" + kResultLogName);
  EXPECT_FALSE(missing.EnsureExists());
  EXPECT_FALSE(missing.Append("x"));
  EXPECT_FALSE(Exists(missing.Path()));

  ASSERT_TRUE(WriteFileBytes(src / L"alt.log", "alt\r\n"));
  TResultLogFileWin32 present(sRo + L"\\alt.log");
  EXPECT_TRUE(present.EnsureExists());
  bool bTruncated, bOk;
  EXPECT_EQ(Head(present, 100, bTruncated, bOk), "alt\r\n");
  EXPECT_TRUE(bOk);
  EXPECT_FALSE(present.Append("neu\r\n"));
  EXPECT_EQ(ReadFileBytes(src / L"alt.log"), "alt\r\n");
}

TEST(ResultLogFileWin32, DiskFullLeavesNoPartialBlock) {
  const TLogMounts m = TLogMounts::Get();
  if (m.sSmallDrive.empty()) GTEST_SKIP() << "no small drive (tests/resultlog/mounts.sh needs root)";
  TScratchDir dir(m.sSmallDrive + L"\\");
  ASSERT_FALSE(dir.Path().empty());
  TResultLogFileWin32 log(dir / kResultLogName);
  ASSERT_TRUE(WriteFileBytes(log.Path(), "alt\r\n\r\n"));
  ASSERT_TRUE(FillDrive(dir / L"fill"));

  EXPECT_FALSE(log.Append(std::string(200000, 'n') + "\r\n\r\n"));
  const std::string sAfter = ReadFileBytes(log.Path());
  EXPECT_TRUE(sAfter == "alt\r\n\r\n") << "a failed append left " << sAfter.size() - 7 << " bytes";

  ASSERT_TRUE(::DeleteFileW((dir / L"fill").c_str()));
  EXPECT_TRUE(log.Append("neu\r\n\r\n"));
  EXPECT_TRUE(ReadFileBytes(log.Path()) == "alt\r\n\r\nneu\r\n\r\n");
}

TEST(ResultLogFileWin32, ExePathGrowsItsBufferUntilThePathFits) {
  // Wine cannot start a program from a folder beyond MAX_PATH, so the growth is
  // proven by starting from buffers too small for this exe's path.
  const std::wstring sFull = ExePathW();
  ASSERT_GT(sFull.size(), 3u);
  for (const DWORD cch : {DWORD(1), DWORD(2), DWORD(sFull.size() - 1), DWORD(sFull.size()), DWORD(sFull.size() + 1)}) {
    SCOPED_TRACE(cch);
    EXPECT_EQ(ExePathW(cch), sFull);
  }
}

TEST(ResultLogFileWin32, LongPathsTakeTheExtendedForm) {
  const std::wstring sLong(300, L'x');
  struct TRow {
    std::wstring sIn, sOut;
  } rows[] = {
      {L"C:\\kurz\\a.log", L"C:\\kurz\\a.log"},
      {L"C:\\" + sLong, L"\\\\?\\C:\\" + sLong},
      {L"\\\\srv\\share\\" + sLong, L"\\\\?\\UNC\\srv\\share\\" + sLong},
      {L"\\\\?\\C:\\" + sLong, L"\\\\?\\C:\\" + sLong},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sIn.substr(0, 20));
    EXPECT_EQ(LongPathForm(r.sIn), r.sOut);
  }
}
