#include "app/MainForm_win32.h"

#include <map>
#include <stdexcept>

#include "check/SystemMeasurements_win32.h"
#include "common/StartTrace.h"
#include "resultlog/ResultLogFile_win32.h"
#include "sysquery/Locale_win32.h"
#include "win32/ModuleFile_win32.h"

namespace sw {

namespace {
using R = TLayoutRow;
// The design of the main window, per parent in tab order. ButtonClose comes first
// in its panel because its tab order is 0.
constexpr TLayoutRow kLayout[] = {
    {idPanelBottom, 0, R::Panel, R::Bottom, 0, 0, 0, 27, L"", 0, false},
    {idButtonClose, idPanelBottom, R::Button, R::None, 566, 0, 75, 25, L"&Schließen", 0, true},
    {idButtonMail, idPanelBottom, R::Button, R::None, 8, 0, 145, 25, L"per Mail versenden", 1, false},
    {idButtonPreview, idPanelBottom, R::Button, R::None, 159, 0, 169, 25, L"Infos &anzeigen/ausdrucken", 2, false},
    {idGroupBoxInfo, 0, R::GroupBox, R::Client, 0, 0, 0, 0, L"Informationen", 1, false},
    {idPanelInfoBottom, idGroupBoxInfo, R::Panel, R::Bottom, 0, 0, 0, 35, L"", 0, false},
    {idButtonCollectInfo, idPanelInfoBottom, R::Button, R::None, 6, 2, 320, 25, L"Informationen erneut sammeln", 0,
     false},
    {idLabelInfoStatus, idPanelInfoBottom, R::Label, R::None, 332, 7, 0, 0, L"LabelInfoStatus", -1, false},
    {idRichEditInfo, idGroupBoxInfo, R::RichEdit, R::Client, 0, 0, 0, 0, L"", 1, false},
};

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
}  // namespace

std::span<const TLayoutRow> MainFormLayout() { return kLayout; }

std::wstring ExtendedCaption(const std::wstring& sCaption, bool bAdministrator, const std::wstring& sVersion) {
  return sCaption + (bAdministrator ? L" (Administrator) " : L" (kein Administrator) ") + L" Version: " + sVersion;
}

TMainForm::TMainForm()
    : FFormFont(CreateTahoma(-11, DEFAULT_CHARSET)), FRichEditFont(CreateTahoma(-11, ANSI_CHARSET)) {}

TMainForm::~TMainForm() = default;

TovControl* TMainForm::Control(int nId) {
  switch (nId) {
    case idPanelBottom: return &FPanelBottom;
    case idButtonClose: return &FButtonClose;
    case idGroupBoxInfo: return &FGroupBoxInfo;
    case idPanelInfoBottom: return &FPanelInfoBottom;
    case idRichEditInfo: return &FRichEditInfo;
    case idButtonCollectInfo: return &FButtonCollectInfo;
    case idLabelInfoStatus: return &FLabelInfoStatus;
    case idButtonMail: return &FButtonMail;
    case idButtonPreview: return &FButtonPreview;
    default: return nullptr;
  }
}

void TMainForm::Create() {
  CreateForm(kMainFormClass, kMainFormCaption, kFormStyle, kFormExStyle, kMainClientWidth, kMainClientHeight);
  // The pane's DLLs load on a worker while this thread creates the controls before the
  // pane, which waits for that load if it is not through. Started any earlier, the
  // load holds up the window's own creation.
  FQuestionRunner.Start([] { LoadMsftedit(); });
  SW_START_MARK("window");
  CreateControls();
  SW_START_MARK("controls");
}

std::optional<RECT> TMainForm::PlaceRow(const TLayoutRow& row, std::map<int, RECT>& free) {
  RECT& area = free[row.nParentId];
  switch (row.aAlign) {
    case R::Bottom: {
      const RECT rc{area.left, area.bottom - row.nHeight, area.right, area.bottom};
      area.bottom -= row.nHeight;
      return rc;
    }
    case R::Client: {
      const RECT rc = area;
      area = RECT{area.left, area.top, area.left, area.top};
      return rc;
    }
    case R::None:
      break;
  }
  if (!row.bAnchorRight) return std::nullopt;
  const int nRightGap = kMainClientWidth - (row.nLeft + row.nWidth);
  const int nLeft = area.right - nRightGap - row.nWidth;
  return RECT{nLeft, row.nTop, nLeft + row.nWidth, row.nTop + row.nHeight};
}

void TMainForm::NoteFreeArea(const TLayoutRow& row, std::map<int, RECT>& free) {
  if (row.aKind == R::GroupBox) free[row.nId] = FGroupBoxInfo.InnerRect();
  if (row.aKind == R::Panel) {
    RECT rc{};
    ::GetClientRect(Control(row.nId)->Handle(), &rc);
    free[row.nId] = rc;
  }
}

void TMainForm::CreateControls() {
  // Every control is created where the layout puts it: no second pass moves them.
  std::map<int, RECT> free;
  ::GetClientRect(Fhwnd, &free[0]);
  for (const TLayoutRow& row : kLayout) {
    TovControl* parent = row.nParentId ? Control(row.nParentId) : nullptr;
    HWND hParent = parent ? parent->Handle() : Fhwnd;
    const RECT rc = PlaceRow(row, free).value_or(
        RECT{row.nLeft, row.nTop, row.nLeft + row.nWidth, row.nTop + row.nHeight});
    switch (row.aKind) {
      case R::Panel:
        static_cast<TovPanel*>(Control(row.nId))->Create(hParent, rc, row.sCaption, row.nId);
        break;
      case R::GroupBox:
        static_cast<TovGroupBox*>(Control(row.nId))->Create(hParent, rc, row.sCaption, row.nId);
        break;
      case R::Button:
        static_cast<TovButton*>(Control(row.nId))->Create(hParent, rc, row.sCaption, row.nId);
        break;
      case R::Label:
        FLabelInfoStatus.Create(hParent, row.nLeft, row.nTop, row.sCaption, row.nId, FFormFont.get());
        break;
      case R::RichEdit:
        // A tab stop, so that the report can be read, scrolled and copied by keyboard.
        FRichEditInfo.Create(hParent, rc, WS_TABSTOP | WS_VSCROLL | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                             WS_EX_CLIENTEDGE, FRichEditFont.get(), false, row.nId);
        FRichEditInfo.FollowSystemColors();
        break;
    }
    if (row.aKind != R::RichEdit) Control(row.nId)->SetFont(FFormFont.get());
    NoteFreeArea(row, free);
  }
  ::SendMessageW(Fhwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FFormFont.get()), FALSE);
  FButtonClose.OnClick = [this](TovButton& b) { ButtonCloseClick(b); };
  FButtonCollectInfo.OnClick = [this](TovButton& b) { ButtonCollectInfoClick(b); };
  FButtonMail.OnClick = [this](TovButton& b) { ButtonMailClick(b); };
  FButtonPreview.OnClick = [this](TovButton& b) { ButtonPreviewClick(b); };
}

