#include "share/Mapi_win32.h"

#include <vector>

#include "sysquery/Locale_win32.h"
#include "sysquery/win32/SystemLibrary.h"

namespace sw {

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
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam) {
    if (::IsWindowEnabled(hwnd)) reinterpret_cast<TDisabledThreadWindows*>(lParam)->FWindows.push_back(hwnd);
    return TRUE;
  }
  std::vector<HWND> FWindows;
};

}  // namespace

bool TMapiBinding::MailSystemRegistered() {
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL bVersion = ::GetVersionExW(&vi);
#pragma GCC diagnostic pop
  if (bVersion && !MapiFlagInRegistry(vi.dwMajorVersion, vi.dwMinorVersion))
    return ::GetProfileIntW(L"Mail", L"MAPI", 0) != 0;

  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0,
                      KEY_READ, &hKey) != ERROR_SUCCESS)
    return false;
  TRegKey key(hKey);
  // At most 18 bytes; a longer value cannot be "1" anyway.
  wchar_t sData[9];
  DWORD cbData = sizeof(sData);
  DWORD dwType = REG_NONE;
  if (::RegQueryValueExW(key.get(), L"MAPI", nullptr, &dwType, reinterpret_cast<BYTE*>(sData),
                         &cbData) != ERROR_SUCCESS)
    return false;
  if (dwType != REG_SZ) return false;
  return MapiRegistryValueMeansAvailable(sData, cbData / sizeof(wchar_t));
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

TMapiBinding& ProcessMapiBinding() {
  static TMapiBinding binding;
  return binding;
}

ULONG SendMailMapi(HWND hOwner, const TMailRecord& aRecord) {
  return SendMailMapi(ProcessMapiBinding(), hOwner, aRecord);
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

  TDisabledThreadWindows disabled;
  return aBinding.Send(hOwner, message);
}

}  // namespace sw
