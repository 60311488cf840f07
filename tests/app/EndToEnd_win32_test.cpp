// Sichtwerk.exe as a user starts it, read from another process.
#include <gtest/gtest.h>

#include "app/MainForm_win32.h"
#include "common/SichtwerkProcess_win32.h"

namespace sw::test {
namespace {

TEST(EndToEnd, FinishedReportIsReadableFromOutside) {
  TSichtwerkProcess app;
  const std::wstring sFolder = ScratchFolder(L"e2e");
  ASSERT_FALSE(sFolder.empty());
  ASSERT_TRUE(app.Start(sFolder));
  ASSERT_TRUE(app.WaitForReport()) << ToUtf8(app.Status());

  const std::wstring sCaption = app.Caption();
  // Wine runs its user as administrator, but either form is a correct caption.
  EXPECT_TRUE(sCaption == L"Sichtwerk (Administrator)  Version: 3.0.0.13" ||
              sCaption == L"Sichtwerk (kein Administrator)  Version: 3.0.0.13")
      << ToUtf8(sCaption);
  EXPECT_EQ(app.Caption(), ExtendedCaption(L"Sichtwerk", IsAdministrator(), L"3.0.0.13"))
      << "the program and this test see the same token";

  const std::wstring sText = app.PaneText();
  ASSERT_GE(sText.size(), 4u);
  // Every line ends in CR LF, and the closing empty line stands last.
  EXPECT_EQ(sText.substr(sText.size() - 4), L"\r\n\r\n");
  EXPECT_EQ(sText.find(L"\r\n"), sText.find(L'\r')) << "no lone CR";
  EXPECT_NE(sText.find(L"Check gestartet"), std::wstring::npos) << ToUtf8(sText);

  // The first character carries the pane's line format: 8 point, a real colour.
  CHARFORMAT2W cf;
  memset(&cf, 0xbd, sizeof(cf));
  ASSERT_TRUE(app.CharFormatAt(0, cf));
  EXPECT_EQ(cf.cbSize, sizeof(CHARFORMAT2W));
  EXPECT_TRUE(cf.dwMask & CFM_SIZE);
  EXPECT_EQ(cf.yHeight, 160) << "8 point in twips";
  EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);

  // The four buttons stand with their captions.
  for (const wchar_t* s : {L"per Mail versenden", L"Infos &anzeigen/ausdrucken", L"&Schließen",
                           L"Informationen erneut sammeln"}) {
    SCOPED_TRACE(ToUtf8(s));
    EXPECT_NE(app.FindChild(L"Button", s), nullptr);
  }

  EXPECT_TRUE(app.SaveScreenshot(ArtifactPath(L"mainwindow.bmp")));
  DWORD dwCode = 0xdeadbeef;
  ASSERT_TRUE(app.Close(&dwCode));
  EXPECT_EQ(dwCode, 0u);
}

TEST(EndToEnd, SecondRunReplacesTheReportAndCloseButtonEnds) {
  TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(ScratchFolder(L"e2e-rerun")));
  ASSERT_TRUE(app.WaitForReport());
  const std::wstring sFirst = app.PaneText();
  const std::wstring sFirstHead = sFirst.substr(0, sFirst.find(L"\r\n"));
  // The start line shows the seconds: the second run starts in a later one.
  ::Sleep(1100);

  // Waits for the new run's log entry, then for its closing status: the status alone
  // reads the same before the click is handled.
  ASSERT_TRUE(app.CollectAgain());
  const std::wstring sSecond = app.PaneText();
  // The new report heads the pane, the earlier one stands once below it (the history),
  // and the pane still ends with one empty line.
  ASSERT_EQ(sFirst.rfind(L"----- Check gestartet: "), 0u) << ToUtf8(sFirst);
  ASSERT_EQ(sSecond.rfind(L"----- Check gestartet: ", 0), 0u) << ToUtf8(sSecond);
  EXPECT_NE(sSecond.substr(0, sFirstHead.size()), sFirstHead) << "the first report still heads the pane";
  EXPECT_EQ(sSecond.find(L"----- Check gestartet: ", 1), sSecond.find(sFirstHead)) << ToUtf8(sSecond);
  EXPECT_EQ(sSecond.rfind(L"----- Check gestartet: "), sSecond.find(sFirstHead)) << "more than two reports";
  EXPECT_EQ(sSecond.substr(sSecond.size() - 4), L"\r\n\r\n");
  EXPECT_EQ(app.Status(), kStatusDone);

  ASSERT_TRUE(app.PressButton(L"&Schließen"));
  ASSERT_EQ(::WaitForSingleObject(app.Process(), 30000), WAIT_OBJECT_0);
  DWORD dwCode = 0xdeadbeef;
  ::GetExitCodeProcess(app.Process(), &dwCode);
  EXPECT_EQ(dwCode, 0u);
}

// Close box, Alt+F4, the taskbar or the end of the Windows session while a run pumps
// its messages: the request waits for the run, whose log entry is then whole, and the
// program ends as usual. A log-off is never held up.
TEST(EndToEnd, CloseBehindTheCollectClickWaitsForTheRun) {
  for (const UINT uMsg : {WM_CLOSE, WM_ENDSESSION}) {
    SCOPED_TRACE(uMsg);
    TSichtwerkProcess app;
    const std::wstring sFolder = ScratchFolder(uMsg == WM_CLOSE ? L"e2e-close" : L"e2e-endsession");
    ASSERT_TRUE(app.Start(sFolder));
    ASSERT_TRUE(app.WaitForReport());
    ASSERT_TRUE(app.PressButton(L"Informationen erneut sammeln"));
    if (uMsg == WM_ENDSESSION) {
      DWORD_PTR bMayEnd = FALSE;
      ASSERT_TRUE(::SendMessageTimeoutW(app.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                        30000, &bMayEnd));
      EXPECT_TRUE(bMayEnd);
    }
    ASSERT_TRUE(::PostMessageW(app.MainWindow(), uMsg, TRUE, 0));
    ASSERT_EQ(::WaitForSingleObject(app.Process(), 30000), WAIT_OBJECT_0);
    DWORD dwCode = 0xdeadbeef;
    ::GetExitCodeProcess(app.Process(), &dwCode);
    EXPECT_EQ(dwCode, 0u);

    std::string sLog;
    {
      const std::wstring sPath = sFolder + L"\\Ergebnisse des Sichtwerks zur Prüfung.log";
      HANDLE h = ::CreateFileW(sPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      char buf[65536];
      DWORD cb = 0;
      while (::ReadFile(h, buf, sizeof(buf), &cb, nullptr) && cb) sLog.append(buf, cb);
      ::CloseHandle(h);
    }
    // Each run's block ends with the report's closing line and the block's empty line.
    auto Count = [&](const std::string& s) {
      std::size_t n = 0;
      for (auto p = sLog.find(s); p != std::string::npos; p = sLog.find(s, p + 1)) ++n;
      return n;
    };
    const std::string sEnd = "----------------------------------------\r\n\r\n";
    const std::size_t nRuns = Count("----- Check gestartet: ");
    EXPECT_EQ(nRuns, 2u) << "the click is queued before the close";
    EXPECT_EQ(Count(sEnd), nRuns);
    EXPECT_EQ(sLog.substr(sLog.size() - sEnd.size()), sEnd);
  }
}

}  // namespace
}  // namespace sw::test
