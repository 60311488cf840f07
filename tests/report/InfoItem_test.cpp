#include "report/InfoItem.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sw {
namespace {

TEST(AddInfo, VerdictWordByExactColour) {
  struct Row {
    TColor aColor;
    const wchar_t* sExpected;
  } rows[] = {
      {clGreen, L"Gruen: Label"}, {clOlive, L"Gelb: Label"}, {clRed, L"Rot: Label"},
      {clBlack, L"Label"},        {clNavy, L"Label"},        {clPurple, L"Label"},
      {0x8001, L"Label"},         {0x1000080, L"Label"},     {0xFFFFFFFF, L"Label"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << r.aColor);
    TServiceInfos infos;
    TInfoItem& item = infos.AddInfo(L"Sichtwek", L"Label", L" v ", r.aColor);
    EXPECT_EQ(item.Info, r.sExpected);
    EXPECT_EQ(item.Value, L" v ");  // never trimmed here
    EXPECT_EQ(item.Color, r.aColor);
    EXPECT_EQ(item.Section, L"Sichtwek");
  }
}

TEST(AddInfo, VerdictWordAloneForEmptyLabel) {
  TServiceInfos infos;
  EXPECT_EQ(infos.AddInfo(L"S", L"", L"x", clRed).Info, L"Rot: ");
}

TEST(ServiceInfos, KeepsInsertionOrderAndRangeChecks) {
  TServiceInfos infos;
  EXPECT_EQ(infos.Count(), 0);
  EXPECT_EQ(infos.Points(), 0);
  EXPECT_THROW(infos.GetInfoItem(0), std::out_of_range);
  infos.AddInfo(L"", L"", L"", 0);
  infos.AddInfo(L"S", L"b", L"-1", 0);
  infos.AddInfo(L"S", L"a", L"2", 0);
  ASSERT_EQ(infos.Count(), 3);
  EXPECT_EQ(infos.GetInfoItem(1).Info, L"b");
  EXPECT_EQ(infos.GetInfoItem(1).Value, L"-1");
  EXPECT_EQ(infos.GetInfoItem(2).Info, L"a");
  EXPECT_THROW(infos.GetInfoItem(3), std::out_of_range);
  EXPECT_THROW(infos.GetInfoItem(-1), std::out_of_range);
}

}  // namespace
}  // namespace sw
