#include "common/VersionResource.h"

#include <gtest/gtest.h>

#include <vector>

namespace sw {
namespace {

// A root block as rc writes it: header, L"VS_VERSION_INFO", padding, the fixed part,
// then a child block the reader must not need.
std::vector<unsigned char> Block(std::uint32_t dwMS, std::uint32_t dwLS) {
  std::vector<unsigned char> b;
  auto word = [&](std::uint32_t w) {
    b.push_back(static_cast<unsigned char>(w));
    b.push_back(static_cast<unsigned char>(w >> 8));
  };
  auto dword = [&](std::uint32_t d) { word(d & 0xFFFF), word(d >> 16); };
  word(0), word(52), word(0);
  for (char16_t c : u"VS_VERSION_INFO") word(c);
  word(0);
  dword(0xFEEF04BD), dword(0x00010000), dword(dwMS), dword(dwLS);
  for (int i = 0; i < 9; ++i) dword(0);
  for (int i = 0; i < 8; ++i) dword(0x00410041);  // "StringFileInfo" and the rest
  b[0] = static_cast<unsigned char>(b.size());
  return b;
}

TEST(VersionResource, FileVersionFromTheFixedPart) {
  EXPECT_EQ(FileVersionTextOfResource(Block(0x00030000, 0x0000000D)), L"3.0.0.13");
  EXPECT_EQ(FileVersionTextOfResource(Block(0xFFFF0001, 0x0002FFFE)), L"65535.1.2.65534");
}

TEST(VersionResource, NoVersionFromABlockWithoutAFixedPart) {
  struct TRow {
    const char* sWhat;
    std::size_t nAt;  // byte changed, or the size cut to when bCut
    unsigned char nValue;
    bool bCut;
  } rows[] = {
      {"other signature", 40, 0xBE, false},
      {"no fixed part (value length 0)", 2, 0, false},
      {"other key", 8, 'W', false},
      {"block longer than the resource", 0, 0xFF, false},
      {"resource cut inside the fixed part", 91, 0, true},
      {"empty resource", 0, 0, true},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.sWhat);
    std::vector<unsigned char> b = Block(0x00030000, 0x0000000D);
    if (r.bCut)
      b.resize(r.nAt);
    else
      b[r.nAt] = r.nValue;
    EXPECT_EQ(FileVersionTextOfResource(b), L"");
  }
}

}  // namespace
}  // namespace sw
