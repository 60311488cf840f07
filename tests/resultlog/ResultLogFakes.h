#pragma once
#include <stdexcept>
#include <string>

#include "resultlog/ResultLogFile.h"
#include "common/Locale.h"

namespace sw::test {

// Windows-1252 as MultiByteToWideChar/WideCharToMultiByte treat it: the five
// undefined bytes map to the C1 control of the same value, and a character the page
// lacks becomes '?'.
class TCp1252 : public ICodePage {
 public:
  std::string ToAnsi(const std::wstring& s) override {
    std::string out;
    for (wchar_t c : s) {
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out += static_cast<char>(c);
        continue;
      }
      char b = '?';
      for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) b = static_cast<char>(0x80 + i);
      out += b;
    }
    return out;
  }
  std::wstring FromAnsi(const std::string& s) override {
    std::wstring out;
    for (char ch : s) {
      const unsigned char b = static_cast<unsigned char>(ch);
      out += (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<wchar_t>(b);
    }
    return out;
  }

 private:
  static constexpr wchar_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
};

// The log as a string of bytes, with switches for every way the file can fail.
class TFakeLogFile : public IResultLogFile {
 public:
  std::string sFile;
  bool bExists = true;       // the file is there
  bool bCreatable = true;    // EnsureExists may create it
  bool bReadable = true;
  bool bWritable = true;
  bool bThrowOnRead = false;  // an adapter bug: must not escape either
  int nAppends = 0, nReads = 0;
  std::size_t cbLastMax = 0;

  bool EnsureExists() override {
    if (!bExists && bCreatable) bExists = true;
    return bExists;
  }
  bool ReadHead(std::size_t cbMax, std::string& sBytes, bool& bTruncated) override {
    ++nReads;
    cbLastMax = cbMax;
    if (bThrowOnRead) throw std::runtime_error("read");
    if (!bExists || !bReadable) return false;
    sBytes = sFile.substr(0, cbMax);
    bTruncated = sFile.size() > cbMax;
    return true;
  }
  bool Append(const std::string& sBytes) override {
    ++nAppends;
    if (!bExists || !bWritable) return false;
    sFile += sBytes;
    return true;
  }
};

}  // namespace sw::test
