#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace sw {

// Where one line of a text lies: its first character and its length, line end excluded.
struct TLineSpan {
  std::size_t nStart;
  std::size_t nLength;
};

// The one line rule of the program: a CR LF, a lone CR and a lone LF each end a line.
// A text that ends in a line end has no further line; an unended rest is the last
// line; an empty text has no lines. (A RichEdit control ends every paragraph, the
// last one too, with its own CR: its text splits into exactly its paragraphs.)
std::vector<TLineSpan> SplitLineSpans(const std::wstring& sText);
std::vector<std::wstring> SplitLines(const std::wstring& sText);

// True when the text ends in CR or LF (or is empty): its last line is complete.
bool EndsWithLineEnd(const std::wstring& sText);

// a-z to A-Z, every other code unit as it is (drive letters, whatever the locale).
inline wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Blanks and control characters (code units up to U+0020) removed at both ends.
std::wstring Trim(const std::wstring& sText);

// UTF-8 to UTF-16: every ill-formed sequence (its maximal valid prefix, at least one
// byte) becomes one U+FFFD.
std::wstring Utf8ToWide(const char* pBytes, std::size_t cbBytes);
std::wstring Utf8ToWide(const std::string& sBytes);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& sText);

}  // namespace sw
