#include "sysquery/RegistryValue.h"

#include <gtest/gtest.h>

#include <vector>

namespace sw {
namespace {

std::vector<std::uint8_t> Utf16Bytes(const std::wstring& s) {
  std::vector<std::uint8_t> a;
  for (wchar_t c : s) {
    a.push_back(static_cast<std::uint8_t>(c & 0xFF));
    a.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
  }
  return a;
}

TEST(RegistryString, TerminatorOddLengthAndEmbeddedZeros) {
  struct Row {
    const char* sWhat;
    std::vector<std::uint8_t> aData;
    std::wstring sText;
  } rows[] = {
      {"terminated", Utf16Bytes(std::wstring(L"abc\0", 4)), L"abc"},
      {"no terminator", Utf16Bytes(L"abc"), L"abc"},
      {"odd length drops the half character", [] { auto a = Utf16Bytes(L"abc"); a.push_back('d'); return a; }(), L"abc"},
      {"one byte", {0x41}, L""},
      {"embedded zero ends the text", Utf16Bytes(std::wstring(L"ab\0cd\0", 6)), L"ab"},
      {"zero first", Utf16Bytes(std::wstring(L"\0abc", 4)), L""},
      {"umlaut and surrogate pair", Utf16Bytes(L"Pr\x00FC" L"f\xD83D\xDE00"), L"Pr\x00FC" L"f\xD83D\xDE00"},
      {"empty", {}, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sWhat);
    for (std::uint32_t dwType : {kRegSz, kRegExpandSz}) {
      auto s = StringFromRegistryData(dwType, r.aData.data(), r.aData.size());
      ASSERT_TRUE(s.has_value());
      EXPECT_EQ(*s, r.sText);
    }
  }
}

TEST(RegistryString, ExpandableTextStaysUnexpanded) {
  auto a = Utf16Bytes(std::wstring(L"%SystemRoot%\\x\0", 15));
  EXPECT_EQ(StringFromRegistryData(kRegExpandSz, a.data(), a.size()).value(), L"%SystemRoot%\\x");
}

TEST(RegistryString, OneMegabyteWithoutTerminator) {
  std::vector<std::uint8_t> a(1024 * 1024);
  for (std::size_t i = 0; i < a.size(); i += 2) {
    a[i] = 'x';
    a[i + 1] = 0;
  }
  // Unaligned start: the data may sit anywhere in a buffer.
  std::vector<std::uint8_t> aShifted(a.size() + 1);
  std::copy(a.begin(), a.end(), aShifted.begin() + 1);
  auto s = StringFromRegistryData(kRegSz, aShifted.data() + 1, a.size());
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->size(), 512u * 1024u);
  EXPECT_EQ(s->find_first_not_of(L'x'), std::wstring::npos);
}

TEST(RegistryString, OtherTypesAreRejected) {
  auto a = Utf16Bytes(L"abc");
  for (std::uint32_t dwType : {0u, kRegBinary, kRegDword, 5u, 6u, kRegMultiSz, kRegQword}) {
    SCOPED_TRACE(dwType);
    EXPECT_FALSE(StringFromRegistryData(dwType, a.data(), a.size()).has_value());
  }
}

TEST(RegistryDword, ExactlyFourBytesOfRegDword) {
  const std::uint8_t a[8] = {0x78, 0x56, 0x34, 0x12, 1, 2, 3, 4};
  EXPECT_EQ(DwordFromRegistryData(kRegDword, a, 4).value(), 0x12345678);
  const std::uint8_t aMinus[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DwordFromRegistryData(kRegDword, aMinus, 4).value(), -1);
  for (std::size_t cb : {0u, 1u, 2u, 3u, 5u, 8u}) {
    SCOPED_TRACE(cb);
    EXPECT_FALSE(DwordFromRegistryData(kRegDword, a, cb).has_value());
  }
  for (std::uint32_t dwType : {kRegSz, kRegBinary, 5u /* big-endian DWORD */, kRegQword}) {
    SCOPED_TRACE(dwType);
    EXPECT_FALSE(DwordFromRegistryData(dwType, a, 4).has_value());
  }
}

TEST(RegistryKey, OneLeadingBackslashRemoved) {
  EXPECT_EQ(RegistryKeyPath(L"\\Hardware\\x"), L"Hardware\\x");
  EXPECT_EQ(RegistryKeyPath(L"Hardware\\x"), L"Hardware\\x");
  EXPECT_EQ(RegistryKeyPath(L"\\\\x"), L"\\x");
  EXPECT_EQ(RegistryKeyPath(L"\\"), L"");
  EXPECT_EQ(RegistryKeyPath(L""), L"");
}

TEST(ProductServer, KeyInRegistryForm) {
  EXPECT_EQ(GetProductServerKey(), L"\\CLSID\\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}\\LocalServer32");
  EXPECT_EQ(GuidToRegistryText({0x0000000A, 0xB, 0xC, {0, 1, 2, 3, 4, 5, 0xAB, 0xFF}}),
            L"{0000000A-000B-000C-0001-02030405ABFF}");
}

}  // namespace
}  // namespace sw
