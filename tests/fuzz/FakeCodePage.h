#pragma once
// A single-byte code page for the targets: byte n is U+00nn, and characters beyond
// U+00FF become '?', as the system's replacement does.
#include "common/Locale.h"

namespace swfuzz {

class TLatin1CodePage : public sw::ICodePage {
 public:
  std::string ToAnsi(const std::wstring& s) override {
    std::string r;
    for (wchar_t c : s) r += static_cast<unsigned>(c) <= 0xFF ? static_cast<char>(c) : '?';
    return r;
  }
  std::wstring FromAnsi(const std::string& s) override {
    std::wstring r;
    for (char c : s) r += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return r;
  }
};

}  // namespace swfuzz
