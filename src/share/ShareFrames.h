#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report/InfoItem.h"
#include "share/MailText.h"

namespace sw {

inline constexpr const wchar_t* kStatusMailTrying = L"Versuche Mail zu versenden...";
inline constexpr const wchar_t* kStatusMailDone = L"Mailsystem hat keinen Fehler gemeldet.";
inline constexpr const wchar_t* kStatusMailNotHanded = L"Mail konnte nicht übergeben werden.";
inline constexpr const wchar_t* kStatusMailToOpened = L"Neue Mail geöffnet, Informationen in der Zwischenablage.";
inline constexpr const wchar_t* kStatusMailToNoHandler =
    L"Informationen in der Zwischenablage, kein Mailprogramm gefunden.";

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
// Why a mail ended as NoMailSystem or Failed (naming the code), with the pointer to
// printing; "" otherwise. The question after such a mail starts with it.
std::wstring MailOutcomeMessage(TMailOutcome aOutcome, std::uint32_t nMapiResult);
// The same text followed by the offer of the second way: clipboard and a new mail.
std::wstring MailFallbackQuestion(TMailOutcome aOutcome, std::uint32_t nMapiResult);

// How putting the mail on the clipboard ended. nError: the system's error code of a
// step that failed (Failed only).
enum class TClipboardOutcome {
  Copied,
  Busy,      // another program kept the clipboard open
  NoMemory,  // no memory for the text
  Failed,
};
struct TClipboardResult {
  TClipboardOutcome aOutcome = TClipboardOutcome::Copied;
  std::uint32_t nError = 0;
};
// The box text after a clipboard that did not take the mail ("" for Copied).
std::wstring ClipboardFailureMessage(const TClipboardResult& aResult);
// The box text when no program opens "mailto:" URLs; names sTo when not empty.
std::wstring NoMailHandlerMessage(const std::wstring& sTo);

// The second way for a mail that no mail program took: the letter and report on the
// clipboard, then a new mail through the system's "mailto:" handler.
class IMailFallback {
 public:
  virtual ~IMailFallback() = default;
  // The mail that was not handed over, as SendReportMail built it.
  virtual TMailRecord ReportMail() = 0;
  // The colour of every line of the report pane, in order; the mail's body ends with them.
  virtual std::vector<TColor> ReportLineColors() = 0;
  // Empties the clipboard, puts the text and the "HTML Format" bytes on it and closes it.
  virtual TClipboardResult PutOnClipboard(const std::wstring& sText, const std::string& sCfHtml) = 0;
  // Opens the URL with the program the system has for it; false when none took it.
  virtual bool OpenUrl(const std::wstring& sUrl) = 0;
};

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
  // The same as a question with Yes (the default) and No; true only for Yes.
  virtual bool AskYesNo(const std::wstring& sText) = 0;
};

// Mail button: the button is enabled and the cursor normal again before the mail
// system is called; button, cursor and the final status are set on every way out.
// SendReportMail returns the Simple MAPI result. A mail that was not handed over gets
// a status line of its own and then a question: Yes puts it on the clipboard and opens
// a new mail through aFallback, whose end the status line and, for a bad end, a box
// tell. Errors pass on after the clean-up, which sets the status of a mail that was
// not handed over.
void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<std::uint32_t()>& SendReportMail, IMailFallback& aFallback);

// Preview button: disabled while the preview is open; the status line is not touched.
void RunPreviewFrame(IShareUi& aUi, const std::function<void()>& ShowPreview);

}  // namespace sw
