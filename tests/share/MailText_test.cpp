#include "share/MailText.h"

#include <gtest/gtest.h>

#include "report/MemoryPane.h"
#include "common/Text.h"
#include "share/PreviewText.h"
#include "common/Locale.h"

namespace sw {
namespace {

TEST(ComposeLetter, LinesOfTheLetterThenThePaneText) {
  TMemoryPane pane;
  pane.AddLine(L"Rechner: PRAXIS-01", 8, clBlack, 0);
  pane.AddPlainLine(L"Gruen: Arbeitsspeicher");
  pane.AddPlainLine(L"");
  const std::wstring s = ComposeLetter(pane);
  const auto lines = SplitLines(s);
  ASSERT_EQ(lines.size(), 22u + 3u);
  EXPECT_EQ(lines[0], L"Sehr geehrte Damen und Herren,");
  EXPECT_EQ(lines[1], L"");
  EXPECT_EQ(lines[3], L"Bitte kontaktieren Sie mich. Meine Kontaktdaten für Rückfragen: ");
  const wchar_t* kLabels[] = {L"Praxisname:", L"PLZ:", L"Ort:", L"Ansprechpartner:", L"Telefon:"};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[5 + 2 * i], kLabels[i]);
    EXPECT_EQ(lines[4 + 2 * i], L"");
  }
  for (int i = 14; i <= 20; ++i) {
    EXPECT_EQ(lines[i], L"") << "line " << i + 1;
  }
  EXPECT_EQ(lines[21], L"Nachfolgend automatisch generierte Informationen: ");
  // The pane text follows unchanged, each line with CR LF, and nothing after it.
  const std::wstring sPane = pane.Text();
  ASSERT_GE(s.size(), sPane.size());
  EXPECT_EQ(s.substr(s.size() - sPane.size()), sPane);
  EXPECT_EQ(s.find(L"\n"), s.find(L"\r\n") + 1) << "line ends are CR LF";
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\n') {
      ASSERT_EQ(s[i - 1], L'\r') << "bare LF at " << i;
    }
  }
}

TEST(ComposeLetter, EmptyPaneGivesFallbackAndTwoLineEnds) {
  TMemoryPane pane;
  const std::wstring s = ComposeLetter(pane);
  const std::wstring sTail = L"Nachfolgend automatisch generierte Informationen: \r\n"
                             L"- keine informationen gesammelt\r\n\r\n";
  ASSERT_GE(s.size(), sTail.size());
  EXPECT_EQ(s.substr(s.size() - sTail.size()), sTail);
}

TEST(ComposeLetter, RepeatableWithoutAccumulating) {
  TMemoryPane pane;
  pane.AddPlainLine(L"x");
  EXPECT_EQ(ComposeLetter(pane), ComposeLetter(pane));
}

TEST(MailRecord, EmptyValueLeavesOrRemovesTheName) {
  TMailRecord r;
  r.SetValue(L"to", L"");
  EXPECT_FALSE(r.Has(L"to"));
  r.SetValue(L"to", L"a@b.example");
  r.SetValue(L"subject", L"S");
  r.SetValue(L"to", L"c@d.example");  // replaced in place, order kept
  ASSERT_EQ(r.Entries().size(), 2u);
  EXPECT_EQ(r.Entries()[0].first, L"to");
  EXPECT_EQ(r.Entries()[0].second, L"c@d.example");
  r.SetValue(L"to", L"");
  EXPECT_FALSE(r.Has(L"to"));
  EXPECT_EQ(r.Value(L"to"), L"");
  EXPECT_EQ(r.Entries().size(), 1u);
  r.SetValue(L"body", L"a\r\nb=c\r\n");  // line breaks and '=' stay in one value
  EXPECT_EQ(r.Value(L"body"), L"a\r\nb=c\r\n");
}

TEST(MailRecord, ReportMailWithAndWithoutVendor) {
  const TMailRecord r = BuildReportMail(L"support@vendor.example", L"Sehr geehrte\r\n");
  ASSERT_EQ(r.Entries().size(), 3u);
  EXPECT_EQ(r.Entries()[0].first, L"to");
  EXPECT_EQ(r.Entries()[1].first, L"subject");
  EXPECT_EQ(r.Entries()[2].first, L"body");
  EXPECT_EQ(r.Value(L"subject"), L"Ergebnisse des Sichtwerks zur Prüfung");
  EXPECT_EQ(r.Value(L"body"), L"Sehr geehrte\r\n");

  const TMailRecord n = BuildReportMail(L"", L"B");
  EXPECT_FALSE(n.Has(L"to"));
  EXPECT_EQ(n.Entries().size(), 2u);
}

// Latin-1 stand-in for CP 1252 (the letters used here are the same in both).
class TLatin1 : public ICodePage {
 public:
  std::string ToAnsi(const std::wstring& s) override {
    std::string r;
    for (wchar_t c : s) r += c < 256 ? static_cast<char>(c) : '?';
    return r;
  }
  std::wstring FromAnsi(const std::string& s) override {
    std::wstring r;
    for (char c : s) r += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return r;
  }
};

TEST(MapiTexts, AbsentFieldsStayAbsentAndTextsAreAnsi) {
  TLatin1 cp;
  TMailRecord r;
  r.SetValue(L"body", L"Prüfung\r\n");
  const TMapiTexts t = MapiTextsFromRecord(r, cp);
  EXPECT_FALSE(t.bHasTo);
  EXPECT_FALSE(t.bHasSubject);
  ASSERT_TRUE(t.bHasBody);
  EXPECT_EQ(t.sBody, std::string("Pr\xFC" "fung\r\n"));
}

TEST(MapiAvailability, OnlyExactlyOne) {
  const struct {
    const wchar_t* pData;
    std::size_t cb;
    bool bExpected;
  } kRows[] = {
      {L"1", 2, true},  {L"1", 1, true},   {L"0", 2, false}, {L"11", 3, false},
      {L"1 ", 3, false}, {L"", 1, false},  {L"", 0, false},  {L"1\0\0", 3, false},
      {nullptr, 0, false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(testing::Message() << "cch=" << row.cb);
    EXPECT_EQ(MapiRegistryValueMeansAvailable(row.pData, row.cb), row.bExpected);
  }
  EXPECT_TRUE(MapiFlagInRegistry(4, 0));
  EXPECT_TRUE(MapiFlagInRegistry(3, 95));
  EXPECT_FALSE(MapiFlagInRegistry(3, 51));
  EXPECT_FALSE(MapiFlagInRegistry(3, 10));
  EXPECT_TRUE(MapiFlagInRegistry(6, 1));
}

}  // namespace
}  // namespace sw
