#include "share/ShareFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace sw {
namespace {

class TRecordingUi : public IShareUi {
 public:
  void SetButtonEnabled(bool b) override { Log.push_back(b ? L"enable" : L"disable"); bEnabled = b; }
  void ShowWaitCursor() override { Log.push_back(L"wait"); bWait = true; }
  void RestoreCursor() override { Log.push_back(L"restore"); bWait = false; }
  void ProcessMessages() override { Log.push_back(L"pump"); }
  void SetStatus(const std::wstring& s) override { Log.push_back(L"status " + s); sStatus = s; }
  void ShowMessage(const std::wstring& s) override { Log.push_back(L"message"); Messages.push_back(s); }
  bool AskYesNo(const std::wstring& s) override {
    Log.push_back(L"question");
    Questions.push_back(s);
    return bAnswerYes;
  }
  std::vector<std::wstring> Messages, Questions;
  std::vector<std::wstring> Log;
  bool bEnabled = true, bWait = false, bAnswerYes = false;
  std::wstring sStatus;
};

// Clipboard and mailto: handler as the frame sees them, logged into the UI's log.
class TRecordingFallback : public IMailFallback {
 public:
  explicit TRecordingFallback(std::vector<std::wstring>& aLog) : FLog(aLog) {}
  TMailRecord ReportMail() override { return BuildReportMail(sTo, sBody); }
  std::vector<TColor> ReportLineColors() override { return aColors; }
  TClipboardResult PutOnClipboard(const std::wstring& sText, const std::string& sCfHtml) override {
    FLog.push_back(L"clipboard");
    sClipText = sText;
    sClipHtml = sCfHtml;
    return aClipboard;
  }
  bool OpenUrl(const std::wstring& sUrl) override {
    FLog.push_back(L"open " + sUrl);
    return bOpens;
  }
  std::wstring sTo, sBody = L"Sehr geehrte Damen und Herren,\r\nRot: RAM\r\n";
  std::vector<TColor> aColors = {0x0000FF};
  TClipboardResult aClipboard;
  bool bOpens = true;
  std::wstring sClipText;
  std::string sClipHtml;

 private:
  std::vector<std::wstring>& FLog;
};

TEST(MailFrame, ButtonAndCursorBackBeforeTheMailSystemIsCalled) {
  TRecordingUi ui;
  TRecordingFallback fallback(ui.Log);
  bool bSeen = false;
  RunMailFrame(
      ui, [&] { EXPECT_TRUE(ui.bWait); ui.Log.push_back(L"compose"); },
      [&] {
        bSeen = true;
        EXPECT_TRUE(ui.bEnabled);
        EXPECT_FALSE(ui.bWait);
        EXPECT_EQ(ui.sStatus, L"Versuche Mail zu versenden...");
        ui.Log.push_back(L"send");
        return 0u;
      },
      fallback);
  EXPECT_TRUE(bSeen);
  const std::vector<std::wstring> expected = {
      L"disable", L"wait", L"pump", L"compose", L"restore", L"enable",
      L"status Versuche Mail zu versenden...", L"send", L"restore", L"enable",
      L"status Mailsystem hat keinen Fehler gemeldet."};
  EXPECT_EQ(ui.Log, expected);
}

TEST(MailFrame, CleanUpOnEveryWayOut) {
  for (int iFail = 0; iFail < 2; ++iFail) {
    SCOPED_TRACE(iFail == 0 ? "compose fails" : "send fails");
    TRecordingUi ui;
    TRecordingFallback fallback(ui.Log);
    auto fail = [] { throw std::runtime_error("x"); };
    auto ok = [] {};
    auto sendFail = []() -> std::uint32_t { throw std::runtime_error("x"); };
    auto sendOk = [] { return 0u; };
    EXPECT_THROW(RunMailFrame(ui, iFail == 0 ? std::function<void()>(fail) : ok,
                              iFail == 1 ? std::function<std::uint32_t()>(sendFail) : sendOk, fallback),
                 std::runtime_error);
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, L"Mail konnte nicht übergeben werden.");
  }
}

