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
  bool OpenUrl(const std::wstring& sUrl) override { return OpenWithShell(F.Fhwnd, sUrl) > 32; }

 private:
  TMainForm& F;
  TovButton& FButton;
};

// Each line of the report pane in the colour of its first character; a line in the
// control's automatic colour, and an empty one, is black. The pane's selection and
// scroll position are put back, and it is not redrawn in between.
std::vector<TColor> TMainFormShare::ReportLineColors() {
  // Selection, scroll position and drawing back on every way out.
  class TPaneKept {
   public:
    explicit TPaneKept(HWND h) : Fh(h) {
      ::SendMessageW(Fh, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Fcr));
      ::SendMessageW(Fh, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&Fpt));
      ::SendMessageW(Fh, WM_SETREDRAW, FALSE, 0);
    }
    ~TPaneKept() {
      ::SendMessageW(Fh, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Fcr));
      ::SendMessageW(Fh, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&Fpt));
      ::SendMessageW(Fh, WM_SETREDRAW, TRUE, 0);
      ::InvalidateRect(Fh, nullptr, TRUE);
    }
    TPaneKept(const TPaneKept&) = delete;
    TPaneKept& operator=(const TPaneKept&) = delete;

   private:
    HWND Fh;
    CHARRANGE Fcr{};
    POINT Fpt{};
  };
  const HWND hPane = F.FRichEditInfo.Handle();
  const TPaneKept aKept(hPane);
  std::vector<TColor> aColors;
  // The control counts one character per line end where the text has CR LF.
  LONG nPos = 0;
  for (const TLineSpan& aLine : SplitLineSpans(F.FRichEditInfo.Text())) {
    TColor aColor = clBlack;
    if (aLine.nLength > 0) {
      CHARRANGE cr{nPos, nPos + 1};
      ::SendMessageW(hPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
      CHARFORMAT2W cf{};
      cf.cbSize = sizeof(cf);
      ::SendMessageW(hPane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      if ((cf.dwMask & CFM_COLOR) && !(cf.dwEffects & CFE_AUTOCOLOR)) aColor = cf.crTextColor;
    }
    aColors.push_back(aColor);
    nPos += static_cast<LONG>(aLine.nLength) + 1;
  }
  return aColors;
}

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
  TMainFormShare ui(*this, Sender);
  RunMailFrame(ui, [this] { ComposeBody(); }, [this] { return SendReportMail(); }, ui);
}

void TMainForm::ButtonPreviewClick(TovButton& Sender) {
  if (FCollectionRun.Running()) return;
  TMainFormShare ui(*this, Sender);
  RunPreviewFrame(ui, [this] { ShowPreview(); });
}

}  // namespace sw
