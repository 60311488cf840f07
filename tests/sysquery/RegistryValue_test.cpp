#include "sysquery/RegistryValue.h"

#include <gtest/gtest.h>

#include <optional>
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

// Raw value data as the registry hands it over: any length, any bytes, any type. Every
// row is converted from an odd address too, as the data may sit anywhere in a buffer.
TEST(RegistryString, RawDataToText) {
  const std::wstring kMegabyte(512 * 1024, L'x');  // 1 MB of UTF-16, no terminator
  const std::uint32_t kStringTypes[] = {kRegSz, kRegExpandSz};
  const std::uint32_t kOtherTypes[] = {0u, kRegBinary, kRegDword, 5u, 6u, kRegMultiSz, kRegQword};
  struct Row {
    const char* sWhat;
    std::vector<std::uint8_t> aData;
    std::wstring sText;  // as REG_SZ and as REG_EXPAND_SZ
  } rows[] = {
      {"terminated", Utf16Bytes(std::wstring(L"abc\0", 4)), L"abc"},
      {"no terminator", Utf16Bytes(L"abc"), L"abc"},
      {"odd length drops the half character", [] { auto a = Utf16Bytes(L"abc"); a.push_back('d'); return a; }(), L"abc"},
      {"one byte", {0x41}, L""},
      {"embedded zero ends the text", Utf16Bytes(std::wstring(L"ab\0cd\0", 6)), L"ab"},
      {"zero first", Utf16Bytes(std::wstring(L"\0abc", 4)), L""},
      {"umlaut and surrogate pair", Utf16Bytes(L"Pr\x00FC" L"f\xD83D\xDE00"), L"Pr\x00FC" L"f\xD83D\xDE00"},
      {"expandable text stays unexpanded", Utf16Bytes(std::wstring(L"%SystemRoot%\\x\0", 15)), L"%SystemRoot%\\x"},
      {"1 MB without terminator", Utf16Bytes(kMegabyte), kMegabyte},
      {"empty", {}, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sWhat);
    std::vector<std::uint8_t> aShifted(r.aData.size() + 1);
    std::copy(r.aData.begin(), r.aData.end(), aShifted.begin() + 1);
    for (const std::uint8_t* p : {r.aData.data(), static_cast<const std::uint8_t*>(aShifted.data() + 1)}) {
      for (std::uint32_t dwType : kStringTypes) {
        SCOPED_TRACE(dwType);
        const auto s = StringFromRegistryData(dwType, p, r.aData.size());
        ASSERT_TRUE(s.has_value());
        EXPECT_TRUE(*s == r.sText) << "size " << s->size();  // no 1 MB dump on failure
      }
      // Whatever the bytes, a value of another type is no text.
      for (std::uint32_t dwType : kOtherTypes) {
        SCOPED_TRACE(dwType);
        EXPECT_FALSE(StringFromRegistryData(dwType, p, r.aData.size()).has_value());
      }
    }
  }
}

TEST(RegistryDword, ExactlyFourBytesOfRegDword) {
  const std::uint8_t a[8] = {0x78, 0x56, 0x34, 0x12, 1, 2, 3, 4};
  const std::uint8_t aMinus[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  struct Row {
    std::uint32_t dwType;
    const std::uint8_t* pData;
    std::size_t cbData;
    std::optional<std::int32_t> iValue;
  } rows[] = {
      {kRegDword, a, 4, 0x12345678},
      {kRegDword, aMinus, 4, -1},
      {kRegDword, a, 0, std::nullopt},
      {kRegDword, a, 1, std::nullopt},
      {kRegDword, a, 2, std::nullopt},
      {kRegDword, a, 3, std::nullopt},
      {kRegDword, a, 5, std::nullopt},
      {kRegDword, a, 8, std::nullopt},
      {kRegDword, nullptr, 4, std::nullopt},
      {kRegSz, a, 4, std::nullopt},
      {kRegBinary, a, 4, std::nullopt},
      {5u /* big-endian DWORD */, a, 4, std::nullopt},
      {kRegQword, a, 4, std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.dwType << ", " << r.cbData << " bytes");
    EXPECT_EQ(DwordFromRegistryData(r.dwType, r.pData, r.cbData), r.iValue);
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
