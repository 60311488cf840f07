#include "common/Text.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

TEST(SplitLines, LineEndKinds) {
  EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitLines(L"a\r\n\r\n"), (std::vector<std::wstring>{L"a", L""}));
  EXPECT_TRUE(SplitLines(L"").empty());
}

TEST(Trim, ControlAndBlankOnly) {
  EXPECT_EQ(Trim(L" \t\x01" L"B\x1F "), L"B");
  EXPECT_EQ(Trim(std::wstring(L"\0A\0", 3)), L"A");
  EXPECT_EQ(Trim(L"  Service Pack 3  "), L"Service Pack 3");
  EXPECT_EQ(Trim(L"\x21X\x7F"), L"\x21X\x7F");  // 33 and 127 are kept
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(Trim(L""), L"");
}

TEST(Utf8ToWide, IllFormedUtf8BecomesOneReplacementPerMaximalPart) {
  const std::wstring R = L"\xFFFD";
  struct TRow {
    const char* sName;
    std::string sBytes;
    std::wstring sText;
  } rows[] = {
      {"stray continuation", "a\x80" "b", L"a" + R + L"b"},
      {"overlong two-byte NUL", "\xC0\x80", R + R},
      {"overlong three-byte", "\xE0\x80\x80", R + R + R},
      {"encoded surrogate", "\xED\xA0\x80", R + R + R},
      {"above U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
      {"F5 never starts", "\xF5" "a", R + L"a"},
      {"truncated three-byte before ASCII", "\xE2\x82" "a", R + L"a"},
      {"truncated at the end", "a\xF0\x9F\x98", L"a" + R},
      {"a line end inside is never swallowed", "\xE2\r\n", R + L"\r\n"},
      {"largest valid", "\xF4\x8F\xBF\xBF", L"\xDBFF\xDFFF"},
      {"smallest three-byte", "\xE0\xA0\x80", L"\x0800"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sName);
    EXPECT_EQ(Utf8ToWide(r.sBytes.data(), r.sBytes.size()), r.sText);
  }
}

TEST(WideToUtf8, PairsJoinAndLoneSurrogatesAreReplaced) {
  const std::wstring sText = L"Pr\x00FC" L"fung \x20AC \xD83D\xDE00 \xDC00";
  EXPECT_EQ(WideToUtf8(sText), "Pr\xC3\xBC" "fung \xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToWide(WideToUtf8(L"a\xD83D\xDE00z")), L"a\xD83D\xDE00z");
}

}  // namespace
}  // namespace sw
