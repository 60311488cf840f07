#pragma once
#include <functional>
#include <string>

namespace sw {

inline constexpr const wchar_t* kStatusMailTrying = L"Versuche Mail zu versenden...";
inline constexpr const wchar_t* kStatusMailDone = L"Mailsystem hat keinen Fehler gemeldet.";

// What the Mail and Preview buttons' frames need of the main window.
class IShareUi {
 public:
  virtual ~IShareUi() = default;
  virtual void SetButtonEnabled(bool bEnabled) = 0;  // the pressed button
  virtual void ShowWaitCursor() = 0;                 // remembers the cursor first
  virtual void RestoreCursor() = 0;
  virtual void ProcessMessages() = 0;
  virtual void SetStatus(const std::wstring& sText) = 0;
};

// Mail button: the button is enabled and the cursor normal again before the mail
// system is called; button, cursor and the final status are set on every way out.
// Errors pass on after the clean-up.
void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<void()>& SendReportMail);

// Preview button: disabled while the preview is open; the status line is not touched.
void RunPreviewFrame(IShareUi& aUi, const std::function<void()>& ShowPreview);

}  // namespace sw
