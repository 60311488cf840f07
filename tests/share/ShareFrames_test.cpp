#include "share/ShareFrames.h"

#include <gtest/gtest.h>

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
    EXPECT_THROW(RunMailFrame(ui, iFail == 0 ? std::function<void()>(fail) : ok,
                              iFail == 1 ? std::function<void()>(fail) : ok),
                 std::runtime_error);
    EXPECT_TRUE(ui.bEnabled);
    EXPECT_FALSE(ui.bWait);
    EXPECT_EQ(ui.sStatus, L"Mailsystem hat keinen Fehler gemeldet.");
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
