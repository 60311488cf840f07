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
    // What the status line says on the way out: a failure unless the run got through.
    const wchar_t* sStatus = kStatusCollectFailed;
    ~TCleanup() {
      s.Pane.EndUpdate();
      s.Ui.SetStatus(sStatus);
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
  const bool bChecked = infos.CollectImportantEnvironmentInfos(sAISMail_To, s.Measure);
  SW_START_MARK("check");
  ShowServiceInfos(infos, s.Pane);
  SW_START_MARK("render");
  // Taken before the history is appended, so the log never receives the history and
  // the pane never shows the new report twice.
  const std::wstring sNewEntries = s.Pane.Text();
  infos.CollectLogEntries(s.Pane, s.Log, s.CodePage);
  SW_START_MARK("history");
  const bool bLogged = infos.HandleLog(sNewEntries, s.Log, s.CodePage);
  SW_START_MARK("log");
  try {
    s.Pane.AddPlainLine(L"");
  } catch (const EPaneInsertError&) {
    // A pane filled to the brim by the history has no room for the closing line;
    // like the history cut itself, that is no error for the user.
  }
  if (bChecked) cleanup.sStatus = bLogged ? kStatusCollected : kStatusLogNotSaved;
  return true;
}

}  // namespace sw