// Only a mail the mail program took, or one the user cancelled there, ends as before;
// no mail system and a mail program's error say so, in the status line and a box that
// offers the second way. Answered No, nothing more happens.
TEST(MailFrame, MailNotHandedOverIsToldCancelStaysSilent) {
  const std::wstring sPrintInstead =
      L"\n\nDie Informationen wurden nicht versendet. Sie können sie stattdessen mit "
      L"\"Infos anzeigen/ausdrucken\" ausdrucken.\n\nSoll Sichtwerk das Anschreiben und die Informationen in "
      L"die Zwischenablage kopieren und eine neue Mail in Ihrem Standard-Mailprogramm öffnen? Dort fügen Sie "
      L"sie mit Strg+V ein.";
  struct Row {
    std::uint32_t nResult;
    const wchar_t* sStatus;
    std::wstring sMessage;  // "" for none
  } rows[] = {
      {0, L"Mailsystem hat keinen Fehler gemeldet.", L""},
      {1, L"Mailsystem hat keinen Fehler gemeldet.", L""},  // MAPI_USER_ABORT
      {26, L"Mail konnte nicht übergeben werden.",          // MAPI_E_NOT_SUPPORTED: no mail system
       std::wstring(L"Auf diesem PC ist kein Mailprogramm eingerichtet, dem Sichtwerk eine Mail übergeben "
                    L"kann (Simple MAPI).") + sPrintInstead},
      {2, L"Mail konnte nicht übergeben werden.",  // MAPI_E_FAILURE
       std::wstring(L"Das Mailprogramm hat die Mail nicht angenommen (MAPI-Fehler 2).") + sPrintInstead},
      {3, L"Mail konnte nicht übergeben werden.",  // MAPI_E_LOGIN_FAILURE
       std::wstring(L"Das Mailprogramm hat die Mail nicht angenommen (MAPI-Fehler 3).") + sPrintInstead},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.nResult);
    TRecordingUi ui;
    TRecordingFallback fallback(ui.Log);
    RunMailFrame(ui, [] {}, [&] { return r.nResult; }, fallback);
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, r.sStatus);
    EXPECT_TRUE(ui.Messages.empty());
    if (r.sMessage.empty()) {
      EXPECT_TRUE(ui.Questions.empty());
    } else {
      ASSERT_EQ(ui.Questions.size(), 1u);
      EXPECT_EQ(ui.Questions[0], r.sMessage);
      // The box comes last: button, cursor and status line are already set behind it.
      EXPECT_EQ(ui.Log.back(), L"question");
    }
    EXPECT_TRUE(fallback.sClipText.empty()) << "the clipboard was used";
  }
}

