#include "resultlog/ResultLogFile_win32.h"

namespace sw {

// Placeholders until the result log lands.
TResultLogFileWin32::TResultLogFileWin32() = default;
bool TResultLogFileWin32::EnsureExists() { return false; }
bool TResultLogFileWin32::ReadHead(std::size_t, std::string&, bool&) { return false; }
bool TResultLogFileWin32::Append(const std::string&) { return false; }

}  // namespace sw
