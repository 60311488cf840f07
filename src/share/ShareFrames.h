#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace sw {

inline constexpr const wchar_t* kStatusMailTrying = L"Versuche Mail zu versenden...";
inline constexpr const wchar_t* kStatusMailDone = L"Mailsystem hat keinen Fehler gemeldet.";
inline constexpr const wchar_t* kStatusMailNotHanded = L"Mail konnte nicht übergeben werden.";

// The Simple MAPI results the mail frame tells apart (the Windows side checks them
// against <mapi.h>). "Not supported" is also what the binding returns when no mail
// system is registered.
inline constexpr std::uint32_t kMapiSuccess = 0;
inline constexpr std::uint32_t kMapiUserAbort = 1;
inline constexpr std::uint32_t kMapiNotSupported = 26;

// What became of a mail handed to the mail system.
enum class TMailOutcome {
  Handed,        // the mail program took it (the user sends it from there)
  Cancelled,     // the user cancelled the mail program's dialog: nothing to say
  NoMailSystem,  // no mail program takes mails from other programs
  Failed,        // the mail program reported an error
};
TMailOutcome MailOutcome(std::uint32_t nMapiResult);
// The message box text for NoMailSystem and Failed (naming the code), "" otherwise.
std::wstring MailOutcomeMessage(TMailOutcome aOutcome, std::uint32_t nMapiResult);

// What the Mail and Preview buttons' frames need of the main window.
class IShareUi {
 public:
  virtual ~IShareUi() = default;
  virtual void SetButtonEnabled(bool bEnabled) = 0;  // the pressed button
  virtual void ShowWaitCursor() = 0;                 // remembers the cursor first
  virtual void RestoreCursor() = 0;
  virtual void ProcessMessages() = 0;
  virtual void SetStatus(const std::wstring& sText) = 0;
  // A modal message box over the main window.
  virtual void ShowMessage(const std::wstring& sText) = 0;
};

// Mail button: the button is enabled and the cursor normal again before the mail
// system is called; button, cursor and the final status are set on every way out.
// SendReportMail returns the Simple MAPI result. A mail that was not handed over gets
// a status line of its own and then a message box; errors pass on after the clean-up,
// which sets the status of a mail that was not handed over.
void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<std::uint32_t()>& SendReportMail);

// Preview button: disabled while the preview is open; the status line is not touched.
void RunPreviewFrame(IShareUi& aUi, const std::function<void()>& ShowPreview);

}  // namespace sw
