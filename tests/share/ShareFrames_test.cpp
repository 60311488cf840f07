#include "share/ShareFrames.h"

#include <gtest/gtest.h>

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
  std::vector<std::wstring> Messages;
  std::vector<std::wstring> Log;
  bool bEnabled = true, bWait = false;
  std::wstring sStatus;
};

TEST(MailFrame, ButtonAndCursorBackBeforeTheMailSystemIsCalled) {
  TRecordingUi ui;
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
      });
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
    auto fail = [] { throw std::runtime_error("x"); };
    auto ok = [] {};
    auto sendFail = []() -> std::uint32_t { throw std::runtime_error("x"); };
    auto sendOk = [] { return 0u; };
    EXPECT_THROW(RunMailFrame(ui, iFail == 0 ? std::function<void()>(fail) : ok,
                              iFail == 1 ? std::function<std::uint32_t()>(sendFail) : sendOk),
                 std::runtime_error);
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, L"Mail konnte nicht übergeben werden.");
  }
}

// Only a mail the mail program took, or one the user cancelled there, ends as before;
// no mail system and a mail program's error say so, in the status line and a box.
TEST(MailFrame, MailNotHandedOverIsToldCancelStaysSilent) {
  const wchar_t* const sPrintInstead =
      L"\n\nDie Informationen wurden nicht versendet. Sie können sie stattdessen mit "
      L"\"Infos anzeigen/ausdrucken\" ausdrucken.";
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
    RunMailFrame(ui, [] {}, [&] { return r.nResult; });
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, r.sStatus);
    if (r.sMessage.empty()) {
      EXPECT_TRUE(ui.Messages.empty());
    } else {
      ASSERT_EQ(ui.Messages.size(), 1u);
      EXPECT_EQ(ui.Messages[0], r.sMessage);
      // The box comes last: button, cursor and status line are already set behind it.
      EXPECT_EQ(ui.Log.back(), L"message");
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
