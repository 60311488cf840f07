#include "controls/ovForm_win32.h"

#include <stdexcept>

#include "controls/ovControls_win32.h"

namespace sw {

namespace {

HICON ProgramIcon(int nCx, int nCy) {
  return static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, nCx, nCy, LR_SHARED));
}
HICON BigProgramIcon() { return ProgramIcon(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)); }
HICON SmallProgramIcon() { return ProgramIcon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)); }

}  // namespace

void SetProgramIcon(WNDCLASSEXW& wc) {
  wc.hIcon = BigProgramIcon();
  wc.hIconSm = SmallProgramIcon();
}

void SetProgramIcon(HWND hwnd) {
  ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(BigProgramIcon()));
  ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallProgramIcon()));
}

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

void TovForm::CreateForm(const wchar_t* sClassName, const std::wstring& sCaption, DWORD dwStyle,
                         DWORD dwExStyle, int nClientWidth, int nClientHeight, HWND hOwner) {
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
  SetProgramIcon(hwnd);
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
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam) {
        if (auto* button = dynamic_cast<TovButton*>(TovControl::FromHandle(reinterpret_cast<HWND>(lParam)))) {
          button->Click();
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
    ShowException(std::current_exception());
    return 0;
  }
}

}  // namespace sw
