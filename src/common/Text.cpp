#include "common/Text.h"

#include <cstdint>

namespace sw {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& s, char32_t cp) {
  // UTF-16 code units whatever the width of wchar_t: the program's texts are UTF-16.
  if (cp < 0x10000) {
    s += static_cast<wchar_t>(cp);
  } else {
    cp -= 0x10000;
    s += static_cast<wchar_t>(0xD800 + (cp >> 10));
    s += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  }
}

bool IsLineEnd(wchar_t c) { return c == L'\r' || c == L'\n'; }
}  // namespace

std::vector<TLineSpan> SplitLineSpans(const std::wstring& sText) {
  std::vector<TLineSpan> spans;
  const std::size_t n = sText.size();
  std::size_t p = 0;
  while (p < n) {
    std::size_t e = p;
    while (e < n && !IsLineEnd(sText[e])) ++e;
    spans.push_back({p, e - p});
    if (e + 1 < n && sText[e] == L'\r' && sText[e + 1] == L'\n') ++e;
    p = e + 1;
  }
  return spans;
}

std::vector<std::wstring> SplitLines(const std::wstring& sText) {
  std::vector<std::wstring> lines;
  for (const TLineSpan& s : SplitLineSpans(sText)) lines.push_back(sText.substr(s.nStart, s.nLength));
  return lines;
}

bool EndsWithLineEnd(const std::wstring& sText) { return sText.empty() || IsLineEnd(sText.back()); }

std::wstring Trim(const std::wstring& s) {
  // Compared unsigned: wchar_t is signed where it is 32 bits wide.
  const auto blank = [](wchar_t c) { return static_cast<std::uint32_t>(c) <= 32u; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::wstring Utf8ToWide(const char* p, std::size_t cb) {
  std::wstring s;
  s.reserve(cb);
  const auto byte = [p](std::size_t i) { return static_cast<unsigned char>(p[i]); };
  std::size_t i = 0;
  while (i < cb) {
    const unsigned char c = byte(i);
    if (c < 0x80) {
      s += static_cast<wchar_t>(c);
      ++i;
      continue;
    }
    // Length and the allowed range of the second byte (which rules out overlong
    // forms, surrogates and code points above U+10FFFF).
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 2, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3, cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4, cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      AppendCodePoint(s, kReplacement);
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k < n && i + k < cb; ++k) {
      const unsigned char t = byte(i + k);
      if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) break;
      cp = (cp << 6) | (t & 0x3F);
    }
    // An ill-formed sequence: the valid prefix read so far stands for one character.
    AppendCodePoint(s, k == n ? cp : kReplacement);
    i += k;
  }
  return s;
}

std::wstring Utf8ToWide(const std::string& s) { return Utf8ToWide(s.data(), s.size()); }

std::string WideToUtf8(const std::wstring& s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = static_cast<std::uint32_t>(s[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size()) {
      const char32_t lo = static_cast<std::uint32_t>(s[i + 1]);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
    if (cp < 0x80) {
      r += static_cast<char>(cp);
    } else if (cp < 0x800) {
      r += static_cast<char>(0xC0 | (cp >> 6));
      r += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      r += static_cast<char>(0xE0 | (cp >> 12));
      r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      r += static_cast<char>(0xF0 | (cp >> 18));
      r += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return r;
}

}  // namespace sw
