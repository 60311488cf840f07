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
    EMissingDetail expected;
  } kRows[] = {
      {{L"", L"", L"", L"", L""}, EMissingDetail::Praxisname},
      {{L"", L"", L"Ort", L"", L"1"}, EMissingDetail::Praxisname},
      {{L" ", L"", L"", L"", L""}, EMissingDetail::Ort},
      {{L"P", L"12345", L"O", L"A", L""}, EMissingDetail::Telefon},
      {{L"P", L"", L" ", L"", L" "}, EMissingDetail::None},
  };
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(FirstMissingDetail(kRows[i].d), kRows[i].expected);
  }
  EXPECT_STREQ(MissingDetailMessage(EMissingDetail::Praxisname), L"Bitte geben sie einen Praxisnamen an.");
  EXPECT_STREQ(MissingDetailMessage(EMissingDetail::Ort), L"Bitte geben sie einen Ort an.");
  EXPECT_STREQ(MissingDetailMessage(EMissingDetail::Telefon), L"Bitte geben sie eine Telefonnummer an.");
}

TEST(SplitLines, LineEndKinds) {
  EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitLines(L"a\r\n\r\n"), (std::vector<std::wstring>{L"a", L""}));
  EXPECT_TRUE(SplitLines(L"").empty());
}

}  // namespace
}  // namespace sw
