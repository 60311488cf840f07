#include "common/VersionResource.h"

#include <gtest/gtest.h>

#include <vector>

namespace sw {
namespace {

TEST(VersionResource, FileVersionFromTheFixedPartOnly) {
  // A root block as rc writes it: header, L"VS_VERSION_INFO", padding, the fixed part
  // (signature, structure version, file version 3.0.0.13, the rest 0), then a child.
  std::vector<unsigned char> good;
  auto word = [&](unsigned w) { good.push_back(w & 0xFF), good.push_back(w >> 8); };
  word(0), word(52), word(0);
  for (char16_t c : u"VS_VERSION_INFO") word(c);
  for (unsigned w : {0u, 0x04BDu, 0xFEEFu, 0u, 1u, 0u, 3u, 13u, 0u}) word(w);
  for (int i = 0; i < 18 + 16; ++i) word(i < 18 ? 0 : 'A');
  good[0] = static_cast<unsigned char>(good.size());
  EXPECT_EQ(FileVersionTextOfResource(good), L"3.0.0.13");

  // Byte at nAt set to nValue, or the resource cut to nAt bytes (nValue -1).
  const struct { const char* sWhat; std::size_t nAt; int nValue; } rows[] = {
      {"other signature", 40, 0xBE}, {"no fixed part (value length 0)", 2, 0}, {"other key", 8, 'W'},
      {"block longer than the resource", 0, 0xFF}, {"cut inside the fixed part", 91, -1}, {"empty", 0, -1}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sWhat);
    std::vector<unsigned char> b = good;
    if (r.nValue < 0)
      b.resize(r.nAt);
    else
      b[r.nAt] = static_cast<unsigned char>(r.nValue);
    EXPECT_EQ(FileVersionTextOfResource(b), L"");
  }
}

}  // namespace
}  // namespace sw
