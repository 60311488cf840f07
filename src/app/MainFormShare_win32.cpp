#include "app/MainForm_win32.h"

// Mail and preview: placeholders until the sharing code lands.

namespace sw {

void TMainForm::ComposeBody() { sBody.clear(); }

void TMainForm::SendReportMail() {}

void TMainForm::BuildPreview() {}

void TMainForm::ShowPreview() {}

void TMainForm::ButtonMailClick(TovButton& Sender) {
  Sender.SetEnabled(false);
  struct TCleanup {
    TMainForm& f;
    TovButton& b;
    ~TCleanup() {
      f.RestoreCursor();
      b.SetEnabled(true);
      f.SetStatus(L"Mailsystem hat keinen Fehler gemeldet.");
    }
  };
  ShowWaitCursor();
  TCleanup cleanup{*this, Sender};
  ProcessMessages();
  ComposeBody();
  RestoreCursor();
  Sender.SetEnabled(true);
  SetStatus(L"Versuche Mail zu versenden...");
  SendReportMail();
}

void TMainForm::ButtonPreviewClick(TovButton& Sender) {
  Sender.SetEnabled(false);
  struct TCleanup {
    TovButton& b;
    ~TCleanup() { b.SetEnabled(true); }
  } cleanup{Sender};
  ShowPreview();
}

}  // namespace sw