void TMainForm::ApplyLayout() {
  if (!Fhwnd || !FRichEditInfo.Handle()) return;
  // The free area of every parent, narrowed as aligned children take their place.
  std::map<int, RECT> free;
  ::GetClientRect(Fhwnd, &free[0]);
  for (const TLayoutRow& row : kLayout) {
    if (const std::optional<RECT> rc = PlaceRow(row, free)) {
      Control(row.nId)->SetBounds(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top);
    }
    NoteFreeArea(row, free);
  }
}

void TMainForm::Show(int nCmdShow) {
  const bool bFirst = !FbShown;
  FbShown = true;
  if (bFirst) {
    FAdapterAhead.Start(FQuestionRunner, AskAdapterSpeed);
    // Before the window first becomes visible; a failure is shown and the window
    // still comes up.
    try {
      FormShow();
    } catch (...) {
      ShowException(Fhwnd, std::current_exception());
    }
  }
  ::ShowWindow(Fhwnd, nCmdShow);
  SW_START_MARK("ShowWindow");
  ::UpdateWindow(Fhwnd);
  SW_START_MARK("UpdateWindow");
  if (!bFirst) return;
  // The first run comes once the window stands on the screen: a drive on a server
  // that is off answers only after the network's time-out, and until then the
  // program would seem not to start at all.
  try {
    ButtonCollectInfoClick(FButtonCollectInfo);
  } catch (...) {
    ShowException(Fhwnd, std::current_exception());
  }
  SW_START_MARK("run-end");
}

void TMainForm::FormShow() {
  SetStatus(L"");
  SetCaption(ExtendedCaption(Caption(), IsAdministrator(), GetToolVersion()));
  SW_START_MARK("caption");
}

void TMainForm::ButtonCollectInfoClick(TovButton& Sender) {
  TSystemMeasurements measure(FDriveQuestions, &FAdapterAhead);
  TResultLogFileWin32 log = FsResultLogPath.empty() ? TResultLogFileWin32() : TResultLogFileWin32(FsResultLogPath);
  TWinCodePage codePage;
  TRunServices services{FRichEditInfo, measure, log, codePage, *this};
  // A click that the run's own message pump hands back here is dropped by the run.
  TBusy busy(*this);
  if (FCollectionRun.Run(services, sAISMail_To)) FAdapterAhead.Forget();
}

// Posted: the window must not be destroyed inside its own button's notification.
void TMainForm::ButtonCloseClick(TovButton& Sender) { ::PostMessageW(Fhwnd, WM_CLOSE, 0, 0); }

void TMainForm::ShowWaitCursor() {
  FhSavedCursor = ::GetCursor();
  FbWaitCursor = true;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void TMainForm::RestoreCursor() {
  FbWaitCursor = false;
  ::SetCursor(FhSavedCursor ? FhSavedCursor : ::LoadCursorW(nullptr, IDC_ARROW));
}

void TMainForm::SetStatus(const std::wstring& sText) {
  FLabelInfoStatus.SetCaption(sText);
  if (FLabelInfoStatus.Handle()) ::UpdateWindow(FLabelInfoStatus.Handle());
}

void TMainForm::ProcessMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the main loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (Fhwnd && ::IsDialogMessageW(Fhwnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

LRESULT TMainForm::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
      mmi->ptMinTrackSize = POINT{kMainMinWidth, kMainMinHeight};
      return 0;
    }
    case WM_SIZE:
      ApplyLayout();
      return 0;
    case WM_SETCURSOR:
      if (FbWaitCursor) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return TovForm::WndProc(uMsg, wParam, lParam);
}

// Only the main window ends the program.
void TMainForm::Destroyed() { ::PostQuitMessage(0); }

}  // namespace sw
