#include "report/Render.h"

#include <gtest/gtest.h>

#include "report/MemoryPane.h"

namespace sw {
namespace {

struct RenderRow {
  const wchar_t* sInfo;
  const wchar_t* sValue;
  TColor aColor;
  const wchar_t* sLine;
  TColor aShown;
};

TEST(ShowServiceInfos, LineFormats) {
  const RenderRow rows[] = {
      // notes: label alone, black, whatever the colour
      {L"Note", L"-1", 0, L"Note", clBlack},
      {L"Note", L"  -1\t", 0, L"Note", clBlack},
      {L"Hinweis", L"-1", clGreen, L"Gruen: Hinweis", clBlack},
      // empty or blank value, or exactly ???: red ???
      {L"L", L"", clGreen, L"Gruen: L = ???", clRed},
      {L"L", L" \t\r\n", 0, L"L = ???", clRed},
      {L"L", L"???", clGreen, L"Gruen: L = ???", clRed},
      // ??? later in the value: purple; at the start: the entry's colour
      {L"L", L"x ???", clGreen, L"Gruen: L = x ???", clPurple},
      {L"L", L" ???", 0, L"L =  ???", clPurple},
      {L"L", L"??? MBytes - OK!", clGreen, L"Gruen: L = ??? MBytes - OK!", clGreen},
      {L"L", L"???x???", clOlive, L"Gelb: L = ???x???", clOlive},
      // any other value keeps its colour and its blanks
      {L"L", L" 5 ", clOlive, L"Gelb: L =  5 ", clOlive},
      {L"L", L"-1x", clNavy, L"L = -1x", clNavy},
      {L"", L"v", 0, L" = v", 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "value '" << testing::PrintToString(std::wstring(r.sValue)) << "'");
    TServiceInfos infos;
    infos.AddInfo(L"Sichtwek", r.sInfo, r.sValue, r.aColor);
    TMemoryPane pane;
    ShowServiceInfos(infos, pane);
    ASSERT_EQ(pane.LineCount(), 1);
    EXPECT_EQ(pane.Line(0), r.sLine);
    EXPECT_EQ(pane.Lines()[0].aColor, r.aShown);
    EXPECT_EQ(pane.Lines()[0].nSize, 8);
    EXPECT_EQ(pane.Lines()[0].aStyle, 0u);
    EXPECT_TRUE(pane.RichText());
  }
}

TEST(ShowServiceInfos, SkipsEntriesWithoutSectionAndLabel) {
  TServiceInfos infos;
  infos.AddInfo(L"", L"", L"value", clNavy);
  infos.AddInfo(L"S", L"", L"-1", 0);  // a section alone still gives a line
  infos.AddInfo(L"", L"x", L"-1", 0);
  TMemoryPane pane;
  ShowServiceInfos(infos, pane);
  ASSERT_EQ(pane.LineCount(), 2);
  EXPECT_EQ(pane.Line(0), L"");
  EXPECT_EQ(pane.Line(1), L"x");
}

TEST(ShowServiceInfos, NormalisesEntryValues) {
  TServiceInfos infos;
  infos.AddInfo(L"S", L"a", L" -1 ", 0);
  infos.AddInfo(L"S", L"b", L"  ", 0);
  infos.AddInfo(L"S", L"c", L" x ", 0);
  TMemoryPane pane;
  ShowServiceInfos(infos, pane);
  EXPECT_EQ(infos.GetInfoItem(0).Value, L"");
  EXPECT_EQ(infos.GetInfoItem(1).Value, L"???");
  EXPECT_EQ(infos.GetInfoItem(2).Value, L" x ");
}

TEST(ShowServiceInfos, LeadingLineFeedGivesEmptyLineInSameFormat) {
  TServiceInfos infos;
  infos.AddInfo(L"S", L"first", L"-1", 0);
  infos.AddInfo(L"S", L"\nNote", L"-1", 0);
  TMemoryPane pane;
  ShowServiceInfos(infos, pane);
  ASSERT_EQ(pane.LineCount(), 3);
  EXPECT_EQ(pane.Text(), L"first\r\n\r\nNote\r\n");
  // start positions: one character per line end
  ASSERT_EQ(pane.AddLineStarts().size(), 2u);
  EXPECT_EQ(pane.AddLineStarts()[0], 0u);
  EXPECT_EQ(pane.AddLineStarts()[1], 6u);
}

TEST(MemoryPane, CapacityRejectsWholeLine) {
  TMemoryPane pane(10);
  pane.AddPlainLine(L"12345678");  // costs 9
  EXPECT_THROW(pane.AddPlainLine(L"x"), EPaneInsertError);
  EXPECT_EQ(pane.LineCount(), 1);
  EXPECT_EQ(pane.TextLength(), 9u);
  pane.AddPlainLine(L"");
  EXPECT_EQ(pane.TextLength(), 10u);
}

TEST(MemoryPane, UpdateBracketSavesWordWrap) {
  TMemoryPane pane;
  pane.AddPlainLine(L"keep");
  pane.SetWordWrap(true);
  pane.BeginUpdate(false);
  EXPECT_FALSE(pane.WordWrap());
  EXPECT_EQ(pane.LineCount(), 1);
  pane.EndUpdate();
  EXPECT_TRUE(pane.WordWrap());
  pane.AddLine(L"x", 8, 0, 0);
  EXPECT_FALSE(pane.WordWrap());  // AddLine outside a bracket leaves it off
}

}  // namespace
}  // namespace sw