// Yes: the mail's body on the clipboard (closed before anything opens), then a new mail
// through the mailto: handler; a mail is opened only when the clipboard holds the report.
TEST(MailFrame, YesCopiesThenOpensANewMailBadEndsAreTold) {
  const std::wstring sUrlEnd =
      L"?subject=Ergebnisse%20des%20Sichtwerks%20zur%20Pr%C3%BCfung&body=Bitte%20f%C3%BCgen%20Sie%20hier%20mit%20"
      L"Strg%2BV%20die%20Informationen%20von%20Sichtwerk%20aus%20der%20Zwischenablage%20ein.";
  const std::wstring sPrintHint = L"Sie können die Informationen mit \"Infos anzeigen/ausdrucken\" ausdrucken.";
  struct Row {
    const char* sName;
    std::uint32_t nResult;
    const wchar_t* sTo;
    TClipboardResult aClipboard;
    bool bOpens;
    const wchar_t* sStatus;
    std::wstring sMessage;  // "" for none; else its beginning
  } rows[] = {
      {"no mail system, opened", 26, L"medistar-support@medistar.example", {}, true,
       L"Neue Mail geöffnet, Informationen in der Zwischenablage.", L""},
      {"mail program's error, no handler", 2, L"medistar-support@medistar.example", {}, false,
       L"Informationen in der Zwischenablage, kein Mailprogramm gefunden.",
       L"Auf diesem PC ist kein Mailprogramm eingerichtet, das neue Mails öffnet (mailto:).\n\nDie Informationen "
       L"stehen in der Zwischenablage. Fügen Sie sie mit Strg+V in eine neue Mail an "
       L"medistar-support@medistar.example ein, zum Beispiel in Ihrer Web-Mail. " + sPrintHint},
      {"no practice system, no handler", 26, L"", {}, false,
       L"Informationen in der Zwischenablage, kein Mailprogramm gefunden.",
       L"Auf diesem PC ist kein Mailprogramm eingerichtet, das neue Mails öffnet (mailto:).\n\nDie Informationen "
       L"stehen in der Zwischenablage. Fügen Sie sie mit Strg+V in eine neue Mail ein, zum Beispiel in Ihrer "
       L"Web-Mail. " + sPrintHint},
      {"clipboard busy", 26, L"a@b.example", {TClipboardOutcome::Busy, 0}, true,
       L"Mail konnte nicht übergeben werden.",
       L"Die Zwischenablage wird gerade von einem anderen Programm benutzt, die Informationen wurden nicht kopiert. "
       L"Es wurde keine neue Mail geöffnet.\n\nBitte versuchen Sie es gleich noch einmal. " + sPrintHint},
      {"no memory", 26, L"a@b.example", {TClipboardOutcome::NoMemory, 8}, true, L"Mail konnte nicht übergeben werden.",
       L"Für die Informationen ist nicht genug Speicher frei"},
      {"clipboard refused", 26, L"a@b.example", {TClipboardOutcome::Failed, 5}, true,
       L"Mail konnte nicht übergeben werden.",
       L"Die Informationen konnten nicht in die Zwischenablage kopiert werden (Fehler 5). Es wurde keine neue "
       L"Mail geöffnet."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sName);
    TRecordingUi ui;
    ui.bAnswerYes = true;
    TRecordingFallback fallback(ui.Log);
    fallback.sTo = r.sTo;
    fallback.aClipboard = r.aClipboard;
    fallback.bOpens = r.bOpens;
    RunMailFrame(ui, [] {}, [&] { return r.nResult; }, fallback);
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, r.sStatus);
    ASSERT_EQ(ui.Questions.size(), 1u);
    // Exactly the mail's body, as text and as HTML with the report's colour.
    EXPECT_EQ(fallback.sClipText, fallback.sBody);
    EXPECT_NE(fallback.sClipHtml.find("<div style=\"color:#FF0000\">Rot: RAM</div>"), std::string::npos);
    const bool bCopied = r.aClipboard.aOutcome == TClipboardOutcome::Copied;
    std::vector<std::wstring> expected = {L"question", L"wait", L"clipboard"};
    if (bCopied) expected.push_back(L"open mailto:" + std::wstring(r.sTo) + sUrlEnd);
    expected.push_back(L"restore");
    expected.push_back(std::wstring(L"status ") + r.sStatus);
    if (!r.sMessage.empty()) expected.push_back(L"message");
    const std::vector<std::wstring> tail(ui.Log.end() - std::min(ui.Log.size(), expected.size()), ui.Log.end());
    EXPECT_EQ(tail, expected);
    if (r.sMessage.empty()) {
      EXPECT_TRUE(ui.Messages.empty());
    } else {
      ASSERT_EQ(ui.Messages.size(), 1u);
      EXPECT_EQ(ui.Messages[0].substr(0, r.sMessage.size()), r.sMessage);
      EXPECT_NE(ui.Messages[0].find(L"ausdrucken."), std::wstring::npos) << "no pointer to printing";
    }
  }
}

TEST(PreviewFrame, DisabledWhileOpenEnabledAfterAnErrorStatusUntouched) {
  TRecordingUi ui;
  RunPreviewFrame(ui, [&] { EXPECT_FALSE(ui.bEnabled); });
  EXPECT_TRUE(ui.bEnabled);
  EXPECT_THROW(RunPreviewFrame(ui, [] { throw std::runtime_error("x"); }), std::runtime_error);
  EXPECT_TRUE(ui.bEnabled);
  for (const auto& s : ui.Log) EXPECT_NE(s.rfind(L"status", 0), 0u) << "status line touched";
}

}  // namespace
}  // namespace sw
