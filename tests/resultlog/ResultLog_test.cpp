#include "resultlog/ResultLog.h"

#include <gtest/gtest.h>

#include "report/InfoItem.h"
#include "report/MemoryPane.h"
#include "resultlog/ResultLogFakes.h"

using namespace sw;
using sw::test::TCp1252;
using sw::test::TFakeLogFile;

namespace {

std::vector<std::wstring> Lines(const TMemoryPane& p, int nFrom = 0) {
  std::vector<std::wstring> v;
  for (int i = nFrom; i < p.LineCount(); ++i) v.push_back(p.Line(i));
  return v;
}

std::string Utf16(const std::wstring& s, bool bBig, bool bMark = true) {
  std::string out;
  if (bMark) out = bBig ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : s) {
    const char hi = static_cast<char>((c >> 8) & 0xFF), lo = static_cast<char>(c & 0xFF);
    out += bBig ? hi : lo;
    out += bBig ? lo : hi;
  }
  return out;
}

}  // namespace

TEST(ResultLogBlock, ReportInAnsiThenOneClosingLineEndInOneAppend) {
  TCp1252 cp;
  TFakeLogFile log;
  log.sFile = "alt\r\n\r\n";
  TServiceInfos infos;
  infos.HandleLog(L"Prüfung\r\nGrün: 4 € \u4E2D\r\n", log, cp);
  EXPECT_EQ(log.nAppends, 1);
  // ü and € are single cp1252 bytes, not UTF-8; the CJK letter has no byte and
  // becomes the replacement; the earlier block stays untouched in front.
  EXPECT_EQ(log.sFile, std::string("alt\r\n\r\nPr\xFC" "fung\r\nGr\xFCn: 4 \x80 ?\r\n\r\n"));
}

TEST(ResultLogBlock, MissingFileIsCreatedAndUnwritableFileSwallowed) {
  TCp1252 cp;
  TServiceInfos infos;
  TFakeLogFile log;
  log.bExists = false;
  infos.HandleLog(L"A\r\n", log, cp);
  EXPECT_EQ(log.sFile, "A\r\n\r\n");

  TFakeLogFile none;
  none.bExists = none.bCreatable = false;
  infos.HandleLog(L"A\r\n", none, cp);
  EXPECT_EQ(none.nAppends, 0) << "no file, no write";

  TFakeLogFile ro;
  ro.sFile = "x\r\n";
  ro.bWritable = false;
  bool bWritten = true;
  EXPECT_NO_THROW(bWritten = infos.HandleLog(L"A\r\n", ro, cp));
  EXPECT_FALSE(bWritten);
  EXPECT_EQ(ro.nAppends, 1) << "the write is tried once, its failure swallowed";
}

TEST(ResultLogDecode, MarksSelectTheDecoder) {
  TCp1252 cp;
  struct TRow {
    const char* sName;
    std::string sBytes;
    std::wstring sText;
  } rows[] = {
      {"no mark is ANSI", "Pr\xFC" "f \x80", L"Prüf €"},
      {"UTF-8 mark", "\xEF\xBB\xBFPr\xC3\xBC" "f \xE2\x82\xAC", L"Prüf €"},
      {"UTF-8 4-byte letter to a surrogate pair", "\xEF\xBB\xBF\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
      {"UTF-16 LE", Utf16(L"Prüf\r\n€", false), L"Prüf\r\n€"},
      {"UTF-16 BE", Utf16(L"Prüf\r\n€", true), L"Prüf\r\n€"},
      {"UTF-16 LE odd length", Utf16(L"ab", false) + "c", L"ab\xFFFD"},
      {"UTF-16 BE odd length", Utf16(L"ab", true) + "c", L"ab\xFFFD"},
      {"UTF-8 mark only", "\xEF\xBB\xBF", L""},
      {"UTF-16 mark only", "\xFF\xFE", L""},
      {"half a UTF-8 mark is ANSI", "\xEF\xBB", L"ï»"},
      {"UTF-8 without mark is ANSI", "\xC3\xBC", L"Ã¼"},
      {"UTF-16 without mark is ANSI", std::string("a\0b\0", 4), std::wstring(L"a\0b\0", 4)},
      {"UTF-16 unpaired surrogate kept", Utf16(L"\xD800x", false), L"\xD800x"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sName);
    EXPECT_EQ(DecodeLogBytes(r.sBytes, cp), r.sText);
  }
}

TEST(ResultLogSplit, LineEndsAndTheLastLine) {
  struct TRow {
    const char* sName;
    std::wstring sText;
    bool bDropUnended;
    std::vector<std::wstring> Lines;
    std::size_t nMaxChars = SIZE_MAX;
  } rows[] = {
      {"empty text", L"", false, {}},
      {"CR LF", L"a\r\nb\r\n", false, {L"a", L"b"}},
      {"lone CR", L"a\rb\r", false, {L"a", L"b"}},
      {"lone LF", L"a\nb\n", false, {L"a", L"b"}},
      {"LF CR is two ends", L"a\n\rb", false, {L"a", L"", L"b"}},
      {"CR CR LF", L"a\r\r\nb", false, {L"a", L"", L"b"}},
      {"final line without end counts", L"a\r\nb", false, {L"a", L"b"}},
      {"one line end is one empty line", L"\r\n", false, {L""}},
      {"empty lines kept", L"\r\n\r\n\n", false, {L"", L"", L""}},
      {"blanks not trimmed", L"  a  \r\n", false, {L"  a  "}},
      {"NUL becomes a blank", std::wstring(L"a\0b\r\n\0", 6), false, {L"a b", L" "}},
      {"cut-off head drops the unended line", L"a\r\nbc", true, {L"a"}},
      {"cut-off head ending in CR", L"a\r", true, {L"a"}},
      {"up to the first line past the limit", L"ab\r\ncd\r\nef\r\ngh", false, {L"ab", L"cd", L"ef"}, 6},
      {"limit on a cut-off head", L"ab\r\ncd", true, {L"ab"}, 3},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sName);
    EXPECT_EQ(SplitLogLines(r.sText, r.bDropUnended, r.nMaxChars), r.Lines);
  }
}

