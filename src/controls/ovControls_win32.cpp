#include "controls/ovControls_win32.h"

#include <stdexcept>

#include "common/Text.h"
#include "controls/ovForm_win32.h"

namespace sw {

std::wstring ExceptionText(std::exception_ptr pError) {
  try {
    if (pError) std::rethrow_exception(pError);
  } catch (const std::exception& e) {
    std::wstring s = Utf8ToWide(e.what());
    return s.empty() ? L"Unbekannter Fehler" : s;
  } catch (...) {
  }
  return L"Unbekannter Fehler";
}

TFont CreateTahoma(int nHeight, BYTE nCharSet) {
  LOGFONTW lf{};
  lf.lfHeight = nHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = nCharSet;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  // Not wcscpy_s: Windows XP's msvcrt.dll has none of the "_s" functions.
  ::lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return TFont(::CreateFontIndirectW(&lf));
}

std::wstring WindowText(HWND hwnd) {
  const int cch = ::GetWindowTextLengthW(hwnd);
  if (cch <= 0) return {};
  std::wstring s(static_cast<std::size_t>(cch) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd, s.data(), cch + 1);
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return s;
}

namespace {
// Notifications and colour requests of child controls: containers hand them on to
// their parent, so that they reach the form.
bool IsChildReport(UINT uMsg) {
  switch (uMsg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return true;
    default:
      return false;
  }
}
}  // namespace

TovControl::~TovControl() {
  // A window destroyed with its parent leaves a stale handle here: destroy only a
  // window that still points back at this object.
  if (Fhwnd && ::IsWindow(Fhwnd) && FromHandle(Fhwnd) == this) {
    Unmark(Fhwnd);
    ::DestroyWindow(Fhwnd);
  }
  Fhwnd = nullptr;
}

std::wstring TovControl::Caption() const {
  if (!Fhwnd) return {};
  return WindowText(Fhwnd);
}

void TovControl::SetCaption(const std::wstring& sCaption) {
  if (Fhwnd) ::SetWindowTextW(Fhwnd, sCaption.c_str());
}

void TovControl::SetBounds(int nLeft, int nTop, int nWidth, int nHeight) {
  if (Fhwnd) ::MoveWindow(Fhwnd, nLeft, nTop, nWidth, nHeight, TRUE);
}

void TovControl::SetFont(HFONT hFont) {
  FhFont = hFont;
  if (Fhwnd) ::SendMessageW(Fhwnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
}

namespace {
// The window property that marks a control of this family. GWLP_USERDATA alone does
// not tell: forms and other windows keep pointers of other kinds there.
constexpr const wchar_t* kControlProp = L"Sichtwerk.TovControl";
}  // namespace

TovControl* TovControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto* control = static_cast<TovControl*>(::GetPropW(hwnd, kControlProp));
  return control && control->Fhwnd == hwnd ? control : nullptr;
}

void TovControl::Unmark(HWND hwnd) {
  if (hwnd) ::RemovePropW(hwnd, kControlProp);
}

void TovControl::Detach(HWND hwnd) {
  // Windows wants every property gone by the end of WM_NCDESTROY: each one left keeps
  // a reference on its name's global atom.
  if (TovControl* self = FromHandle(hwnd)) self->Fhwnd = nullptr;
  Unmark(hwnd);
}

LRESULT CALLBACK TovControl::ControlProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCDESTROY) Detach(hwnd);
  return CallClassProc(hwnd, uMsg, wParam, lParam);
}

void TovControl::SetEnabled(bool bEnabled) {
  TovForm* form = Fhwnd ? TovForm::FromHandle(::GetAncestor(Fhwnd, GA_ROOT)) : nullptr;
  if (!bEnabled && form && ::GetFocus() == Fhwnd) form->RememberFocus(Fhwnd);
  ::EnableWindow(Fhwnd, bEnabled);
  if (bEnabled && form) form->RestoreLostFocus();
}

void TovControl::CreateChild(const wchar_t* sClass, HWND hParent, DWORD dwStyle, DWORD dwExStyle,
                             const RECT& rc, const std::wstring& sCaption, int nId) {
  HWND hwnd = ::CreateWindowExW(dwExStyle, sClass, sCaption.c_str(), WS_CHILD | WS_VISIBLE | dwStyle,
                                rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hParent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                ::GetModuleHandleW(nullptr), this);
  if (!hwnd) throw std::runtime_error("Fenster konnte nicht erzeugt werden");
  Attach(hwnd);
}

