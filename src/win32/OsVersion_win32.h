#pragma once
#include <windows.h>

namespace sw {

// GetVersionExW with the plain record; false (record zeroed) when the call fails.
bool ReadPlainVersion(OSVERSIONINFOW& aInfo);
// GetVersionExW with the extended record (284 bytes); false (record zeroed) when the
// system does not know it (9x, NT 4 before SP6).
bool ReadExtendedVersion(OSVERSIONINFOEXW& aInfo);

}  // namespace sw
