#include "share/MailFallback_win32.h"

#include <objbase.h>

#include <cstring>

#include "win32/SystemLibrary_win32.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {

namespace {
// About a second in all: a clipboard viewer or manager holds it only for a moment.
constexpr int kOpenTries = 20;
constexpr DWORD kOpenRetryMs = 50;

// A moveable block with a copy of cb bytes at p, as the clipboard takes it; empty when
// there is no memory for it.
TGlobalMemory CopyToBlock(const void* p, std::size_t cb) {
  TGlobalMemory h(::GlobalAlloc(GMEM_MOVEABLE, cb));
  if (!h) return h;
  void* pBlock = ::GlobalLock(h.get());
  if (!pBlock) return TGlobalMemory();
  std::memcpy(pBlock, p, cb);
  ::GlobalUnlock(h.get());
  return h;
}

// The clipboard, open from Open until Close or the end of the scope.
class TClipboard {
 public:
  TClipboard() = default;
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;
  ~TClipboard() {
    if (FbOpen) ::CloseClipboard();
  }
  bool Open(HWND hOwner) {
    for (int i = 1; !(FbOpen = ::OpenClipboard(hOwner) != FALSE); ++i) {
      if (i >= kOpenTries) return false;
      ::Sleep(kOpenRetryMs);
    }
    return true;
  }
  bool Close() {
    FbOpen = false;
    return ::CloseClipboard() != FALSE;
  }

 private:
  bool FbOpen = false;
};

TClipboardResult Failed() { return {TClipboardOutcome::Failed, static_cast<std::uint32_t>(::GetLastError())}; }

// COM on the calling thread for the time of one ShellExecuteW: a handler may be a shell
// extension that COM activates, and Microsoft asks for it. ole32 stays loaded.
class TComForShellExecute {
 public:
  TComForShellExecute() {
    using TCoInitializeEx = HRESULT(WINAPI*)(LPVOID, DWORD);
    static TModule ole32 = LoadSystemLibrary(L"ole32.dll");
    const auto fnInit = GetProc<TCoInitializeEx>(ole32.get(), "CoInitializeEx");
    FfnUninit = GetProc<TCoUninitialize>(ole32.get(), "CoUninitialize");
    // A thread that already has COM in another mode keeps it (RPC_E_CHANGED_MODE).
    FbInitialized = fnInit && FfnUninit &&
                    SUCCEEDED(fnInit(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  TComForShellExecute(const TComForShellExecute&) = delete;
  TComForShellExecute& operator=(const TComForShellExecute&) = delete;
  ~TComForShellExecute() {
    if (FbInitialized) FfnUninit();
  }

 private:
  using TCoUninitialize = void(WINAPI*)();
  TCoUninitialize FfnUninit = nullptr;
  bool FbInitialized = false;
};
}  // namespace

TClipboardResult PutTextAndHtmlOnClipboard(HWND hOwner, const std::wstring& sText, const std::string& sCfHtml) {
  const UINT nHtmlFormat = ::RegisterClipboardFormatW(L"HTML Format");
  if (!nHtmlFormat) return Failed();
  TGlobalMemory hText = CopyToBlock(sText.c_str(), (sText.size() + 1) * sizeof(wchar_t));
  TGlobalMemory hHtml = CopyToBlock(sCfHtml.c_str(), sCfHtml.size() + 1);
  if (!hText || !hHtml) return {TClipboardOutcome::NoMemory, static_cast<std::uint32_t>(ERROR_NOT_ENOUGH_MEMORY)};
  TClipboard aClipboard;
  if (!aClipboard.Open(hOwner)) return {TClipboardOutcome::Busy, static_cast<std::uint32_t>(::GetLastError())};
  // Nothing else stays: the user asked for this copy.
  if (!::EmptyClipboard()) return Failed();
  // The clipboard owns a block once SetClipboardData took it.
  if (!::SetClipboardData(CF_UNICODETEXT, hText.get())) return Failed();
  hText.release();
  if (!::SetClipboardData(nHtmlFormat, hHtml.get())) return Failed();
  hHtml.release();
  if (!aClipboard.Close()) return Failed();
  return {};
}

bool OpenWithShell(HWND hOwner, const std::wstring& sUrl, TShellExecuteExW fnShellExecuteEx) {
  if (!fnShellExecuteEx) {
    // Stays loaded: what ShellExecuteExW starts may go on running in it.
    static TModule shell32 = LoadSystemLibrary(L"shell32.dll");
    fnShellExecuteEx = GetProc<TShellExecuteExW>(shell32.get(), "ShellExecuteExW");
  }
  if (!fnShellExecuteEx) return false;
  TComForShellExecute aCom;
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof(sei);
  // No picker or error box of the shell's own: a failure gets the program's box.
  sei.fMask = SEE_MASK_FLAG_NO_UI;
  sei.hwnd = hOwner;
  sei.lpVerb = L"open";
  sei.lpFile = sUrl.c_str();
  sei.nShow = SW_SHOWNORMAL;
  return fnShellExecuteEx(&sei) != FALSE;
}

}  // namespace sw
