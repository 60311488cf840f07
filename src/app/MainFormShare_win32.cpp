#include "app/MainForm_win32.h"

#include <vector>

#include "common/Text.h"
#include "share/FormPreview_win32.h"
#include "share/MailFallback_win32.h"
#include "share/MailText.h"
#include "share/Mapi_win32.h"
#include "share/PreviewText.h"
#include "share/ShareFrames.h"

// Mail and preview of the main window.

namespace sw {

// The frames' view of the main window and the pressed button, and the second way of
// the mail: the clipboard and the mailto: handler.
class TMainFormShare : public IShareUi, public IMailFallback {
 public:
  TMainFormShare(TMainForm& aForm, TovButton& aButton) : F(aForm), FButton(aButton) {}
  void SetButtonEnabled(bool bEnabled) override { FButton.SetEnabled(bEnabled); }
  void ShowWaitCursor() override { F.ShowWaitCursor(); }
  void RestoreCursor() override { F.RestoreCursor(); }
  void ProcessMessages() override { F.ProcessMessages(); }
  void SetStatus(const std::wstring& sText) override { F.SetStatus(sText); }
  // Where the form's errors go when it has a sink of its own (the tests'), else a box.
  void ShowMessage(const std::wstring& sText) override {
    if (F.ErrorSink())
      F.ErrorSink()(sText);
    else
      ::MessageBoxW(F.Fhwnd, sText.c_str(), L"Sichtwerk", MB_OK | MB_ICONWARNING);
  }
  // With the tests' sink nobody can answer: the text goes there and counts as No.
  bool AskYesNo(const std::wstring& sText) override {
    if (F.ErrorSink()) {
      F.ErrorSink()(sText);
      return false;
    }
    return ::MessageBoxW(F.Fhwnd, sText.c_str(), L"Sichtwerk", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1) == IDYES;
  }

  TMailRecord ReportMail() override { return BuildReportMail(F.sAISMail_To, F.sBody); }
  std::vector<TColor> ReportLineColors() override;
  TClipboardResult PutOnClipboard(const std::wstring& sText, const std::string& sCfHtml) override {
    return PutTextAndHtmlOnClipboard(F.Fhwnd, sText, sCfHtml);
  }
  bool OpenUrl(const std::wstring& sUrl) override { return OpenWithShell(F.Fhwnd, sUrl); }

 private:
  TMainForm& F;
  TovButton& FButton;
};

// The report colour of each line of the pane as the run added it, not as a theme shows
// it: under high contrast the pane draws every line in the theme's colour.
std::vector<TColor> TMainFormShare::ReportLineColors() { return F.FRichEditInfo.LineReportColors(); }

void TMainForm::ComposeBody() {
  // A cursor of its own: the frames around it keep theirs in the form.
  HCURSOR hOld = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  try {
    sBody = ComposeLetter(FRichEditInfo);
  } catch (...) {
    ::SetCursor(hOld);
    throw;
  }
  ::SetCursor(hOld);
}

std::uint32_t TMainForm::SendReportMail() {
  const TMailRecord aRecord = BuildReportMail(sAISMail_To, sBody);
  return SendMailMapi(FMapiBinding, Fhwnd, aRecord);
}

void TMainForm::ShowPreview() {
  ShowWaitCursor();
  try {
    ProcessMessages();
    ComposeBody();
    BuildPreview();
  } catch (...) {
    RestoreCursor();
    throw;
  }
  RestoreCursor();
}

void TMainForm::BuildPreview() {
  sBody = BuildPreviewText(sBody);
  TFormPreview::Execute(Fhwnd, sBody);
}

// A click that a collection run's message pump hands over is dropped, as a second
// run is: the pane is only half filled.
void TMainForm::ButtonMailClick(TovButton& Sender) {
  if (FCollectionRun.Running()) return;
  // A close request while the mail is composed or with the mail program waits: the
  // mail goes out with the report or not at all.
  TBusy busy(*this);
  TMainFormShare ui(*this, Sender);
  RunMailFrame(ui, [this] { ComposeBody(); }, [this] { return SendReportMail(); }, ui);
}

void TMainForm::ButtonPreviewClick(TovButton& Sender) {
  if (FCollectionRun.Running()) return;
  TBusy busy(*this);
  TMainFormShare ui(*this, Sender);
  struct TFocusBack {
    TMainForm& F;
    TovButton& b;
    // The button that opened the preview has the focus again when it closes.
    ~TFocusBack() { F.FocusControl(b.Handle()); }
  } focusBack{*this, Sender};
  RunPreviewFrame(ui, [this] { ShowPreview(); });
}

}  // namespace sw
