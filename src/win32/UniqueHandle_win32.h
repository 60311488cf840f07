#pragma once
#include <windows.h>

#include <utility>

namespace sw {

// One owner for one Windows handle. TTraits names the handle type, its invalid value
// and its close function. reset() closes what it held; there is no way to overwrite
// a handle without closing it.
template <typename TTraits>
class TUniqueHandle {
 public:
  using THandle = typename TTraits::THandle;
  TUniqueHandle() = default;
  explicit TUniqueHandle(THandle h) : Fh(h) {}
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& o) noexcept : Fh(std::exchange(o.Fh, TTraits::Invalid())) {}
  TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.Fh, TTraits::Invalid()));
    return *this;
  }
  ~TUniqueHandle() { reset(); }

  THandle get() const { return Fh; }
  explicit operator bool() const { return Fh != TTraits::Invalid(); }
  void reset(THandle h = TTraits::Invalid()) {
    if (Fh != TTraits::Invalid()) TTraits::Close(Fh);
    Fh = h;
  }
  THandle release() { return std::exchange(Fh, TTraits::Invalid()); }

 private:
  THandle Fh = TTraits::Invalid();
};

#define SW_HANDLE_TRAITS(Name, Type, InvalidValue, CloseCall) \
  struct Name {                                                \
    using THandle = Type;                                      \
    static THandle Invalid() { return InvalidValue; }          \
    static void Close(THandle h) { CloseCall(h); }             \
  }

namespace detail {
SW_HANDLE_TRAITS(THandleTraits, HANDLE, nullptr, ::CloseHandle);
SW_HANDLE_TRAITS(TFileTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle);
SW_HANDLE_TRAITS(TRegKeyTraits, HKEY, nullptr, ::RegCloseKey);
SW_HANDLE_TRAITS(TModuleTraits, HMODULE, nullptr, ::FreeLibrary);
SW_HANDLE_TRAITS(TGdiTraits, HGDIOBJ, nullptr, ::DeleteObject);
SW_HANDLE_TRAITS(TFontTraits, HFONT, nullptr, ::DeleteObject);
SW_HANDLE_TRAITS(TDCTraits, HDC, nullptr, ::DeleteDC);
SW_HANDLE_TRAITS(TSidTraits, PSID, nullptr, ::FreeSid);
SW_HANDLE_TRAITS(TWindowTraits, HWND, nullptr, ::DestroyWindow);
SW_HANDLE_TRAITS(TFindTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose);
SW_HANDLE_TRAITS(TGlobalTraits, HGLOBAL, nullptr, ::GlobalFree);
}  // namespace detail

using THandleOwner = TUniqueHandle<detail::THandleTraits>;
using TFileHandle = TUniqueHandle<detail::TFileTraits>;
using TRegKey = TUniqueHandle<detail::TRegKeyTraits>;
using TModule = TUniqueHandle<detail::TModuleTraits>;
using TGdiObject = TUniqueHandle<detail::TGdiTraits>;
using TFont = TUniqueHandle<detail::TFontTraits>;
using TDeviceContext = TUniqueHandle<detail::TDCTraits>;
using TSid = TUniqueHandle<detail::TSidTraits>;
using TWindowHandle = TUniqueHandle<detail::TWindowTraits>;
using TFindHandle = TUniqueHandle<detail::TFindTraits>;
// Memory from GlobalAlloc; release() it once the clipboard owns it.
using TGlobalMemory = TUniqueHandle<detail::TGlobalTraits>;

// A screen device context from GetDC, released with ReleaseDC.
class TScreenDC {
 public:
  TScreenDC() : Fdc(::GetDC(nullptr)) {}
  ~TScreenDC() {
    if (Fdc) ::ReleaseDC(nullptr, Fdc);
  }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC get() const { return Fdc; }

 private:
  HDC Fdc;
};

}  // namespace sw
