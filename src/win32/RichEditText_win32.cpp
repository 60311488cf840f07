#include "win32/RichEditText_win32.h"

#include <richedit.h>

namespace sw {

std::wstring RichEditText(HWND h) {
  GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LONG n = static_cast<LONG>(::SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
  if (n <= 0) return std::wstring();
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  TEXTRANGEW tr{{0, n}, s.data()};
  const LONG got = static_cast<LONG>(::SendMessageW(h, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)));
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return s;
}

}  // namespace sw
