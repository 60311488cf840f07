#include "app/CollectionRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/FakeMeasurements.h"
#include "report/MemoryPane.h"
#include "resultlog/ResultLogFakes.h"

namespace sw {
namespace {

// Records what the run asks of its window, in order.
class TRecordingUi : public IRunUi {
 public:
  std::vector<std::wstring> Events;
  std::function<void()> OnPump;
  int iCursorDepth = 0;

  void ShowWaitCursor() override {
    ++iCursorDepth;
    Events.push_back(L"wait");
  }
  void RestoreCursor() override {
    --iCursorDepth;
    Events.push_back(L"restore");
  }
  void SetStatus(const std::wstring& s) override { Events.push_back(L"status:" + s); }
  void ProcessMessages() override {
    Events.push_back(L"pump");
    if (OnPump) OnPump();
  }
};

struct TRig {
  explicit TRig(std::size_t nCapacity = kPaneCapacity) : Pane(nCapacity) {}
  TMemoryPane Pane;
  test::TFakeMeasurements Measure;
  test::TFakeLogFile Log;
  test::TCp1252 CodePage;
  TRecordingUi Ui;
  TCollectionRun Run;
  std::wstring sMail = L"old@vendor.example";
  TRunServices Services() { return {Pane, Measure, Log, CodePage, Ui}; }
};

TEST(CollectionRun, StatusCursorAndClosingLine) {
  TRig r;
  r.Pane.SetWordWrap(true);
  auto s = r.Services();
  ASSERT_TRUE(r.Run.Run(s, r.sMail));
  const std::vector<std::wstring> expected = {
      L"wait", L"status:Informationen sammeln: Sichtwek...", L"pump",
      L"status:Informationen erfolgreich gesammelt.", L"restore"};
  EXPECT_EQ(r.Ui.Events, expected);
  EXPECT_EQ(r.Ui.iCursorDepth, 0);
  EXPECT_TRUE(r.Pane.WordWrap());  // restored by EndUpdate
  ASSERT_GT(r.Pane.LineCount(), 1);
  EXPECT_EQ(r.Pane.Line(r.Pane.LineCount() - 1), L"");
  EXPECT_EQ(r.sMail, L"");  // no practice system: overwritten, not kept
  EXPECT_FALSE(r.Run.Running());
}

std::size_t Count(const std::wstring& s, const std::wstring& sPart) {
  std::size_t n = 0;
  for (auto p = s.find(sPart); p != std::wstring::npos; p = s.find(sPart, p + 1)) ++n;
  return n;
}

// A click handed over by the run's own message pump starts no second run inside the
// first: it is dropped without touching the window, the pane or the log, and nothing is
// raised for it. (That the real pump hands the click over: MainForm's Wine test.)
TEST(CollectionRun, ClickDuringThePumpStartsNoSecondRun) {
  TRig r;
  int iNested = 0;
  bool bNestedResult = true;
  r.Ui.OnPump = [&] {
    ++iNested;
    EXPECT_TRUE(r.Run.Running());
    const std::size_t nEvents = r.Ui.Events.size();
    auto s = r.Services();
    EXPECT_NO_THROW(bNestedResult = r.Run.Run(s, r.sMail));
    EXPECT_EQ(r.Ui.Events.size(), nEvents) << "no cursor, status or pump of its own";
  };
  auto s = r.Services();
  ASSERT_TRUE(r.Run.Run(s, r.sMail));
  EXPECT_EQ(iNested, 1);
  EXPECT_FALSE(bNestedResult);
  EXPECT_EQ(r.Ui.iCursorDepth, 0);
  EXPECT_EQ(Count(r.Pane.Text(), L"Check gestartet"), 1u) << "one report";
  EXPECT_EQ(r.Log.nAppends, 1);
  // A later click is a full run again: the new report heads the pane, the old one is history.
  r.Ui.OnPump = nullptr;
  ASSERT_TRUE(r.Run.Run(s, r.sMail));
  EXPECT_EQ(r.Log.nAppends, 2);
  EXPECT_EQ(Count(r.Pane.Text(), L"Check gestartet"), 2u);
}

TEST(CollectionRun, CleanupRunsWhenTheRenderFails) {
  // A pane too small for the report makes AddLine raise; the run passes the error
  // on only after restoring word wrap, status and cursor.
  TRig r(40);
  r.Pane.SetWordWrap(true);
  auto s = r.Services();
  EXPECT_THROW(r.Run.Run(s, r.sMail), EPaneInsertError);
  EXPECT_TRUE(r.Pane.WordWrap());
  EXPECT_EQ(r.Ui.Events.back(), L"restore");
  EXPECT_EQ(r.Ui.Events[r.Ui.Events.size() - 2], L"status:Fehler beim Sammeln der Informationen.");
  EXPECT_EQ(r.Ui.iCursorDepth, 0);
  EXPECT_FALSE(r.Run.Running());
  EXPECT_EQ(r.Log.nAppends, 0);
}

// A check that an error ended shows its red entry and is logged, but the status line
// does not call the run a success.
TEST(CollectionRun, CheckEndedByAnErrorIsNoSuccess) {
  TRig r;
  r.Measure.OnQuery = [](const char* s) {
    if (std::string(s) == "QueryFreeRamMB") throw std::runtime_error("x");
  };
  auto s = r.Services();
  ASSERT_TRUE(r.Run.Run(s, r.sMail));
  EXPECT_NE(r.Pane.Text().find(L"Fehler = Ein Fehler ist aufgetreten"), std::wstring::npos);
  EXPECT_EQ(r.Log.nAppends, 1);
  EXPECT_EQ(r.Ui.Events[r.Ui.Events.size() - 2], L"status:Fehler beim Sammeln der Informationen.");
}

TEST(CollectionRun, HistoryFillingThePaneLeavesNoRoomAndNoError) {
  TRig r;
  // Empty history lines fill the pane to the last character; the closing empty
  // line then no longer fits and is dropped silently.
  for (std::size_t i = 0; i < kPaneCapacity; ++i) r.Log.sFile += "\r\n";
  auto s = r.Services();
  EXPECT_TRUE(r.Run.Run(s, r.sMail));
  EXPECT_EQ(r.Pane.TextLength(), kPaneCapacity);
  EXPECT_EQ(r.Log.nAppends, 1);
}

}  // namespace
}  // namespace sw
