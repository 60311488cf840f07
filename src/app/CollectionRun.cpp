#include "app/CollectionRun.h"

#include "common/StartTrace.h"
#include "report/Render.h"

namespace sw {

namespace {
// Resets a flag on every way out of a scope.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& b) : Fb(b) { Fb = true; }
  ~TFlagGuard() { Fb = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& Fb;
};
}  // namespace

bool TCollectionRun::Run(TRunServices& s, std::wstring& sAISMail_To) {
  if (FbRunning) return false;
  TFlagGuard running(FbRunning);

  s.Ui.ShowWaitCursor();
  struct TCleanup {
    TRunServices& s;
    ~TCleanup() {
      s.Pane.EndUpdate();
      s.Ui.SetStatus(kStatusCollected);
      s.Ui.RestoreCursor();
    }
  };
  s.Pane.BeginUpdate(true);
  TServiceInfos infos;
  TCleanup cleanup{s};
  SW_START_MARK("cleared");

  s.Ui.SetStatus(kStatusCollecting);
  s.Ui.ProcessMessages();
  SW_START_MARK("pumped");
  infos.CollectImportantEnvironmentInfos(sAISMail_To, s.Measure);
  SW_START_MARK("check");
  ShowServiceInfos(infos, s.Pane);
  SW_START_MARK("render");
  // Taken before the history is appended, so the log never receives the history and
  // the pane never shows the new report twice.
  const std::wstring sNewEntries = s.Pane.Text();
  infos.CollectLogEntries(s.Pane, s.Log, s.CodePage);
  SW_START_MARK("history");
  infos.HandleLog(sNewEntries, s.Log, s.CodePage);
  SW_START_MARK("log");
  try {
    s.Pane.AddPlainLine(L"");
  } catch (const EPaneInsertError&) {
    // A pane filled to the brim by the history has no room for the closing line;
    // like the history cut itself, that is no error for the user.
  }
  return true;
}

}  // namespace sw