void TovControl::Attach(HWND hwnd) {
  Fhwnd = hwnd;
  ::SetPropW(hwnd, kControlProp, this);
  if (WNDPROC proc = Subclass()) ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void TovButton::Create(HWND hParent, const RECT& rc, const std::wstring& sCaption, int nId,
                       DWORD dwExtraStyle) {
  CreateChild(L"BUTTON", hParent, WS_TABSTOP | BS_PUSHBUTTON | dwExtraStyle, 0, rc, sCaption, nId);
}

void TovButton::Click() {
  try {
    if (OnClick) OnClick(*this);
  } catch (...) {
    ShowException(Fhwnd, std::current_exception());
  }
}

void TovEdit::Create(HWND hParent, const RECT& rc, const std::wstring& sText, int nId, DWORD dwExtraStyle) {
  CreateChild(L"EDIT", hParent, ES_AUTOHSCROLL | dwExtraStyle, WS_EX_CLIENTEDGE, rc, sText, nId);
}

void TovLabel::Create(HWND hParent, int nLeft, int nTop, const std::wstring& sCaption, int nId,
                      HFONT hFont) {
  CreateChild(L"STATIC", hParent, SS_LEFT | SS_NOPREFIX, 0, RECT{nLeft, nTop, nLeft, nTop}, sCaption, nId);
  SetFont(hFont);
  AutoSize();
}

void TovLabel::SetCaption(const std::wstring& sCaption) {
  TovControl::SetCaption(sCaption);
  AutoSize();
}

void TovLabel::AutoSize() {
  if (!Fhwnd) return;
  HDC hdc = ::GetDC(Fhwnd);
  if (!hdc) return;
  HGDIOBJ hOld = FhFont ? ::SelectObject(hdc, FhFont) : nullptr;
  const std::wstring s = Caption();
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(hdc, s.c_str(), static_cast<int>(s.size()), &size);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(hdc, &tm);
  if (hOld) ::SelectObject(hdc, hOld);
  ::ReleaseDC(Fhwnd, hdc);
  ::SetWindowPos(Fhwnd, nullptr, 0, 0, size.cx, tm.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The old text's area lies in the parent: have it repainted.
  ::InvalidateRect(::GetParent(Fhwnd), nullptr, TRUE);
}

void TovGroupBox::Create(HWND hParent, const RECT& rc, const std::wstring& sCaption, int nId) {
  CreateChild(L"BUTTON", hParent, BS_GROUPBOX | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, rc, sCaption, nId);
}

RECT TovGroupBox::InnerRect() const {
  RECT rc{};
  ::GetClientRect(Fhwnd, &rc);
  // Below the caption's text height, and two pixels inside the 3D frame.
  int nTextHeight = 13;
  if (HDC hdc = ::GetDC(Fhwnd)) {
    HGDIOBJ hOld = FhFont ? ::SelectObject(hdc, FhFont) : nullptr;
    TEXTMETRICW tm{};
    if (::GetTextMetricsW(hdc, &tm)) nTextHeight = tm.tmHeight;
    if (hOld) ::SelectObject(hdc, hOld);
    ::ReleaseDC(Fhwnd, hdc);
  }
  rc.top += nTextHeight;
  ::InflateRect(&rc, -2, -2);
  return rc;
}

LRESULT CALLBACK TovGroupBox::SubclassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // No object is looked up on the way: only WM_NCDESTROY needs it.
  if (IsChildReport(uMsg)) return ::SendMessageW(::GetParent(hwnd), uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) Detach(hwnd);
  return CallClassProc(hwnd, uMsg, wParam, lParam);
}

namespace {
constexpr const wchar_t* kPanelClass = L"TovPanel";
}

void TovPanel::Create(HWND hParent, const RECT& rc, const std::wstring& sCaption, int nId) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &TovPanel::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    return ::RegisterClassExW(&wc);
  }();
  if (!atom) throw std::runtime_error("Fensterklasse konnte nicht registriert werden");
  CreateChild(kPanelClass, hParent, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, rc, sCaption, nId);
}

