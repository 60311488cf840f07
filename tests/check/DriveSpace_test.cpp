#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "check/DriveSpace.h"
#include "check/FakeMeasurements.h"
#include "report/InfoItem.h"

namespace sw {
namespace {

using test::kGiB;

class TRatedList : public TServiceInfos {
 public:
  void SetPoints(std::int32_t i) { iPoints = i; }
};

struct TDriveCase {
  const char* sName;
  std::int64_t nFree, nTotal;
  std::int32_t iDiff_GB;
  const wchar_t* sValue;
  TColor cColor;
  int iPoints;
};

TEST(DriveSpace, RatesFreeSpaceAgainstTheLimit) {
  const TDriveCase kCases[] = {
      {"5 GB exactly is yellow", 5 * kGiB, 10 * kGiB, 0, L"5 GB/10 GB belegt (50 %) = 5 GB frei - OK!", clOlive, 1},
      {"one byte more is green", 5 * kGiB + 1, 10 * kGiB, 0, L"5 GB/10 GB belegt (50 %) = 5 GB frei - OK!", clGreen, 0},
      {"one byte less is red", 5 * kGiB - 1, 10 * kGiB, 0,
       L"5 GB/10 GB belegt (50 %) = 5 GB frei - Zuwenig freier Platz auf diesem Laufwerk!", clRed, 2},
      {"3.5 GB with lowered limit is yellow", 7 * kGiB / 2, 10 * kGiB, 2,
       L"7 GB/10 GB belegt (65 %) = 4 GB frei - OK!", clOlive, 1},
      {"3 GB with lowered limit is yellow", 3 * kGiB, 10 * kGiB, 2, L"7 GB/10 GB belegt (70 %) = 3 GB frei - OK!",
       clOlive, 1},
      {"2.9 GB with lowered limit is red", 29 * kGiB / 10, 10 * kGiB, 2,
       L"7 GB/10 GB belegt (71 %) = 3 GB frei - Zuwenig freier Platz auf diesem Laufwerk!", clRed, 2},
      {"3.5 GB without lowered limit is red", 7 * kGiB / 2, 10 * kGiB, 0,
       L"7 GB/10 GB belegt (65 %) = 4 GB frei - Zuwenig freier Platz auf diesem Laufwerk!", clRed, 2},
      {"12.5 % goes down to the even 12", 7 * kGiB, 8 * kGiB, 0, L"1 GB/8 GB belegt (12 %) = 7 GB frei - OK!", clGreen, 0},
      {"37.5 % goes up to the even 38", 5 * kGiB, 8 * kGiB, 0, L"3 GB/8 GB belegt (38 %) = 5 GB frei - OK!", clOlive, 1},
      {"German thousands separator", 137 * kGiB, 2000 * kGiB, 0,
       L"1.863 GB/2.000 GB belegt (93 %) = 137 GB frei - OK!", clGreen, 0},
      {"full drive", 0, 4 * kGiB, 0,
       L"4 GB/4 GB belegt (100 %) = 0 GB frei - Zuwenig freier Platz auf diesem Laufwerk!", clRed, 2},
  };
  for (const TDriveCase& c : kCases) {
    SCOPED_TRACE(c.sName);
    test::TFakeDrives drives;
    drives.Drives[L'D'] = {c.nFree, c.nTotal, L"NTFS"};
    test::TGermanLocale locale;
    TRatedList list;
    std::wstring sValue = L"sentinel";
    TColor cColor = 0xbdbdbd;
    list.GetDriveSpaceInformation(L'D', sValue, cColor, c.iDiff_GB, drives, locale);
    EXPECT_EQ(sValue, c.sValue);
    EXPECT_EQ(cColor, c.cColor);
    EXPECT_EQ(list.Points(), c.iPoints);
    EXPECT_EQ(list.Count(), 0) << "the rating adds no entry of its own";
  }
}

TEST(DriveSpace, PointsAddToTheScoreAlreadyThere) {
  test::TFakeDrives drives;
  drives.Drives[L'C'] = {5 * kGiB, 10 * kGiB, L"NTFS"};
  test::TGermanLocale locale;
  TRatedList list;
  list.SetPoints(3);
  std::wstring sValue;
  TColor cColor = 0;
  list.GetDriveSpaceInformation(L'C', sValue, cColor, 0, drives, locale);
  EXPECT_EQ(list.Points(), 4);
}

TEST(DriveSpace, UnreachableDriveIsRedWithoutSizes) {
  test::TFakeDrives drives;  // knows no drive at all
  test::TGermanLocale locale;
  TRatedList list;
  std::wstring sValue = L"sentinel";
  TColor cColor = 0;
  list.GetDriveSpaceInformation(L'Q', sValue, cColor, 0, drives, locale);
  EXPECT_EQ(sValue, L"Laufwerk nicht erreichbar!");
  EXPECT_EQ(cColor, clRed);
  EXPECT_EQ(list.Points(), 2);
  ASSERT_EQ(drives.Asked.size(), 1u);
  EXPECT_EQ(drives.Asked[0], L'Q');
}

TEST(DriveSpace, NoVerdictLeavesNavyTheCallersTextAndNoPoints) {
  struct TCase {
    const char* sName;
    bool bThrow;
    std::int64_t nFree, nTotal;
  };
  const TCase kCases[] = {
      {"drive query raises", true, 0, 0},
      {"total of 0 bytes", false, 0, 0},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.sName);
    test::TFakeDrives drives;
    drives.bThrow = c.bThrow;
    drives.Drives[L'E'] = {c.nFree, c.nTotal, L"FAT32"};
    test::TGermanLocale locale;
    TRatedList list;
    std::wstring sValue = L"vom Aufrufer";
    TColor cColor = clGreen;
    EXPECT_NO_THROW(list.GetDriveSpaceInformation(L'E', sValue, cColor, 0, drives, locale));
    EXPECT_EQ(sValue, L"vom Aufrufer");
    EXPECT_EQ(cColor, clNavy);
    EXPECT_EQ(list.Points(), 0);
  }
}

TEST(DriveSpace, WholeNumberFormat) {
  struct TCase {
    double d;
    const wchar_t* sSep;
    const wchar_t* sExpected;
  };
  const TCase kCases[] = {
      {0.0, L".", L"0"},
      {-0.4, L".", L"0"},  // no "-0"
      {-9.3e-10, L".", L"0"},
      {0.5, L".", L"1"},  // halves away from zero, as the number format does
      {2.5, L".", L"3"},
      {-2.5, L".", L"-3"},
      {999.4, L".", L"999"},
      {999.5, L".", L"1.000"},
      {1863.0, L".", L"1.863"},
      {1234567.0, L".", L"1.234.567"},
      {-1234.0, L".", L"-1.234"},
      {123456.0, L"\u00a0", L"123\u00a0456"},
      {1234.0, L"", L"1234"},
      {std::numeric_limits<double>::quiet_NaN(), L".", L"???"},
      {std::numeric_limits<double>::infinity(), L".", L"???"},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.d);
    EXPECT_EQ(FormatWholeNumber(c.d, c.sSep), c.sExpected);
  }
}

}  // namespace
}  // namespace sw
