#pragma once
#include <windows.h>

#include <string>

namespace sw {

// The running program's file name, grown from cchStart characters until it fits;
// "" when it cannot be read or is longer than 65536 characters.
std::wstring ExePathW(unsigned long cchStart = 260);

// The fixed part of a file's version resource; false (aInfo untouched) when the file
// has none or version.dll is missing.
bool ReadFixedFileInfo(const std::wstring& sFileName, VS_FIXEDFILEINFO& aInfo);

// The version text "a.b.c.d" of a file's fixed file version, "" when it has none.
std::wstring GetFileVersionText(const std::wstring& sFileName);
// The version text of the running program, read from its own mapped resources.
std::wstring GetToolVersion();

}  // namespace sw
