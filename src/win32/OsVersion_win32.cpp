#include "win32/OsVersion_win32.h"

// GetVersionExW is deprecated in newer SDKs, but it is the call whose answer is wanted:
// the version the system reports to this program.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace sw {

static_assert(sizeof(OSVERSIONINFOEXW) == 284, "extended version record size");

bool ReadPlainVersion(OSVERSIONINFOW& aInfo) {
  ZeroMemory(&aInfo, sizeof aInfo);
  aInfo.dwOSVersionInfoSize = sizeof aInfo;
  return ::GetVersionExW(&aInfo) != FALSE;
}

bool ReadExtendedVersion(OSVERSIONINFOEXW& aInfo) {
  ZeroMemory(&aInfo, sizeof aInfo);
  aInfo.dwOSVersionInfoSize = sizeof aInfo;
  return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&aInfo)) != FALSE;
}

}  // namespace sw