void TovPanel::Paint() {
  RECT rc{};
  ::GetClientRect(Fhwnd, &rc);
  const std::wstring sCaption = Caption();
  HGDIOBJ hOld = FhFont ? ::SelectObject(FhCanvas, FhFont) : nullptr;
  // As every panel: background, raised bevel, caption centred.
  TGdiObject brush(::CreateSolidBrush(Color()));
  ::FillRect(FhCanvas, &rc, static_cast<HBRUSH>(brush.get()));
  RECT rcEdge = rc;
  ::DrawEdge(FhCanvas, &rcEdge, BDR_RAISEDINNER, BF_RECT);
  ::SetBkMode(FhCanvas, TRANSPARENT);
  ::SetTextColor(FhCanvas, ::GetSysColor(COLOR_BTNTEXT));
  if (!sCaption.empty()) {
    RECT rcText = rc;
    ::InflateRect(&rcText, -1, -1);
    const UINT uAlign = Alignment == TAlignment::Left ? DT_LEFT : Alignment == TAlignment::Right ? DT_RIGHT : DT_CENTER;
    ::DrawTextW(FhCanvas, sCaption.c_str(), static_cast<int>(sCaption.size()), &rcText,
                uAlign | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  LOGFONTW lf{};
  const bool bRotated = FhFont && ::GetObjectW(FhFont, sizeof(lf), &lf) == sizeof(lf) && lf.lfOrientation != 0;
  if (bRotated && Alignment == TAlignment::Center) {
    ::FillRect(FhCanvas, &rc, static_cast<HBRUSH>(brush.get()));
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(FhCanvas, sCaption.c_str(), static_cast<int>(sCaption.size()), &size);
    TextOutRotated(sCaption, 2, (rc.bottom - rc.top) / 2 + size.cx / 2);
  }
  if (hOld) ::SelectObject(FhCanvas, hOld);
}

void TovPanel::TextOutRotated(const std::wstring& sText, int x, int y) {
  // A fresh font from the canvas font's description, so the rotation is honoured
  // whatever font object the canvas holds; the canvas gets its own font back after.
  HGDIOBJ hCanvasFont = ::GetCurrentObject(FhCanvas, OBJ_FONT);
  LOGFONTW lf{};
  if (::GetObjectW(hCanvasFont, sizeof(lf), &lf) != sizeof(lf)) return;
  TFont rotated(::CreateFontIndirectW(&lf));
  if (!rotated) return;
  HGDIOBJ hOld = ::SelectObject(FhCanvas, rotated.get());
  ::SetBkMode(FhCanvas, TRANSPARENT);
  ::TextOutW(FhCanvas, x, y, sText.c_str(), static_cast<int>(sText.size()));
  ::SelectObject(FhCanvas, hOld);
}

LRESULT CALLBACK TovPanel::WndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // Children report to the form.
  if (IsChildReport(uMsg)) return ::SendMessageW(::GetParent(hwnd), uMsg, wParam, lParam);
  // The object is attached only after CreateWindowEx returns; messages before that
  // find none and take the default path. It is looked up only where it is needed.
  try {
    switch (uMsg) {
      case WM_PAINT:
        if (auto* self = static_cast<TovPanel*>(FromHandle(hwnd))) {
          PAINTSTRUCT ps;
          self->FhCanvas = ::BeginPaint(hwnd, &ps);
          struct TEnd {
            TovPanel* p;
            HWND h;
            PAINTSTRUCT& ps;
            ~TEnd() {
              ::EndPaint(h, &ps);
              p->FhCanvas = nullptr;
            }
          } end{self, hwnd, ps};
          self->Paint();
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        if (FromHandle(hwnd)) return 1;  // Paint covers the whole client area
        break;
      case WM_SETTEXT: {
        const LRESULT r = ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return r;
      }
      case WM_SETFONT:
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      case WM_NCDESTROY:
        Detach(hwnd);
        break;
      default:
        break;
    }
  } catch (...) {
    ShowException(hwnd, std::current_exception());
    return 0;
  }
  return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
}

}  // namespace sw
