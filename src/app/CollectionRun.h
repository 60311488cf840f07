#pragma once
#include <string>

#include "check/Measurements.h"
#include "report/TextPane.h"
#include "resultlog/ResultLogFile.h"
#include "common/Locale.h"

namespace sw {

// What a collection run needs of the window it runs in.
class IRunUi {
 public:
  virtual ~IRunUi() = default;
  // Remembers the screen cursor and shows the hourglass; RestoreCursor puts it back.
  virtual void ShowWaitCursor() = 0;
  virtual void RestoreCursor() = 0;
  virtual void SetStatus(const std::wstring& sText) = 0;
  // Lets pending window messages be handled once.
  virtual void ProcessMessages() = 0;
};

struct TRunServices {
  ITextPane& Pane;
  IMeasurements& Measure;
  IResultLogFile& Log;
  ICodePage& CodePage;
  IRunUi& Ui;
};

inline constexpr const wchar_t* kStatusCollecting = L"Informationen sammeln: Sichtwek...";
inline constexpr const wchar_t* kStatusCollected = L"Informationen erfolgreich gesammelt.";
inline constexpr const wchar_t* kStatusLogNotSaved = L"Informationen gesammelt, Protokoll nicht gespeichert.";
inline constexpr const wchar_t* kStatusCollectFailed = L"Fehler beim Sammeln der Informationen.";

// One collection run: check, render, history below, this run's report to the log.
// A run asked for while one is under way (a click handled by the run's own message
// pump) is not started; the result is then false. Errors that escape the check are
// passed on after the clean-up. The status line says success only when the check,
// the rendering and the log entry all succeeded.
class TCollectionRun {
 public:
  bool Run(TRunServices& aServices, std::wstring& sAISMail_To);
  bool Running() const { return FbRunning; }

 private:
  bool FbRunning = false;
};

}  // namespace sw
