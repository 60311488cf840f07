#include "resultlog/ResultLog.h"

#include "report/InfoItem.h"
#include "resultlog/ResultLogFile.h"
#include "sysquery/Locale.h"

namespace sw {

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

unsigned char Byte(const char* p, std::size_t i) { return static_cast<unsigned char>(p[i]); }

void AppendCodePoint(std::wstring& s, char32_t cp) {
  if (cp < 0x10000) {
    s += static_cast<wchar_t>(cp);
  } else {
    cp -= 0x10000;
    s += static_cast<wchar_t>(0xD800 + (cp >> 10));
    s += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  }
}
}  // namespace

ELogEncoding DetectLogEncoding(const std::string& sBytes, std::size_t& cbMark) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(sBytes[i]); };
  if (sBytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
    cbMark = 3;
    return ELogEncoding::Utf8;
  }
  if (sBytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
    cbMark = 2;
    return ELogEncoding::Utf16LE;
  }
  if (sBytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
    cbMark = 2;
    return ELogEncoding::Utf16BE;
  }
  cbMark = 0;
  return ELogEncoding::Ansi;
}

std::wstring DecodeUtf8(const char* p, std::size_t cb) {
  std::wstring s;
  s.reserve(cb);
  std::size_t i = 0;
  while (i < cb) {
    const unsigned char c = Byte(p, i);
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
      s += kReplacement;
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k < n && i + k < cb; ++k) {
      const unsigned char t = Byte(p, i + k);
      if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) break;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (k == n) {
      AppendCodePoint(s, cp);
    } else {
      s += kReplacement;  // the valid prefix read so far stands for one character
    }
    i += k;
  }
  return s;
}

std::wstring DecodeUtf16(const char* p, std::size_t cb, bool bBigEndian) {
  std::wstring s;
  s.reserve(cb / 2 + 1);
  for (std::size_t i = 0; i + 1 < cb; i += 2) {
    const unsigned a = Byte(p, i), b = Byte(p, i + 1);
    s += static_cast<wchar_t>(bBigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  if (cb % 2) s += kReplacement;
  return s;
}

std::wstring DecodeLogBytes(const std::string& sBytes, ICodePage& aCodePage) {
  std::size_t cbMark = 0;
  const ELogEncoding e = DetectLogEncoding(sBytes, cbMark);
  const char* p = sBytes.data() + cbMark;
  const std::size_t cb = sBytes.size() - cbMark;
  switch (e) {
    case ELogEncoding::Utf8: return DecodeUtf8(p, cb);
    case ELogEncoding::Utf16LE: return DecodeUtf16(p, cb, false);
    case ELogEncoding::Utf16BE: return DecodeUtf16(p, cb, true);
    case ELogEncoding::Ansi: break;
  }
  return aCodePage.FromAnsi(sBytes);
}

std::vector<std::wstring> SplitLogLines(const std::wstring& sText, bool bDropUnended) {
  static constexpr wchar_t kStops[] = {L'\r', L'\n', L'\0'};
  std::vector<std::wstring> lines;
  std::wstring line;
  std::size_t i = 0;
  while (i < sText.size()) {
    const std::size_t e = sText.find_first_of(kStops, i, 3);
    line.append(sText, i, (e == std::wstring::npos ? sText.size() : e) - i);
    if (e == std::wstring::npos) break;
    i = e + 1;
    if (sText[e] == L'\0') {
      line += L' ';
      continue;
    }
    if (sText[e] == L'\r' && i < sText.size() && sText[i] == L'\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  // A text that ends in a line end has no further line; otherwise the rest counts.
  const bool bUnended = !sText.empty() && sText.back() != L'\r' && sText.back() != L'\n';
  if (bUnended && !bDropUnended) lines.push_back(std::move(line));
  return lines;
}

std::string EncodeLogBlock(const std::wstring& sNewEntries, ICodePage& aCodePage) {
  std::string s = aCodePage.ToAnsi(sNewEntries);
  s += "\r\n";
  return s;
}

bool ReadLogLines(IResultLogFile& aLog, ICodePage& aCodePage, std::size_t cbMax,
                  std::vector<std::wstring>& Lines) {
  std::string sBytes;
  bool bTruncated = false;
  if (!aLog.ReadHead(cbMax, sBytes, bTruncated)) return false;
  Lines = SplitLogLines(DecodeLogBytes(sBytes, aCodePage), bTruncated);
  return true;
}

std::size_t AppendLinesUntilFull(ITextPane& aPane, const std::vector<std::wstring>& Lines) {
  // The lines that fit go in as one insertion: a RichEdit control takes one block of
  // 64K characters far faster than a thousand lines one by one. The pane still has
  // the last word: when it refuses the block, or takes more than counted here, the
  // copy goes on line by line until the first line it refuses.
  const std::size_t nUsed = aPane.TextLength();
  std::size_t nRoom = nUsed < kPaneCapacity ? kPaneCapacity - nUsed : 0;
  std::size_t nFit = 0;
  for (; nFit < Lines.size() && Lines[nFit].size() + 1 <= nRoom; ++nFit) nRoom -= Lines[nFit].size() + 1;
  std::size_t n = 0;
  if (nFit > 1) {
    std::wstring sBlock;
    for (std::size_t i = 0; i < nFit; ++i) {
      if (i) sBlock += L"\r\n";
      sBlock += Lines[i];
    }
    try {
      aPane.AddPlainLine(sBlock);
      n = nFit;
    } catch (const EPaneInsertError&) {
      // A pane smaller than counted: the line-by-line copy below finds its end.
    }
  }
  try {
    for (; n < Lines.size(); ++n) aPane.AddPlainLine(Lines[n]);
  } catch (const EPaneInsertError&) {
    // The pane is full: this line and every newer one stay out.
  }
  return n;
}

void TServiceInfos::CollectLogEntries(ITextPane& RichEditInfo, IResultLogFile& aLog,
                                      ICodePage& aCodePage) {
  try {
    if (!aLog.EnsureExists()) return;
    std::vector<std::wstring> lines;
    if (!ReadLogLines(aLog, aCodePage, kLogHeadBytes, lines)) return;
    AppendLinesUntilFull(RichEditInfo, lines);
  } catch (...) {
    // The history is a courtesy: no failure of it may reach the run.
  }
}

void TServiceInfos::HandleLog(const std::wstring& sNewEntries, IResultLogFile& aLog,
                              ICodePage& aCodePage) {
  try {
    if (!aLog.EnsureExists()) return;
    // A report the code page could not convert would leave a bare line end.
    const std::string sBlock = EncodeLogBlock(sNewEntries, aCodePage);
    if (!sNewEntries.empty() && sBlock.size() == 2) return;
    aLog.Append(sBlock);
  } catch (...) {
    // Not being able to write the log must not stop the run.
  }
}

}  // namespace sw
