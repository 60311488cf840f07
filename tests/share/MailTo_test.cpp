#include "share/MailTo.h"

#include <gtest/gtest.h>

#include <string>

#include "common/Text.h"

namespace sw {
namespace {

TEST(MailTo, EveryPartPercentEncodedAsUtf8) {
  const struct {
    const wchar_t* sIn;
    const wchar_t* sOut;
  } kRows[] = {
      {L"AZaz09-._~", L"AZaz09-._~"},
      {L"a b", L"a%20b"},
      {L"&?%#+=/:@,;", L"%26%3F%25%23%2B%3D%2F%3A%40%2C%3B"},
      {L"Prüfung ÄÖÜß", L"Pr%C3%BCfung%20%C3%84%C3%96%C3%9C%C3%9F"},
      {L"\r\n", L"%0D%0A"},
      {L"\u20AC\U0001F600", L"%E2%82%AC%F0%9F%98%80"},  // three and four UTF-8 bytes
      {L"", L""},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(WideToUtf8(r.sIn));
    EXPECT_EQ(PercentEncode(r.sIn), r.sOut);
  }
  // The address keeps the '@' between its halves and nothing else.
  const struct {
    const wchar_t* sTo;
    const wchar_t* sUrl;
  } kUrls[] = {
      {L"support@vendor.example",
       L"mailto:support@vendor.example?subject=Ergebnisse%20des%20Sichtwerks%20zur%20Pr%C3%BCfung&body=S%2BV%20%26%3F"},
      {L"a+b&c%d#e?f@m\u00FCller.example",
       L"mailto:a%2Bb%26c%25d%23e%3Ff@m%C3%BCller.example?subject=Ergebnisse%20des%20Sichtwerks%20zur%20Pr%C3%BCfung"
       L"&body=S%2BV%20%26%3F"},
      {L"", L"mailto:?subject=Ergebnisse%20des%20Sichtwerks%20zur%20Pr%C3%BCfung&body=S%2BV%20%26%3F"},
  };
  for (const auto& r : kUrls) {
    SCOPED_TRACE(WideToUtf8(r.sTo));
    EXPECT_EQ(MailToUrl(r.sTo, L"Ergebnisse des Sichtwerks zur Prüfung", L"S+V &?"), r.sUrl);
  }
  // The body of the new mail is short and ends up whole in the URL.
  EXPECT_LT(MailToUrl(L"support@vendor.example", L"Ergebnisse des Sichtwerks zur Prüfung", kMailToBody).size(), 400u);
}

TEST(MailTo, ClipboardTextEndsLinesWithCrLf) {
  EXPECT_EQ(ClipboardText(L"a\r\nb\nc\rd\r\n\r\n"), L"a\r\nb\r\nc\r\nd\r\n\r\n");
  EXPECT_EQ(ClipboardText(L"a\nb"), L"a\r\nb");
  EXPECT_EQ(ClipboardText(L""), L"");
}

// The fragment gives every line its colour (the colours belong to the last lines) and
// escapes what HTML would read; the header's byte offsets find the fragment and the
// document in the UTF-8 bytes, umlauts counting two.
TEST(MailTo, HtmlLinesInTheirColoursAndCfHtmlOffsets) {
  const std::wstring sText = L"Sehr geehrte Damen und Herren,\r\n\r\nGrün: <RAM> & \"mehr\"\r\n  zwei  Blanks\r\n";
  const std::string sFragment = MailHtmlFragment(sText, {0x0000FF, 0x008000, 0x800000});
  EXPECT_EQ(sFragment,
            "<div style=\"color:#000000\">Sehr geehrte Damen und Herren,</div>\r\n"
            "<div style=\"color:#FF0000\"><br></div>\r\n"
            "<div style=\"color:#008000\">Gr\xC3\xBCn: &lt;RAM&gt; &amp; &quot;mehr&quot;</div>\r\n"
            "<div style=\"color:#000080\">&nbsp;&nbsp;zwei &nbsp;Blanks</div>\r\n");
  EXPECT_EQ(HtmlColor(0x008080), "#808000");  // olive, the yellow verdict
  // More colours than lines: the last ones count.
  EXPECT_EQ(MailHtmlFragment(L"x", {0x0000FF, 0x008000}), "<div style=\"color:#008000\">x</div>\r\n");

  const std::string s = CfHtml(sFragment);
  auto Field = [&](const char* sName) -> std::size_t {
    const std::string sKey = std::string("\r\n") + sName + ":";
    const std::size_t p = s.find(sKey);
    if (p == std::string::npos || p + sKey.size() + 10 > s.size()) return std::string::npos;
    const std::string sDigits = s.substr(p + sKey.size(), 10);
    if (sDigits.find_first_not_of("0123456789") != std::string::npos) return std::string::npos;
    return std::stoul(sDigits);
  };
  ASSERT_EQ(s.rfind("Version:0.9\r\n", 0), 0u);
  const std::size_t nStartHtml = Field("StartHTML"), nEndHtml = Field("EndHTML"),
                    nStartFragment = Field("StartFragment"), nEndFragment = Field("EndFragment");
  ASSERT_NE(nStartHtml, std::string::npos);
  ASSERT_NE(nEndHtml, std::string::npos);
  ASSERT_NE(nStartFragment, std::string::npos);
  ASSERT_NE(nEndFragment, std::string::npos);
  EXPECT_EQ(s.substr(nStartFragment, nEndFragment - nStartFragment), sFragment);
  EXPECT_EQ(s.substr(nStartHtml, 6), "<html>");
  EXPECT_EQ(nEndHtml, s.size());
  EXPECT_EQ(s.substr(nEndHtml - 7), "</html>");
  EXPECT_EQ(s.substr(nStartFragment - 20, 20), "<!--StartFragment-->");
  EXPECT_EQ(s.substr(nEndFragment, 18), "<!--EndFragment-->");
  // Everything before StartHTML is the header.
  EXPECT_EQ(s.find('<'), nStartHtml);
}

}  // namespace
}  // namespace sw
