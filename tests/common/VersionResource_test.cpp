#include "common/VersionResource.h"

#include <gtest/gtest.h>

#include <vector>

namespace sw {
namespace {

// A root block as rc writes it: header, L"VS_VERSION_INFO", padding, the fixed part
// (signature, structure version, file version 3.0.0.13, the rest 0), then a child.
std::vector<unsigned char> Block() {
  std::vector<unsigned char> b;
  auto word = [&](unsigned w) { b.push_back(w & 0xFF), b.push_back(w >> 8); };
  word(0), word(52), word(0);
  for (char16_t c : u"VS_VERSION_INFO") word(c);
  word(0);
  for (unsigned w : {0x04BDu, 0xFEEFu, 0u, 1u, 0u, 3u, 13u, 0u}) word(w);
  for (int i = 0; i < 18 + 16; ++i) word(i < 18 ? 0 : 'A');
  b[0] = static_cast<unsigned char>(b.size());
  return b;
}

TEST(VersionResource, FileVersionFromTheFixedPartOnly) {
  EXPECT_EQ(FileVersionTextOfResource(Block()), L"3.0.0.13");
  struct TRow {
    const char* sWhat;
    std::size_t nAt;  // byte changed, or the size cut to when bCut
    unsigned char nValue;
    bool bCut;
  } rows[] = {
      {"other signature", 40, 0xBE, false},          {"no fixed part (value length 0)", 2, 0, false},
      {"other key", 8, 'W', false},                  {"block longer than the resource", 0, 0xFF, false},
      {"resource cut inside the fixed part", 91, 0, true}, {"empty resource", 0, 0, true},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.sWhat);
    std::vector<unsigned char> b = Block();
    if (r.bCut)
      b.resize(r.nAt);
    else
      b[r.nAt] = r.nValue;
    EXPECT_EQ(FileVersionTextOfResource(b), L"");
  }
}

}  // namespace
}  // namespace sw
