// What the pane shows from the head of the log must equal what it shows from the
// whole file, for logs far larger than the pane.
#include <gtest/gtest.h>

#include <random>

#include "report/InfoItem.h"
#include "report/MemoryPane.h"
#include "resultlog/ResultLog.h"
#include "resultlog/ResultLogFakes.h"

using namespace sw;
using sw::test::TCp1252;
using sw::test::TFakeLogFile;

namespace {

enum class TEnc { Ansi, Utf8, Utf16LE, Utf16BE };

std::string Encode(const std::wstring& s, TEnc e) {
  std::string out;
  switch (e) {
    case TEnc::Ansi: return TCp1252().ToAnsi(s);
    case TEnc::Utf8:
      out = "\xEF\xBB\xBF";
      for (wchar_t c : s) {
        if (c < 0x80) {
          out += static_cast<char>(c);
        } else if (c < 0x800) {
          out += static_cast<char>(0xC0 | (c >> 6));
          out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
          out += static_cast<char>(0xE0 | (c >> 12));
          out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
      return out;
    case TEnc::Utf16LE:
    case TEnc::Utf16BE: {
      const bool bBig = e == TEnc::Utf16BE;
      out = bBig ? "\xFE\xFF" : "\xFF\xFE";
      for (wchar_t c : s) {
        const char hi = static_cast<char>((c >> 8) & 0xFF), lo = static_cast<char>(c & 0xFF);
        out += bBig ? hi : lo;
        out += bBig ? lo : hi;
      }
      return out;
    }
  }
  return out;
}

// The pane with a report of nReport characters in front.
TMemoryPane PaneWithReport(std::size_t nReport) {
  TMemoryPane p;
  if (nReport) p.AddLine(std::wstring(nReport - 1, L'R'), 10, clBlack, 0);
  return p;
}

// The reference: the whole file, one pane line after the other until one is refused.
std::wstring WholeFileView(const std::vector<std::wstring>& WholeLines, std::size_t nReport) {
  TMemoryPane p = PaneWithReport(nReport);
  try {
    for (const auto& l : WholeLines) {
      if (l.size() >= kPaneCapacity) break;  // never fits; spares the pane a copy of megabytes
      p.AddPlainLine(l);
    }
  } catch (const EPaneInsertError&) {
  }
  return p.Text();
}

std::vector<std::wstring> WholeLinesOf(const std::string& sFile) {
  TCp1252 cp;
  return SplitLogLines(DecodeLogBytes(sFile, cp), false);
}

std::wstring HeadView(const std::string& sFile, std::size_t nReport, std::size_t cbMax) {
  TCp1252 cp;
  TFakeLogFile log;
  log.sFile = sFile;
  TMemoryPane p = PaneWithReport(nReport);
  std::vector<std::wstring> lines;
  EXPECT_TRUE(ReadLogLines(log, cp, cbMax, lines));
  AppendLinesUntilFull(p, lines);
  return p.Text();
}

// Through the real operation, to be sure it reads no more than the head.
std::wstring CollectView(const std::string& sFile, std::size_t nReport) {
  TCp1252 cp;
  TFakeLogFile log;
  log.sFile = sFile;
  TMemoryPane p = PaneWithReport(nReport);
  TServiceInfos().CollectLogEntries(p, log, cp);
  EXPECT_EQ(log.cbLastMax, kLogHeadBytes);
  return p.Text();
}

struct TCase {
  std::string sName;
  std::string sFile;
};

// Under AddressSanitizer every byte and every line costs many times as much: there the
// long lines have 1 MB instead of 10 MB (still about four times the head the program
// reads) and the runs of empty lines 120,000 instead of 200,000 (more than half as many
// again as the pane holds), so the property stays the same.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kLongLineBytes = 1u << 20;
constexpr int kManyLines = 120000;
#else
constexpr std::size_t kLongLineBytes = 10u << 20;
constexpr int kManyLines = 200000;
#endif
static_assert(kLongLineBytes > 3 * kLogHeadBytes);
static_assert(kManyLines > 3 * kPaneCapacity / 2);

std::vector<TCase> LongLineLogs() {
  std::vector<TCase> v;
  const std::size_t cb = kLongLineBytes;
  const std::string sMB = std::to_string(cb >> 20) + " MB";
  v.push_back({"ANSI single line of " + sMB, std::string(cb, 'x')});
  v.push_back({"ANSI " + sMB + " line after a short one", "kurz\r\n" + std::string(cb, 'x') + "\r\nnach"});
  v.push_back({"UTF-8 single line of " + sMB, Encode(std::wstring(cb / 2, L'ü'), TEnc::Utf8)});
  v.push_back({"UTF-16 single line of " + sMB, Encode(std::wstring(cb / 2, L'a'), TEnc::Utf16LE)});
  v.push_back({"NUL bytes in ANSI lines", [] {
                 std::string s;
                 for (int i = 0; i < 3000; ++i) s += std::string(100, '\0') + "\n";
                 return s;
               }()});
  v.push_back({"odd UTF-16 beyond the head", Encode(std::wstring(400000, L'\n'), TEnc::Utf16LE) + "!"});
  return v;
}

// Runs of empty lines in one encoding: more than the pane holds, and up to just around
// the pane's end followed by a line that reaches across the end of the head.
std::vector<TCase> EmptyLineLogs(TEnc e) {
  std::vector<TCase> v;
  const std::string sEnc = std::to_string(static_cast<int>(e));
  const std::string sMany = std::to_string(kManyLines);
  std::wstring s;
  for (int i = 0; i < kManyLines; ++i) s += L"\r\n";
  v.push_back({sMany + " empty CR LF lines, encoding " + sEnc, Encode(s, e)});
  v.push_back({sMany + " lone CR lines, encoding " + sEnc, Encode(std::wstring(kManyLines, L'\r'), e)});
  v.push_back({sMany + " lone LF lines, encoding " + sEnc, Encode(std::wstring(kManyLines, L'\n'), e)});
  for (std::size_t nEmpty : {65530u, 65533u, 65534u, 65535u, 65536u, 65537u}) {
    std::wstring t;
    for (std::size_t i = 0; i < nEmpty; ++i) t += L"\r\n";
    t += std::wstring(140000, L'y') + L"\r\nz\r\n";
    v.push_back({std::to_string(nEmpty) + " empty lines then a long one, encoding " + sEnc, Encode(t, e)});
  }
  return v;
}

std::vector<TCase> RandomLineLogs() {
  std::vector<TCase> v;
  std::mt19937 rng(5);
  for (int n = 0; n < 8; ++n) {
    std::wstring t;
    const wchar_t* ends[] = {L"\r\n", L"\r", L"\n"};
    while (t.size() < 400000) {
      const std::size_t len = rng() % 4 ? rng() % 40 : rng() % 5000;
      t += std::wstring(len, static_cast<wchar_t>(L'a' + rng() % 26)) + ends[rng() % 3];
    }
    const TEnc e = static_cast<TEnc>(n % 4);
    v.push_back({"random lines " + std::to_string(n), Encode(t, e)});
  }
  return v;
}

// The pane from the head equals the pane from the whole file, behind reports of no,
// one and 2000 characters.
void ExpectHeadShowsWhatTheWholeFileShows(const std::vector<TCase>& cases) {
  for (const auto& c : cases) {
    ASSERT_GT(c.sFile.size(), 100000u);
    const std::vector<std::wstring> whole = WholeLinesOf(c.sFile);
    for (std::size_t nReport : {0u, 1u, 2000u}) {
      SCOPED_TRACE(c.sName + ", report of " + std::to_string(nReport) + " characters");
      const std::wstring sWhole = WholeFileView(whole, nReport);
      EXPECT_TRUE(sWhole == CollectView(c.sFile, nReport));
    }
  }
}

}  // namespace

// One test per group of logs, so that the groups can run side by side.
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithLongLines) { ExpectHeadShowsWhatTheWholeFileShows(LongLineLogs()); }
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithRandomLines) {
  ExpectHeadShowsWhatTheWholeFileShows(RandomLineLogs());
}
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithEmptyLinesInUtf16LE) {
  ExpectHeadShowsWhatTheWholeFileShows(EmptyLineLogs(TEnc::Utf16LE));
}
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithEmptyLinesInUtf16BE) {
  ExpectHeadShowsWhatTheWholeFileShows(EmptyLineLogs(TEnc::Utf16BE));
}
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithEmptyLinesInUtf8) {
  ExpectHeadShowsWhatTheWholeFileShows(EmptyLineLogs(TEnc::Utf8));
}
TEST(ResultLogHead, HeadShowsWhatTheWholeFileShowsWithEmptyLinesInAnsi) {
  ExpectHeadShowsWhatTheWholeFileShows(EmptyLineLogs(TEnc::Ansi));
}

TEST(ResultLogHead, ShorterHeadWouldShowLess) {
  // Proof that the comparison above can fail: empty UTF-16 lines cost 4 bytes each,
  // and a head that holds fewer lines than fit into the pane shows less than the file.
  std::wstring s;
  for (int i = 0; i < 70000; ++i) s += L"\r\n";
  const std::string sFile = Encode(s, TEnc::Utf16LE);
  const std::wstring sWhole = WholeFileView(WholeLinesOf(sFile), 0);
  EXPECT_EQ(sWhole.size(), 2 * kPaneCapacity);
  EXPECT_TRUE(sWhole == HeadView(sFile, 0, kLogHeadBytes));
  EXPECT_FALSE(sWhole == HeadView(sFile, 0, 2 + 4 * (kPaneCapacity - 1)));
}

TEST(ResultLogHead, SmallLogIsReadWhole) {
  TCp1252 cp;
  TFakeLogFile log;
  log.sFile = "a\r\nb";
  std::vector<std::wstring> lines;
  ASSERT_TRUE(ReadLogLines(log, cp, kLogHeadBytes, lines));
  EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b"})) << "an unended last line of a whole file counts";
}