TEST(ResultLogCollect, HistoryGoesBelowAsPlainLinesInFileOrder) {
  TCp1252 cp;
  TFakeLogFile log;
  log.sFile = "\xEF\xBB\xBF" "erster Lauf \xC3\xBC\r\n\r\nzweiter\r\n\r\n";
  TMemoryPane pane;
  pane.AddLine(L"neu", 10, clRed, fsBold);
  TServiceInfos infos;
  infos.CollectLogEntries(pane, log, cp);
  EXPECT_EQ(Lines(pane), (std::vector<std::wstring>{L"neu", L"erster Lauf ü", L"", L"zweiter", L""}));
  for (int i = 1; i < pane.LineCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(pane.Lines()[i].bFormatted) << "history must use the plain line list";
  }
  EXPECT_EQ(log.nAppends, 0) << "reading never writes";
  EXPECT_EQ(log.cbLastMax, kLogHeadBytes);
}

TEST(ResultLogCollect, FailuresLeaveThePaneAsItWas) {
  TCp1252 cp;
  TServiceInfos infos;
  struct TRow {
    const char* sName;
    TFakeLogFile log;
  } rows[3];
  rows[0].sName = "cannot be created";
  rows[0].log.bExists = rows[0].log.bCreatable = false;
  rows[1].sName = "unreadable";
  rows[1].log.bReadable = false;
  rows[2].sName = "adapter throws";
  rows[2].log.bThrowOnRead = true;
  for (auto& r : rows) {
    SCOPED_TRACE(r.sName);
    r.log.sFile = "alt\r\n";
    TMemoryPane pane;
    pane.AddLine(L"neu", 10, clBlack, 0);
    EXPECT_NO_THROW(infos.CollectLogEntries(pane, r.log, cp));
    EXPECT_EQ(Lines(pane), std::vector<std::wstring>{L"neu"});
    EXPECT_EQ(r.log.sFile, "alt\r\n");
  }
}

TEST(ResultLogCollect, FirstLineThatDoesNotFitEndsTheCopy) {
  TCp1252 cp;
  TServiceInfos infos;
  // Capacity 20: "neu" costs 4; "12345" 6 (10); the 12-letter line does not fit
  // (10 + 13 > 20) and ends the copy although the short line after it would fit.
  TFakeLogFile log;
  log.sFile = "12345\r\nabcdefghijkl\r\nx\r\n";
  TMemoryPane pane(20);
  pane.AddLine(L"neu", 10, clBlack, 0);
  EXPECT_NO_THROW(infos.CollectLogEntries(pane, log, cp));
  EXPECT_EQ(Lines(pane), (std::vector<std::wstring>{L"neu", L"12345"}));

  // A line that fills the pane exactly still goes in.
  TMemoryPane exact(20);
  exact.AddLine(L"neu", 10, clBlack, 0);
  log.sFile = "123456789012345\r\nx";
  infos.CollectLogEntries(exact, log, cp);
  EXPECT_EQ(exact.TextLength(), 20u);
  EXPECT_EQ(exact.LineCount(), 2);
}
