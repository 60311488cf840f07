#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "app/AppInfo_win32.h"
#include "app/CollectionRun.h"
#include "check/DriveQuestions.h"
#include "check/QuestionRunner_win32.h"
#include "check/SystemMeasurements_win32.h"
#include "controls/ovControls_win32.h"
#include "controls/ovForm_win32.h"
#include "report/ovRichEdit_win32.h"
#include "share/Mapi_win32.h"

namespace sw {

// Control ids of the main window; other processes find the controls by them.
enum TMainFormId : int {
  idPanelBottom = 100,
  idButtonClose,
  idGroupBoxInfo,
  idPanelInfoBottom,
  idRichEditInfo,
  idButtonCollectInfo,
  idLabelInfoStatus,
  idButtonMail,
  idButtonPreview,
};

// One row of the window's design. Rows are listed per parent in tab order; a child
// follows its parent. Aligned rows take their place from the parent's free area,
// the others are at (nLeft, nTop) inside their parent.
struct TLayoutRow {
  enum TKind { Panel, GroupBox, Button, Label, RichEdit };
  enum TAlign { None, Bottom, Client };
  int nId;
  int nParentId;  // 0: the form
  TKind aKind;
  TAlign aAlign;
  int nLeft, nTop, nWidth, nHeight;  // width/height 0 for the label: sized to its text
  const wchar_t* sCaption;
  int nTabOrder;
  bool bAnchorRight;  // keeps its distance to the parent's right edge
};
std::span<const TLayoutRow> MainFormLayout();

inline constexpr int kMainClientWidth = 654;
inline constexpr int kMainClientHeight = 448;
inline constexpr int kMainMinWidth = 660;
inline constexpr int kMainMinHeight = 300;
inline constexpr const wchar_t* kMainFormClass = L"TMainForm";
inline constexpr const wchar_t* kMainFormCaption = L"Sichtwerk";

// The caption after the show handler: the pieces joined as they stand.
std::wstring ExtendedCaption(const std::wstring& sCaption, bool bAdministrator,
                             const std::wstring& sVersion);

// The main window: report pane, status line, four buttons and the collection run.
class TMainForm : public TovForm, public IRunUi {
 public:
  TMainForm();
  ~TMainForm() override;

  HWND Handle() const { return Fhwnd; }
  // Creates the window hidden; Show runs FormShow and then makes it visible.
  void Create();
  // Shows the window; the first time, FormShow runs before it becomes visible and the
  // first collection run once it is painted.
  void Show(int nCmdShow);

  TovRichEdit& RichEditInfo() { return FRichEditInfo; }
  const std::wstring& Body() const { return sBody; }
  const std::wstring& AISMailTo() const { return sAISMail_To; }

  void FormShow() override;
  void ButtonCollectInfoClick(TovButton& Sender);
  void ButtonCloseClick(TovButton& Sender);

  // Mail and preview (their own source file).
  void ComposeBody();
  // The Simple MAPI result.
  std::uint32_t SendReportMail();
  void ShowPreview();
  void BuildPreview();
  void ButtonMailClick(TovButton& Sender);
  void ButtonPreviewClick(TovButton& Sender);

  // IRunUi
  void ShowWaitCursor() override;
  void RestoreCursor() override;
  void SetStatus(const std::wstring& sText) override;
  void ProcessMessages() override;

  std::wstring Status() const { return FLabelInfoStatus.Caption(); }
  // The result log the runs use; empty (the default): beside the exe.
  void SetResultLogPath(std::wstring sPath) { FsResultLogPath = std::move(sPath); }

 protected:
  LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void Destroyed() override;

 private:
  // Lets the mail and preview code keep helpers of its own with access to the fields.
  friend class TMainFormShare;

  void CreateControls();
  void ApplyLayout();
  // Where an aligned or anchored row goes inside its parent's free area, which it
  // narrows; none for a row that keeps its design place.
  static std::optional<RECT> PlaceRow(const TLayoutRow& row, std::map<int, RECT>& free);
  void NoteFreeArea(const TLayoutRow& row, std::map<int, RECT>& free);
  TovControl* Control(int nId);

  // Declared before the controls so that they outlive them.
  TFont FFormFont;      // Tahoma 8 pt, default character set
  TFont FRichEditFont;  // Tahoma 8 pt, ANSI character set

  TovPanel FPanelBottom;
  TovButton FButtonClose;
  TovGroupBox FGroupBoxInfo;
  TovPanel FPanelInfoBottom;
  TovRichEdit FRichEditInfo;
  TovButton FButtonCollectInfo;
  TovLabel FLabelInfoStatus;
  TovButton FButtonMail;
  TovButton FButtonPreview;

  HCURSOR FhSavedCursor = nullptr;
  bool FbWaitCursor = false;
  bool FbShown = false;
  TCollectionRun FCollectionRun;
  // The drives' questions run on workers; the window waits for them handling its
  // messages, and a close request ends the wait.
  TWinQuestionRunner FQuestionRunner{[this] { ProcessMessages(); }, [this] { return CloseHeld(); }};
  TDriveQuestions FDriveQuestions{FQuestionRunner};
  // The first run's adapter speed: the first IP Helper call of a process maps three
  // DLLs and is the check's longest query, so it runs while the window is shown.
  TAskedAhead<TAdapterSpeed> FAdapterAhead;
  // The program's one binding to Simple MAPI: the mail system is looked for once.
  TMapiBinding FMapiBinding;
  std::wstring FsResultLogPath;

  std::wstring sBody, sAISMail_To;
};

}  // namespace sw
