#include "share/Mapi_win32.h"

#include <vector>

#include "share/ShareFrames.h"
#include "sysquery/Locale_win32.h"
#include "sysquery/uRegistryUtils_win32.h"
#include "win32/OsVersion_win32.h"
#include "win32/SystemLibrary_win32.h"

namespace sw {

static_assert(kMapiUserAbort == MAPI_USER_ABORT && kMapiNotSupported == MAPI_E_NOT_SUPPORTED &&
              kMapiSuccess == SUCCESS_SUCCESS, "the mail frame's codes are Simple MAPI's");

namespace {

// Disables the thread's enabled top-level windows and enables exactly those again.
class TDisabledThreadWindows {
 public:
  TDisabledThreadWindows() {
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND h : FWindows) ::EnableWindow(h, FALSE);
  }
  ~TDisabledThreadWindows() {
    for (HWND h : FWindows)
      if (::IsWindow(h)) ::EnableWindow(h, TRUE);
  }
  TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
  TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;

 private:
  // No exception may unwind through Windows' frames: without room for one more window
  // the enumeration stops, and the windows found so far are disabled.
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam) noexcept {
    try {
      if (::IsWindowEnabled(hwnd)) reinterpret_cast<TDisabledThreadWindows*>(lParam)->FWindows.push_back(hwnd);
      return TRUE;
    } catch (...) {
      return FALSE;
    }
  }
  std::vector<HWND> FWindows;
};

}  // namespace

bool TMapiBinding::MailSystemRegistered() {
  OSVERSIONINFOW vi;
  if (ReadPlainVersion(vi) && !MapiFlagInRegistry(vi.dwMajorVersion, vi.dwMinorVersion))
    return ::GetProfileIntW(L"Mail", L"MAPI", 0) != 0;
  std::wstring sData;
  if (!RegReadSzData(rsLocalMachine, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", L"MAPI", sData))
    return false;
  return MapiRegistryValueMeansAvailable(sData.data(), sData.size());
}

ULONG TMapiBinding::Send(HWND hOwner, MapiMessage& aMessage) {
  if (!FbDecided) {
    FbDecided = true;
    ++FnAvailabilityTests;
    if (MailSystemRegistered()) FLibrary = LoadSystemLibrary(L"MAPI32.DLL");
  }
  if (!FpSendMail) FpSendMail = GetProc<LPMAPISENDMAIL>(FLibrary.get(), "MAPISendMail");
  if (!FpSendMail) return kMapiNotAvailable;
  return FpSendMail(0, reinterpret_cast<ULONG_PTR>(hOwner), &aMessage, kMapiSendFlags, 0);
}

ULONG SendMailMapi(TMapiBinding& aBinding, HWND hOwner, const TMailRecord& aRecord) {
  TWinCodePage codePage;
  // The ANSI copies live until the call has returned.
  TMapiTexts texts = MapiTextsFromRecord(aRecord, codePage);

  MapiRecipDesc recip{};
  MapiMessage message{};
  if (texts.bHasTo) {
    recip.ulRecipClass = MAPI_TO;
    recip.lpszName = texts.sTo.data();
    message.nRecipCount = 1;
    message.lpRecips = &recip;
  }
  if (texts.bHasSubject) message.lpszSubject = texts.sSubject.data();
  if (texts.bHasBody) message.lpszNoteText = texts.sBody.data();

  ULONG nResult;
  {
    TDisabledThreadWindows disabled;
    nResult = aBinding.Send(hOwner, message);
  }
  // Meanwhile Windows has activated another program (the mail program's, or the one
  // before it): the owner was disabled when the mail program's dialog closed.
  if (hOwner && ::IsWindow(hOwner)) ::SetForegroundWindow(hOwner);
  return nResult;
}

}  // namespace sw
