#include "resultlog/ResultLog.h"

#include "common/Text.h"
#include "report/InfoItem.h"
#include "resultlog/ResultLogFile.h"
#include "common/Locale.h"

#include <algorithm>
#include <utility>

namespace sw {

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

unsigned char Byte(const char* p, std::size_t i) { return static_cast<unsigned char>(p[i]); }
}  // namespace

TLogEncoding DetectLogEncoding(const std::string& sBytes, std::size_t& cbMark) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(sBytes[i]); };
  if (sBytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
    cbMark = 3;
    return TLogEncoding::Utf8;
  }
  if (sBytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
    cbMark = 2;
    return TLogEncoding::Utf16LE;
  }
  if (sBytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
    cbMark = 2;
    return TLogEncoding::Utf16BE;
  }
  cbMark = 0;
  return TLogEncoding::Ansi;
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
  const TLogEncoding e = DetectLogEncoding(sBytes, cbMark);
  const char* p = sBytes.data() + cbMark;
  const std::size_t cb = sBytes.size() - cbMark;
  switch (e) {
    case TLogEncoding::Utf8: return Utf8ToWide(p, cb);
    case TLogEncoding::Utf16LE: return DecodeUtf16(p, cb, false);
    case TLogEncoding::Utf16BE: return DecodeUtf16(p, cb, true);
    case TLogEncoding::Ansi: break;
  }
  return aCodePage.FromAnsi(sBytes);
}

std::vector<std::wstring> SplitLogLines(const std::wstring& sText, bool bDropUnended, std::size_t nMaxChars) {
  std::vector<TLineSpan> spans = SplitLineSpans(sText);
  if (bDropUnended && !EndsWithLineEnd(sText)) spans.pop_back();
  std::vector<std::wstring> lines;
  std::size_t nChars = 0;
  for (const TLineSpan& span : spans) {
    std::wstring& line = lines.emplace_back(sText, span.nStart, span.nLength);
    std::replace(line.begin(), line.end(), L'\0', L' ');
    // Each line costs the pane its characters and its line end; after the first that
    // overflows nMaxChars no line can be shown, and none is made.
    nChars += span.nLength + 1;
    if (nChars > nMaxChars) break;
  }
  return lines;
}

std::string EncodeLogBlock(const std::wstring& sNewEntries, ICodePage& aCodePage) {
  std::string s = aCodePage.ToAnsi(sNewEntries);
  s += "\r\n";
  return s;
}

bool ReadLogLines(IResultLogFile& aLog, ICodePage& aCodePage, std::size_t cbMax,
                  std::vector<std::wstring>& Lines, std::size_t nMaxChars) {
  std::string sBytes;
  bool bTruncated = false;
  if (!aLog.ReadHead(cbMax, sBytes, bTruncated)) return false;
  Lines = SplitLogLines(DecodeLogBytes(sBytes, aCodePage), bTruncated, nMaxChars);
  return true;
}

std::size_t AppendLinesUntilFull(ITextPane& aPane, std::vector<std::wstring> Lines) {
  // The lines that fit go in as blocks of some thousand characters: a RichEdit control
  // takes a block far faster than its lines one by one, and Wine's takes a full pane
  // in blocks of 8K in about two thirds of the time it needs for one block of 64K. The
  // first blocks are smaller: the pane's scroll bar comes up while the history goes in,
  // and Wine's RichEdit then lays out all it holds once more, which costs the less the
  // sooner it happens. The pane still has the last word: when it refuses a block, or
  // takes more than counted here, the copy goes on line by line from that block until
  // the first line it refuses.
  const std::size_t nUsed = aPane.TextLength();
  std::size_t nRoom = nUsed < kPaneCapacity ? kPaneCapacity - nUsed : 0;
  std::size_t nFit = 0;
  for (; nFit < Lines.size() && Lines[nFit].size() + 1 <= nRoom; ++nFit) nRoom -= Lines[nFit].size() + 1;
  std::size_t n = 0;
  std::size_t nBlockChars = kHistoryFirstBlockChars;
  while (n < nFit) {
    std::size_t nEnd = n + 1, nChars = Lines[n].size();
    while (nEnd < nFit && nChars + 2 + Lines[nEnd].size() <= nBlockChars) nChars += 2 + Lines[nEnd++].size();
    nBlockChars = std::min(2 * nBlockChars, kHistoryBlockChars);
    std::wstring sBlock;
    sBlock.reserve(nChars);
    for (std::size_t i = n; i < nEnd; ++i) {
      if (i > n) sBlock += L"\r\n";
      sBlock += Lines[i];
    }
    try {
      aPane.AddPlainLine(sBlock);
    } catch (const EPaneInsertError&) {
      // A pane smaller than counted: the line-by-line copy below finds its end.
      break;
    }
    // The pane holds them now: their memory serves its own.
    for (; n < nEnd; ++n) std::wstring().swap(Lines[n]);
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
    // The head holds up to four panes' worth of text: lines that not even an empty
    // pane could show are never made, so their memory is not taken from the pane's.
    std::vector<std::wstring> lines;
    if (!ReadLogLines(aLog, aCodePage, kLogHeadBytes, lines, kPaneCapacity)) return;
    AppendLinesUntilFull(RichEditInfo, std::move(lines));
  } catch (...) {
    // The history is a courtesy: no failure of it may reach the run.
  }
}

bool TServiceInfos::HandleLog(const std::wstring& sNewEntries, IResultLogFile& aLog,
                              ICodePage& aCodePage) {
  try {
    if (!aLog.EnsureExists()) return false;
    // A report the code page could not convert would leave a bare line end.
    const std::string sBlock = EncodeLogBlock(sNewEntries, aCodePage);
    if (!sNewEntries.empty() && sBlock.size() == 2) return false;
    return aLog.Append(sBlock);
  } catch (...) {
    // Not being able to write the log must not stop the run.
    return false;
  }
}

}  // namespace sw
