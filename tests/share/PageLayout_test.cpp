#include "share/PageLayout.h"

#include <gtest/gtest.h>

#include <map>

namespace sw {
namespace {

// Every character is as wide as its size in points (bold one more), ascent = size,
// descent = size / 4: enough to tell fonts apart and to count what was measured.
class TFakeMeasure : public ITextMeasure {
 public:
  TFontMetrics Metrics(const TRunFormat& f) override {
    const int pt = f.nSizeTwips / 20;
    return {pt, pt / 4};
  }
  int TextWidth(const TRunFormat& f, const std::wstring& s) override {
    ++nCalls;
    return static_cast<int>(s.size()) * (f.nSizeTwips / 20 + ((f.aStyle & fsBold) ? 1 : 0));
  }
  int nCalls = 0;
};

const TRunFormat kArial12{L"Arial", 240, 0, 0};

std::wstring PageText(const TPrintPage& p) {
  // Runs joined, a line feed where the baseline changes.
  std::wstring s;
  int nLast = -1;
  for (const auto& r : p.Runs) {
    if (nLast != -1 && r.nBaseline != nLast) s += L'\n';
    s += r.sText;
    nLast = r.nBaseline;
  }
  return s;
}

TEST(PrintPageRect, HalfInchMarginsOneInchAtTheBottom) {
  const struct {
    int dx, dy, w, h;
    TPageRect r;
  } kRows[] = {
      {600, 600, 4960, 7016, {300, 300, 4660, 6416}},
      {300, 300, 2480, 3508, {150, 150, 2330, 3208}},
      {301, 203, 2480, 3508, {150, 101, 2330, 3305}},  // halves drop the fraction
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(testing::Message() << row.dx << "x" << row.dy);
    const TPageRect r = PrintPageRect(row.dx, row.dy, row.w, row.h);
    EXPECT_EQ(r.Left, row.r.Left);
    EXPECT_EQ(r.Top, row.r.Top);
    EXPECT_EQ(r.Right, row.r.Right);
    EXPECT_EQ(r.Bottom, row.r.Bottom);
  }
}

TEST(LayoutPages, BreaksAtBlanksAndDropsTrailingBlanks) {
  TFakeMeasure m;
  // 12 units per char, width 120 = 10 chars.
  const auto pages = LayoutPages(ParagraphsFromText(L"aaaa bbbb cccc dd", kArial12), {0, 0, 120, 1000}, m);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(PageText(pages[0]), L"aaaa bbbb\ncccc dd");
}

TEST(LayoutPages, LongWordIsBrokenBetweenCharacters) {
  TFakeMeasure m;
  const auto pages = LayoutPages(ParagraphsFromText(L"x abcdefghijklmnopq", kArial12), {0, 0, 60, 1000}, m);
  EXPECT_EQ(PageText(pages[0]), L"x\nabcde\nfghij\nklmno\npq");
  // Even narrower than one character: one character a line, no endless loop.
  const auto narrow = LayoutPages(ParagraphsFromText(L"abc", kArial12), {0, 0, 5, 1000}, m);
  EXPECT_EQ(PageText(narrow[0]), L"a\nb\nc");
}

TEST(LayoutPages, RunsInsideRectangleTextKeptInOrderAcrossPages) {
  TFakeMeasure m;
  std::wstring sText;
  for (int i = 0; i < 200; ++i) sText += L"Zeile " + std::to_wstring(i) + L" mit etwas Text darin\r\n";
  const TPageRect rect{150, 150, 2330, 1000};
  const auto pages = LayoutPages(ParagraphsFromText(sText, kArial12), rect, m);
  ASSERT_GT(pages.size(), 2u);
  std::wstring sAll;
  for (const auto& p : pages) {
    ASSERT_FALSE(p.Runs.empty());
    for (const auto& r : p.Runs) {
      EXPECT_GE(r.X, rect.Left);
      EXPECT_LE(r.X + r.nWidth, rect.Right);
      EXPECT_GE(r.Y, rect.Top);
      EXPECT_LE(r.nBaseline + 3, rect.Bottom);  // descent of 12 pt is 3
      sAll += r.sText + L"\r\n";
    }
  }
  EXPECT_EQ(sAll, sText);
  // Lines are 15 high: (1000 - 150) / 15 = 56 lines on a full page.
  EXPECT_EQ(pages[0].Runs.size(), 56u);
}

TEST(LayoutPages, RunsOfOneLineShareBaselineAndAdvanceByWidth) {
  TFakeMeasure m;
  TParagraph p;
  p.Runs.push_back({L"Gruen: ", {L"Tahoma", 160, fsBold, 0x8000}});
  p.Runs.push_back({L"RAM", {L"Tahoma", 320, 0, 0}});
  p.aEndFormat = p.Runs.back().aFormat;
  const auto pages = LayoutPages({p}, {10, 20, 1000, 1000}, m);
  ASSERT_EQ(pages[0].Runs.size(), 2u);
  const auto& a = pages[0].Runs[0];
  const auto& b = pages[0].Runs[1];
  EXPECT_EQ(a.nBaseline, b.nBaseline);
  EXPECT_EQ(a.nBaseline, 20 + 16);  // the larger ascent
  EXPECT_EQ(b.X, 10 + 7 * 9);
  EXPECT_EQ(a.aFormat.aColor, 0x8000u);
  EXPECT_EQ(b.aFormat.sFontName, L"Tahoma");
}

TEST(LayoutPages, EmptyParagraphsTakeTheirHeight) {
  TFakeMeasure m;
  const auto pages = LayoutPages(ParagraphsFromText(L"\r\n\r\nA\r\n", kArial12), {0, 0, 100, 1000}, m);
  ASSERT_EQ(pages[0].Runs.size(), 1u);
  EXPECT_EQ(pages[0].Runs[0].Y, 30);
}

TEST(LayoutPages, TallLineGetsAPageOfItsOwnAndNothingIsLost) {
  TFakeMeasure m;
  TParagraph big;
  big.Runs.push_back({L"X", {L"Arial", 2000, 0, 0}});  // 100 pt: higher than the rectangle
  const auto small = ParagraphsFromText(L"a\r\n", kArial12);
  std::vector<TParagraph> paras = {small[0], big, small[0]};
  const auto pages = LayoutPages(paras, {0, 0, 1000, 50}, m);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(PageText(pages[1]), L"X");
}

TEST(LayoutPages, NothingGivesOneEmptyPage) {
  TFakeMeasure m;
  const auto pages = LayoutPages({}, {0, 0, 100, 100}, m);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0].Runs.empty());
}

}  // namespace
}  // namespace sw
