#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/TextPane.h"

namespace sw {

class ICodePage;
class IResultLogFile;

// How the bytes of the log are read: a byte order mark picks UTF-8 or UTF-16, any
// other start means the ANSI code page.
enum class TLogEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// The mark at the start of sBytes and its length in bytes (0 for Ansi).
TLogEncoding DetectLogEncoding(const std::string& sBytes, std::size_t& cbMark);

// UTF-16 in the given byte order; a dangling odd byte becomes U+FFFD. Unpaired
// surrogates are kept as they are: they are code units the pane can hold.
std::wstring DecodeUtf16(const char* pBytes, std::size_t cbBytes, bool bBigEndian);
// Whole log bytes (mark included) to text.
std::wstring DecodeLogBytes(const std::string& sBytes, ICodePage& aCodePage);

// The program's line rule (SplitLines). A last line without a line end counts,
// unless bDropUnended (the text is a cut-off head, so its last line is incomplete).
// An empty text gives no lines. A NUL becomes a blank: the pane's control ends a
// string at NUL, and every byte must still cost the pane a character (see
// kLogHeadBytes). The lines end with the first one whose line end takes the count of
// characters past nMaxChars (each line counted with one character for its end).
std::vector<std::wstring> SplitLogLines(const std::wstring& sText, bool bDropUnended,
                                        std::size_t nMaxChars = SIZE_MAX);

// The bytes one run appends: the report in the ANSI code page, then CR LF.
std::string EncodeLogBlock(const std::wstring& sNewEntries, ICodePage& aCodePage);

// Bytes of the log read for the pane. No encoding spends more than 4 bytes on one
// pane character (an empty UTF-16 line: CR LF in 4 bytes for its one line end), so
// this many bytes after the longest mark always reach past the line that overflows
// an empty pane. A cut-off last line can then only be one that does not fit either,
// and the pane shows what reading the whole file would show.
inline constexpr std::size_t kLogMaxMarkBytes = 3;
inline constexpr std::size_t kLogHeadBytes = kLogMaxMarkBytes + 4 * (kPaneCapacity + 2);

// The lines of the log as the pane gets them, read from the head of the file and
// ended as SplitLogLines ends them; false when the file cannot be read.
bool ReadLogLines(IResultLogFile& aLog, ICodePage& aCodePage, std::size_t cbMax,
                  std::vector<std::wstring>& Lines, std::size_t nMaxChars = SIZE_MAX);

// Appends lines to the pane's plain line list until one does not fit; returns how
// many were added. The first line that does not fit ends the copying silently.
// The lines that fit by the pane's capacity go in joined by CR LF, in calls of at most
// kHistoryFirstBlockChars characters, twice as many in each next call up to
// kHistoryBlockChars (a longer line alone); each block's lines are let go once the
// pane holds them.
inline constexpr std::size_t kHistoryFirstBlockChars = 1024;
inline constexpr std::size_t kHistoryBlockChars = 8192;
std::size_t AppendLinesUntilFull(ITextPane& aPane, std::vector<std::wstring> Lines);

}  // namespace sw
