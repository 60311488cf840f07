#include "controls/ovForm_win32.h"

#include <commctrl.h>

#include <stdexcept>

namespace sw {

namespace {

// The program's icon: group 1 of the running exe at the system's big and small icon
// size (SM_CXICON, SM_CXSMICON). Loaded shared, so never destroyed; null when the exe
// carries no icon. It goes into the window class, and WM_GETICON, which the taskbar
// asks first, answers with it (TovForm::WndProc).
HICON ProgramIcon(int nCx, int nCy) {
  return static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, nCx, nCy, LR_SHARED));
}
HICON BigProgramIcon() { return ProgramIcon(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)); }
HICON SmallProgramIcon() { return ProgramIcon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)); }

void SetProgramIcon(WNDCLASSEXW& wc) {
  wc.hIcon = BigProgramIcon();
  wc.hIconSm = SmallProgramIcon();
}

// With the common controls 6 manifest, Windows XP creates no control before this call:
// its user32 does not load comctl32 for the redirected class names by itself. Every
// control of the program is created inside a form, so the first form makes the call.
void InitCommonControlClasses() {
  static bool bDone = false;
  if (bDone) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  bDone = ::InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace

TovForm::~TovForm() {
  if (Fhwnd) {
    HWND hwnd = Fhwnd;
    ::DestroyWindow(hwnd);  // WM_NCDESTROY clears Fhwnd and the stored pointer
    Fhwnd = nullptr;
  }
}

std::wstring TovForm::Caption() const {
  if (!Fhwnd) return {};
  return WindowText(Fhwnd);
}

void TovForm::SetCaption(const std::wstring& sCaption) {
  if (Fhwnd) ::SetWindowTextW(Fhwnd, sCaption.c_str());
}

TovForm* TovForm::FromHandle(HWND hwnd) {
  // Only a window running this class's procedure holds a form in its user data.
  if (!hwnd || ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TovForm::StaticWndProc))
    return nullptr;
  auto* self = reinterpret_cast<TovForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self && self->Fhwnd == hwnd ? self : nullptr;
}

void ShowException(HWND hFrom, std::exception_ptr pError) noexcept {
  try {
    const std::wstring sText = ExceptionText(pError);
    // The window's form, then the forms that own it: the first with a sink shows it.
    for (HWND h = hFrom ? ::GetAncestor(hFrom, GA_ROOT) : nullptr; h; h = ::GetWindow(h, GW_OWNER)) {
      const TovForm* form = TovForm::FromHandle(h);
      if (form && form->ErrorSink()) {
        form->ErrorSink()(sText);
        return;
      }
    }
    ::MessageBoxW(::GetActiveWindow(), sText.c_str(), L"Fehler", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
    // Nothing more can be shown; the program goes on.
  }
}

void TovForm::CreateForm(const wchar_t* sClassName, const std::wstring& sCaption, DWORD dwStyle,
                         DWORD dwExStyle, int nClientWidth, int nClientHeight, HWND hOwner) {
  InitCommonControlClasses();
  HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(hInstance, sClassName, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TovForm::StaticWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    SetProgramIcon(wc);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = sClassName;
    if (!::RegisterClassExW(&wc)) throw std::runtime_error("Fensterklasse konnte nicht registriert werden");
  }
  // Design pixels: the client size is taken as it stands, whatever the screen's dpi.
  RECT rc{0, 0, nClientWidth, nClientHeight};
  ::AdjustWindowRectEx(&rc, dwStyle, FALSE, dwExStyle);
  const int nWidth = rc.right - rc.left, nHeight = rc.bottom - rc.top;
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - nWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - nHeight) / 2;
  HWND hwnd = ::CreateWindowExW(dwExStyle, sClassName, sCaption.c_str(), dwStyle, x, y, nWidth, nHeight,
                                hOwner, nullptr, hInstance, this);
  if (!hwnd) throw std::runtime_error("Fenster konnte nicht erzeugt werden");
}

TovForm::TBusy::TBusy(TovForm& aForm) : FForm(aForm) { ++FForm.FnBusy; }

TovForm::TBusy::~TBusy() {
  if (--FForm.FnBusy > 0 || !FForm.FbCloseHeld) return;
  FForm.FbCloseHeld = false;
  // Posted: the step that ends here is still on the stack.
  if (FForm.Fhwnd) ::PostMessageW(FForm.Fhwnd, WM_CLOSE, 0, 0);
}

void TovForm::RequestClose() {
  if (!Busy()) {
    FormClose();
    return;
  }
  FbCloseHeld = true;
  if (FhModalForm && ::IsWindow(FhModalForm)) ::PostMessageW(FhModalForm, WM_CLOSE, 0, 0);
}

bool TovForm::CanTakeFocus(HWND h) const {
  return h && ::IsChild(Fhwnd, h) && ::IsWindowVisible(h) && ::IsWindowEnabled(h);
}

void TovForm::RememberFocus(HWND hControl) {
  if (hControl && ::IsChild(Fhwnd, hControl)) FhFocus = hControl;
}

void TovForm::RestoreFocus() {
  HWND h = CanTakeFocus(FhFocus) ? FhFocus : FirstFocus();
  if (!CanTakeFocus(h)) h = ::GetNextDlgTabItem(Fhwnd, nullptr, FALSE);
  if (CanTakeFocus(h)) ::SetFocus(h);
}

