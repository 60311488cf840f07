#include "share/ShareFrames.h"

namespace sw {

TMailOutcome MailOutcome(std::uint32_t nMapiResult) {
  switch (nMapiResult) {
    case kMapiSuccess: return TMailOutcome::Handed;
    case kMapiUserAbort: return TMailOutcome::Cancelled;
    case kMapiNotSupported: return TMailOutcome::NoMailSystem;
    default: return TMailOutcome::Failed;
  }
}

std::wstring MailOutcomeMessage(TMailOutcome aOutcome, std::uint32_t nMapiResult) {
  const std::wstring sPrintInstead =
      L"\n\nDie Informationen wurden nicht versendet. Sie können sie stattdessen mit "
      L"\"Infos anzeigen/ausdrucken\" ausdrucken.";
  switch (aOutcome) {
    case TMailOutcome::NoMailSystem:
      return L"Auf diesem PC ist kein Mailprogramm eingerichtet, dem Sichtwerk eine Mail übergeben kann "
             L"(Simple MAPI)." + sPrintInstead;
    case TMailOutcome::Failed:
      return L"Das Mailprogramm hat die Mail nicht angenommen (MAPI-Fehler " + std::to_wstring(nMapiResult) +
             L")." + sPrintInstead;
    case TMailOutcome::Handed:
    case TMailOutcome::Cancelled:
      break;
  }
  return L"";
}

void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<std::uint32_t()>& SendReportMail) {
  aUi.SetButtonEnabled(false);
  aUi.ShowWaitCursor();
  auto cleanUp = [&](const wchar_t* sStatus) {
    aUi.RestoreCursor();
    aUi.SetButtonEnabled(true);
    aUi.SetStatus(sStatus);
  };
  std::uint32_t nResult = kMapiSuccess;
  try {
    aUi.ProcessMessages();
    ComposeBody();
    aUi.RestoreCursor();
    aUi.SetButtonEnabled(true);
    aUi.SetStatus(kStatusMailTrying);
    nResult = SendReportMail();
  } catch (...) {
    // Whatever threw, no mail was handed over.
    cleanUp(kStatusMailNotHanded);
    throw;
  }
  const TMailOutcome aOutcome = MailOutcome(nResult);
  const std::wstring sMessage = MailOutcomeMessage(aOutcome, nResult);
  cleanUp(sMessage.empty() ? kStatusMailDone : kStatusMailNotHanded);
  if (!sMessage.empty()) aUi.ShowMessage(sMessage);
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
