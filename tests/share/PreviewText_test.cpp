#include "common/Text.h"
#include "share/PreviewText.h"

#include <gtest/gtest.h>

#include "report/MemoryPane.h"
#include "share/MailText.h"

namespace sw {
namespace {

TEST(PreviewText, SixEmptyLinesThenTheLetter) {
  TMemoryPane pane;
  pane.AddPlainLine(L"Bericht");
  const auto lines = SplitLines(BuildPreviewText(ComposeLetter(pane)));
  ASSERT_GT(lines.size(), 7u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[i], L"");
  EXPECT_EQ(lines[6], L"Sehr geehrte Damen und Herren,");
}

TEST(FillInDetails, ExactLinesOnlyEveryOccurrence) {
  std::vector<std::wstring> lines = {L"Praxisname:", L"PLZ:", L"Ort:", L"Ansprechpartner:",
                                     L"Telefon:", L"Ort: ", L"ort:", L" Ort:", L"Ort:",
                                     L"Praxisname: alt", L""};
  TPraxisDetails d{L"Praxis Dr. Müller", L"", L"Köln", L"", L"0221 1"};
  EXPECT_EQ(FillInDetails(lines, d), 6);
  const std::vector<std::wstring> expected = {
      L"Praxisname: Praxis Dr. Müller", L"PLZ: ", L"Ort: Köln", L"Ansprechpartner: ",
      L"Telefon: 0221 1", L"Ort: ", L"ort:", L" Ort:", L"Ort: Köln", L"Praxisname: alt", L""};
  EXPECT_EQ(lines, expected);
}

TEST(MissingDetail, FirstMissingInOrderBlanksCountAsFilled) {
  const struct {
    TPraxisDetails d;
    TMissingDetail expected;
  } kRows[] = {
      {{L"", L"", L"", L"", L""}, TMissingDetail::Praxisname},
      {{L"", L"", L"Ort", L"", L"1"}, TMissingDetail::Praxisname},
      {{L" ", L"", L"", L"", L""}, TMissingDetail::Ort},
      {{L"P", L"12345", L"O", L"A", L""}, TMissingDetail::Telefon},
      {{L"P", L"", L" ", L"", L" "}, TMissingDetail::None},
  };
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(FirstMissingDetail(kRows[i].d), kRows[i].expected);
  }
  EXPECT_STREQ(MissingDetailMessage(TMissingDetail::Praxisname), L"Bitte geben sie einen Praxisnamen an.");
  EXPECT_STREQ(MissingDetailMessage(TMissingDetail::Ort), L"Bitte geben sie einen Ort an.");
  EXPECT_STREQ(MissingDetailMessage(TMissingDetail::Telefon), L"Bitte geben sie eine Telefonnummer an.");
}

}  // namespace
}  // namespace sw