void TovForm::FocusControl(HWND hControl) {
  RememberFocus(hControl);
  if (Fhwnd && ::GetActiveWindow() == Fhwnd && CanTakeFocus(hControl)) ::SetFocus(hControl);
}

void TovForm::RestoreLostFocus() {
  if (!Fhwnd || ::GetActiveWindow() != Fhwnd) return;
  HWND hFocus = ::GetFocus();
  if (!hFocus || hFocus == Fhwnd) RestoreFocus();
}

BOOL CALLBACK TovForm::SendColorChange(HWND hwnd, LPARAM) {
  ::SendMessageW(hwnd, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

void TovForm::FollowColors() {
  // Controls learn of the change only from their top-level window, which hands it to
  // every one of them, also those inside panels and group boxes (the report panes).
  ::EnumChildWindows(Fhwnd, &TovForm::SendColorChange, 0);
  ::RedrawWindow(Fhwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void TovForm::ShowModal(HWND hOwner, int nCmdShow) {
  // The owner's close requests are handed to this form while it is up.
  TovForm* owner = FromHandle(hOwner);
  const HWND hOwnersModal = owner ? owner->FhModalForm : nullptr;
  if (owner) owner->FhModalForm = Fhwnd;
  struct TModalEnd {
    TovForm* owner;
    HWND hPrevious;
    ~TModalEnd() {
      if (owner) owner->FhModalForm = hPrevious;
    }
  } modalEnd{owner, hOwnersModal};
  if (hOwner) ::EnableWindow(hOwner, FALSE);
  try {
    FormShow();
  } catch (...) {
    ShowException(Fhwnd, std::current_exception());
  }
  ::ShowWindow(Fhwnd, nCmdShow);
  RestoreFocus();
  MSG msg;
  while (Fhwnd) {
    const BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) {
      // A quit meant for the main loop: close the form and leave it there.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      if (Fhwnd) ::DestroyWindow(Fhwnd);
      break;
    }
    if (r < 0) break;
    if (PressDefaultButton(msg)) continue;
    if (Fhwnd && ::IsDialogMessageW(Fhwnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (hOwner) {
    ::EnableWindow(hOwner, TRUE);
    ::SetForegroundWindow(hOwner);
  }
}

bool TovForm::PressDefaultButton(const MSG& msg) {
  // Handled before the dialog manager, which finds a default button only among the
  // form's direct children, not inside its panels. As in every Windows dialog, Enter
  // presses the push button that has the focus, and the default button otherwise.
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  if (msg.hwnd != Fhwnd && !::IsChild(Fhwnd, msg.hwnd)) return false;
  TovButton* button = dynamic_cast<TovButton*>(TovControl::FromHandle(msg.hwnd));
  if (!button) button = DefaultButton(msg.hwnd);
  if (!button || !button->Enabled()) return false;
  button->Click();
  return true;
}

LRESULT TovForm::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    // The three events; the messages are not handed on.
    case WM_ENTERSIZEMOVE:
      Fire(OnEnterSizeMove);
      return 0;
    case WM_EXITSIZEMOVE:
      Fire(OnExitSizeMove);
      return 0;
    case WM_MOVE:
      Fire(OnMove);
      return 0;
    case DM_GETDEFID:
      if (TovButton* button = DefaultButton(nullptr))
        return MAKELRESULT(::GetDlgCtrlID(button->Handle()), DC_HASDEFID);
      break;
    case WM_CLOSE:
      RequestClose();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        RememberFocus(::GetFocus());
        return 0;
      }
      // Not left to DefWindowProc, which gives the focus to the form itself: typed
      // letters would then act as access keys.
      if (!HIWORD(wParam)) {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SYSCOLORCHANGE:
      FollowColors();
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) FollowColors();
      break;
    case WM_GETICON:
      // Not set with WM_SETICON: each of those has Wine's X11 driver convert both
      // icons once more (about 2 ms apiece at every start). A window without icons of
      // its own answers with its class's, the same handles.
      if (const LRESULT hIcon = Default(uMsg, wParam, lParam)) return hIcon;
      if (wParam == ICON_BIG) return static_cast<LRESULT>(::GetClassLongPtrW(Fhwnd, GCLP_HICON));
      if (wParam == ICON_SMALL || wParam == ICON_SMALL2)
        return static_cast<LRESULT>(::GetClassLongPtrW(Fhwnd, GCLP_HICONSM));
      return 0;
    case WM_QUERYENDSESSION:
      // Never holds up a log-off or shutdown: a run writes its log entry whole or not.
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) RequestClose();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && !lParam) {
        EscapePressed();
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && lParam) {
        HWND hButton = reinterpret_cast<HWND>(lParam);
        if (auto* button = dynamic_cast<TovButton*>(TovControl::FromHandle(hButton))) {
          // A disabled button is not pressed, whoever sends its click.
          if (button->Enabled()) button->Click();
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return Default(uMsg, wParam, lParam);
}

void TovForm::Fire(const TNotify& aEvent) {
  if (aEvent) aEvent(*this);
}

LRESULT CALLBACK TovForm::StaticWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<TovForm*>(cs->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->Fhwnd = hwnd;
  }
  auto* self = reinterpret_cast<TovForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY find no object.
  if (!self || self->Fhwnd != hwnd) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->Fhwnd = nullptr;
    return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
  }
  try {
    if (uMsg == WM_DESTROY) self->Destroyed();
    return self->WndProc(uMsg, wParam, lParam);
  } catch (...) {
    ShowException(hwnd, std::current_exception());
    return 0;
  }
}

}  // namespace sw
