#include "win32/SystemError_win32.h"

namespace sw {

std::wstring SystemErrorText(DWORD dwError) {
  wchar_t* p = nullptr;
  const DWORD cch = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0,
      reinterpret_cast<wchar_t*>(&p), 0, nullptr);
  if (!p) return std::wstring();
  std::wstring s(p, cch);
  ::LocalFree(p);
  return s;
}

}  // namespace sw
