#include "share/ShareFrames.h"

#include "share/MailTo.h"

namespace sw {

namespace {
const wchar_t* const kPrintHint = L"Sie können die Informationen mit \"Infos anzeigen/ausdrucken\" ausdrucken.";

// How the second way ended: the status line and, for a bad end, the box.
struct TFallbackEnd {
  const wchar_t* sStatus = nullptr;
  std::wstring sMessage;
};

// The clipboard is filled and closed before the mail program starts, and a mail is
// opened only when the report is on the clipboard: without it the mail is worth nothing.
TFallbackEnd CopyAndOpenMail(IMailFallback& aFallback) {
  const TMailRecord aMail = aFallback.ReportMail();
  const std::wstring sText = ClipboardText(aMail.Value(L"body"));
  const TClipboardResult aCopied =
      aFallback.PutOnClipboard(sText, CfHtml(MailHtmlFragment(sText, aFallback.ReportLineColors())));
  if (aCopied.aOutcome != TClipboardOutcome::Copied) return {kStatusMailNotHanded, ClipboardFailureMessage(aCopied)};
  const std::wstring sTo = aMail.Value(L"to");
  if (!aFallback.OpenUrl(MailToUrl(sTo, aMail.Value(L"subject"), kMailToBody)))
    return {kStatusMailToNoHandler, NoMailHandlerMessage(sTo)};
  return {kStatusMailToOpened, L""};
}
}  // namespace

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

std::wstring MailFallbackQuestion(TMailOutcome aOutcome, std::uint32_t nMapiResult) {
  return MailOutcomeMessage(aOutcome, nMapiResult) +
         L"\n\nSoll Sichtwerk das Anschreiben und die Informationen in die Zwischenablage kopieren und eine "
         L"neue Mail in Ihrem Standard-Mailprogramm öffnen? Dort fügen Sie sie mit Strg+V ein.";
}

std::wstring ClipboardFailureMessage(const TClipboardResult& aResult) {
  const std::wstring sNoMail = L" Es wurde keine neue Mail geöffnet.\n\n";
  switch (aResult.aOutcome) {
    case TClipboardOutcome::Busy:
      return L"Die Zwischenablage wird gerade von einem anderen Programm benutzt, die Informationen wurden nicht "
             L"kopiert." + sNoMail + L"Bitte versuchen Sie es gleich noch einmal. " + kPrintHint;
    case TClipboardOutcome::NoMemory:
      return L"Für die Informationen ist nicht genug Speicher frei, sie wurden nicht in die Zwischenablage "
             L"kopiert." + sNoMail + kPrintHint;
    case TClipboardOutcome::Failed:
      return L"Die Informationen konnten nicht in die Zwischenablage kopiert werden (Fehler " +
             std::to_wstring(aResult.nError) + L")." + sNoMail + kPrintHint;
    case TClipboardOutcome::Copied:
      break;
  }
  return L"";
}

std::wstring NoMailHandlerMessage(const std::wstring& sTo) {
  const std::wstring sMail = sTo.empty() ? L"eine neue Mail" : L"eine neue Mail an " + sTo;
  return L"Auf diesem PC ist kein Mailprogramm eingerichtet, das neue Mails öffnet (mailto:).\n\n"
         L"Die Informationen stehen in der Zwischenablage. Fügen Sie sie mit Strg+V in " + sMail +
         L" ein, zum Beispiel in Ihrer Web-Mail. " + kPrintHint;
}

void RunMailFrame(IShareUi& aUi, const std::function<void()>& ComposeBody,
                  const std::function<std::uint32_t()>& SendReportMail, IMailFallback& aFallback) {
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
  if (aOutcome == TMailOutcome::Handed || aOutcome == TMailOutcome::Cancelled) {
    cleanUp(kStatusMailDone);
    return;
  }
  cleanUp(kStatusMailNotHanded);
  // Anything but Yes is No (Wine ends the box on WM_CLOSE with IDCANCEL): nothing more.
  if (!aUi.AskYesNo(MailFallbackQuestion(aOutcome, nResult))) return;
  aUi.ShowWaitCursor();
  TFallbackEnd aEnd;
  try {
    aEnd = CopyAndOpenMail(aFallback);
  } catch (...) {
    aUi.RestoreCursor();
    throw;
  }
  aUi.RestoreCursor();
  aUi.SetStatus(aEnd.sStatus);
  if (!aEnd.sMessage.empty()) aUi.ShowMessage(aEnd.sMessage);
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
