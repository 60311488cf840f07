#pragma once
// Turns the fuzzer's bytes into the values a target needs. Every read is total: when
// the bytes run out, numbers come back 0 and texts empty, so any input is valid.
#include <cstddef>
#include <cstdint>
#include <string>

namespace swfuzz {

class TFuzzInput {
 public:
  TFuzzInput(const std::uint8_t* pData, std::size_t cbData) : FpData(pData), FcbLeft(cbData) {}

  bool Empty() const { return FcbLeft == 0; }
  std::size_t Left() const { return FcbLeft; }

  std::uint8_t Byte() {
    if (FcbLeft == 0) return 0;
    --FcbLeft;
    return *FpData++;
  }
  std::uint32_t U32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return v;
  }
  // A text of up to nMaxChars UTF-16 units. The first byte is the length; each
  // character is one byte, or a full 16-bit unit after the escape byte 0xFF, so
  // that short inputs still reach blanks, control characters and surrogates.
  std::wstring Text(std::size_t nMaxChars = 255) {
    std::size_t n = Byte();
    if (n > nMaxChars) n = nMaxChars;
    std::wstring s;
    while (n-- > 0 && FcbLeft > 0) {
      std::uint8_t b = Byte();
      if (b == 0xFF) {
        const std::uint16_t lo = Byte();
        const std::uint16_t hi = Byte();
        s += static_cast<wchar_t>(lo | (hi << 8));
      } else {
        s += static_cast<wchar_t>(b);
      }
    }
    return s;
  }
  // The rest of the input as raw bytes.
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(FpData), FcbLeft);
    FpData += FcbLeft;
    FcbLeft = 0;
    return s;
  }

 private:
  const std::uint8_t* FpData;
  std::size_t FcbLeft;
};

}  // namespace swfuzz

// A broken invariant aborts, so that libFuzzer records the input as a crash.
#define SW_FUZZ_CHECK(cond) \
  do {                      \
    if (!(cond)) __builtin_trap(); \
  } while (0)
