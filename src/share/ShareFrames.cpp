#include "share/ShareFrames.h"

namespace sw {

void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<void()>& SendReportMail) {
  aUi.SetButtonEnabled(false);
  aUi.ShowWaitCursor();
  auto cleanUp = [&] {
    aUi.RestoreCursor();
    aUi.SetButtonEnabled(true);
    aUi.SetStatus(kStatusMailDone);
  };
  try {
    aUi.ProcessMessages();
    ComposeBody();
    aUi.RestoreCursor();
    aUi.SetButtonEnabled(true);
    aUi.SetStatus(kStatusMailTrying);
    SendReportMail();
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
}

void RunPreviewFrame(IShareUi& aUi, const std::function<void()>& ShowPreview) {
  aUi.SetButtonEnabled(false);
  try {
    ShowPreview();
  } catch (...) {
    aUi.SetButtonEnabled(true);
    throw;
  }
  aUi.SetButtonEnabled(true);
}

}  // namespace sw
