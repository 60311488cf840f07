#pragma once
#include <windows.h>
#include <mapi.h>

#include "share/MailText.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {

inline constexpr FLAGS kMapiSendFlags = MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG;  // 11
// The result when no mail system is there to call (MAPI_E_NOT_SUPPORTED): a code of
// its own, so that it is not taken for a user who cancelled (MAPI_USER_ABORT, 1).
inline constexpr ULONG kMapiNotAvailable = MAPI_E_NOT_SUPPORTED;

// Binding to Simple MAPI: whether a mail system is registered is decided once, on the
// first send, and stays so; MAPISendMail is looked up until found. MAPI32.DLL comes
// from the system directory only and is unloaded when the binding dies.
class TMapiBinding {
 public:
  TMapiBinding() = default;
  TMapiBinding(const TMapiBinding&) = delete;
  TMapiBinding& operator=(const TMapiBinding&) = delete;

  // MAPISendMail's own result, or kMapiNotAvailable without calling anything.
  ULONG Send(HWND hOwner, MapiMessage& aMessage);

  bool Decided() const { return FbDecided; }
  bool Loaded() const { return static_cast<bool>(FLibrary); }
  int AvailabilityTests() const { return FnAvailabilityTests; }

 private:
  static bool MailSystemRegistered();

  bool FbDecided = false;
  int FnAvailabilityTests = 0;
  TModule FLibrary;
  LPMAPISENDMAIL FpSendMail = nullptr;
};

// Hands the record to the mail program: recipient by name only, subject and body when
// not empty, texts in the ANSI code page, flags 11, session 0. Every top-level window
// of the calling thread is disabled during the call and enabled again afterwards, and
// hOwner is brought back to the foreground.
ULONG SendMailMapi(TMapiBinding& aBinding, HWND hOwner, const TMailRecord& aRecord);

}  // namespace sw
