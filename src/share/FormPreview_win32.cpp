#include "share/FormPreview_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <richedit.h>

#include <iterator>
#include <stdexcept>

#include "app/MainForm_win32.h"
#include "share/Print_win32.h"
#include "sysquery/win32/SystemLibrary.h"

namespace sw {

namespace {

std::wstring PaneText(HWND h) {
  GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LONG n = static_cast<LONG>(::SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  TEXTRANGEW tr{{0, n}, s.data()};
  const LONG got = static_cast<LONG>(::SendMessageW(h, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)));
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return s;
}

std::wstring DocName() { return L"Sichtwerk (" + GetToolVersion() + L")"; }

}  // namespace

int FillInRichEditDetails(HWND h, const TPraxisDetails& aDetails) {
  const std::wstring sText = PaneText(h);
  // Paragraph starts in character positions: the control ends each with one CR.
  std::vector<LONG> starts;
  std::vector<std::wstring> lines;
  LONG p = 0;
  const LONG n = static_cast<LONG>(sText.size());
  while (p < n) {
    LONG e = p;
    while (e < n && sText[e] != L'\r' && sText[e] != L'\n') ++e;
    starts.push_back(p);
    lines.push_back(sText.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(e - p)));
    if (e < n && sText[e] == L'\r' && e + 1 < n && sText[e + 1] == L'\n') ++e;
    p = e + 1;
  }
  std::vector<std::wstring> filled = lines;
  const int nReplaced = FillInDetails(filled, aDetails);
  // From the end, so that the earlier positions stay valid.
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (filled[i] == lines[i]) continue;
    CHARRANGE cr{starts[i], starts[i] + static_cast<LONG>(lines[i].size())};
    ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    ::SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(filled[i].c_str()));
  }
  CHARRANGE home{0, 0};
  ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&home));
  return nReplaced;
}

void TFormPreview::Execute(HWND hOwner, const std::wstring& sText) {
  static const bool bRegistered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &StaticWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormPreviewClass;
    SetProgramIcon(wc);
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!bRegistered) throw std::runtime_error("Das Vorschaufenster konnte nicht angelegt werden");

  // The window deletes its object at WM_NCDESTROY; the flag lives here.
  bool bClosed = false;
  auto* self = new TFormPreview();
  self->FhOwner = hOwner;
  self->FpbClosed = &bClosed;
  RECT rc{0, 0, kPreviewClientWidth, kPreviewClientHeight};
  const DWORD dwStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  ::AdjustWindowRectEx(&rc, dwStyle, FALSE, 0);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  HWND hwnd = ::CreateWindowExW(0, kFormPreviewClass, self->FsDesignCaption.c_str(), dwStyle, x, y, w, h, hOwner,
                                nullptr, ::GetModuleHandleW(nullptr), self);
  if (!hwnd) {
    if (!bClosed) delete self;
    throw std::runtime_error("Das Vorschaufenster konnte nicht angelegt werden");
  }
  SetProgramIcon(hwnd);
  try {
    self->FormCreate();
    // Empty the pane, then the text and one paragraph break.
    self->FRichEditPreview.Clear();
    self->SetPaneText(sText + L"\r");
  } catch (...) {
    ::DestroyWindow(hwnd);
    throw;
  }

  if (hOwner) ::EnableWindow(hOwner, FALSE);
  try {
    self->FormShow();
  } catch (...) {
    ShowException(std::current_exception());
  }
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::SetFocus(self->FhEditPraxisname);
  MSG msg;
  while (!bClosed) {
    const BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) {
      // A quit meant for the main loop: close the preview and leave it there.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      if (!bClosed) ::DestroyWindow(hwnd);
      break;
    }
    if (r < 0) break;
    // Enter presses the default button: "Übernehmen" in the details form, printing
    // afterwards unless the pane takes the key (IsDialogMessage finds only direct
    // children, and "Übernehmen" sits in the panel).
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (msg.hwnd == hwnd || ::IsChild(hwnd, msg.hwnd))) {
      if (::IsWindowVisible(self->FPanelPraxisInfos.Handle())) {
        self->FBtnUebernehmen.Click();
        continue;
      }
      if (msg.hwnd != self->FRichEditPreview.Handle() && self->FButtonPrint.Enabled()) {
        self->FButtonPrint.Click();
        continue;
      }
    }
    if (!bClosed && ::IsDialogMessageW(hwnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (hOwner) {
    ::EnableWindow(hOwner, TRUE);
    ::SetForegroundWindow(hOwner);
  }
}

LRESULT CALLBACK TFormPreview::StaticWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    auto* self = static_cast<TFormPreview*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->Fhwnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TFormPreview*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->Fhwnd != hwnd) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self->FpbClosed) *self->FpbClosed = true;
    self->Fhwnd = nullptr;
    delete self;
    return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
  }
  try {
    return self->WndProc(uMsg, wParam, lParam);
  } catch (...) {
    ShowException(std::current_exception());
    return 0;
  }
}

LRESULT TFormPreview::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_SIZE:
      ApplyLayout();
      return 0;
    case WM_GETMINMAXINFO:
      break;
    case DM_GETDEFID:
      // Enter: "Übernehmen" while the details form is up, printing afterwards.
      return MAKELRESULT(::IsWindowVisible(FPanelPraxisInfos.Handle()) ? idBtnUebernehmen : idPreviewButtonPrint,
                         DC_HASDEFID);
    case WM_COMMAND: {
      const int nId = LOWORD(wParam);
      if (HIWORD(wParam) == BN_CLICKED) {
        HWND hCtl = reinterpret_cast<HWND>(lParam);
        if (!hCtl) hCtl = ::GetDlgItem(::IsWindowVisible(FPanelPraxisInfos.Handle()) ? FPanelPraxisInfos.Handle() : Fhwnd, nId);
        if (hCtl && !::IsWindowEnabled(hCtl)) return 0;
        if (auto* b = dynamic_cast<TovButton*>(TovControl::FromHandle(hCtl))) {
          b->Click();
          return 0;
        }
      }
      break;
    }
    case WM_CLOSE:
      FormClose();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(Fhwnd, uMsg, wParam, lParam);
}

HWND TFormPreview::CreateEdit(HWND hParent, const TPreviewControl& c) {
  HWND h = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", c.sCaption,
                             WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (c.bTabStop ? WS_TABSTOP : 0), c.nLeft, c.nTop,
                             c.nWidth, c.nHeight, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.nId)),
                             ::GetModuleHandleW(nullptr), nullptr);
  if (!h) throw std::runtime_error("Ein Eingabefeld konnte nicht angelegt werden");
  ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FFormFont.get()), FALSE);
  return h;
}

TovButton* TFormPreview::ButtonById(int nId) {
  switch (nId) {
    case idPreviewButtonClose: return &FButtonClose;
    case idPreviewButtonPrint: return &FButtonPrint;
    case idBtnUebernehmen: return &FBtnUebernehmen;
    case idButtonCloseDaten: return &FButtonCloseDaten;
    default: return nullptr;
  }
}

void TFormPreview::CreateControls() {
  FFormFont = CreateTahoma(-11, DEFAULT_CHARSET);
  FPaneFont.reset(::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
  ::SendMessageW(Fhwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FFormFont.get()), FALSE);

  // Everything from the layout table, in its order (which is the tab order).
  std::size_t nLabel = 0;
  for (const TPreviewControl& c : kPreviewControls) {
    HWND hParent = c.aParent == EPreviewParent::Form ? Fhwnd : FPanelPraxisInfos.Handle();
    const RECT rc{c.nLeft, c.nTop, c.nLeft + c.nWidth, c.nTop + c.nHeight};
    const DWORD dwTab = c.bTabStop ? WS_TABSTOP : 0;
    switch (c.aKind) {
      case EPreviewKind::Button: {
        TovButton* b = ButtonById(c.nId);
        if (!b) throw std::logic_error("preview layout: unknown button");
        b->Create(hParent, rc, c.sCaption, c.nId, (c.bDefault ? BS_DEFPUSHBUTTON : 0) | dwTab);
        b->SetFont(FFormFont.get());
        break;
      }
      case EPreviewKind::RichEdit:
        FRichEditPreview.Create(hParent, rc,
                                WS_VISIBLE | dwTab | WS_HSCROLL | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN |
                                    ES_NOHIDESEL | WS_CLIPSIBLINGS,
                                WS_EX_CLIENTEDGE, FPaneFont.get(), true, c.nId);
        FRichEditPreview.SetBackground(::GetSysColor(COLOR_INFOBK));
        break;
      case EPreviewKind::Panel:
        FPanelPraxisInfos.Create(hParent, rc, c.sCaption, c.nId);
        break;
      case EPreviewKind::Label:
        if (nLabel >= std::size(FLabel)) throw std::logic_error("preview layout: too many labels");
        FLabel[nLabel++].Create(hParent, c.nLeft, c.nTop, c.sCaption, c.nId, FFormFont.get());
        break;
      case EPreviewKind::Edit: {
        HWND h = CreateEdit(hParent, c);
        switch (c.nId) {
          case idEditPraxisname: FhEditPraxisname = h; break;
          case idEditPLZ: FhEditPLZ = h; break;
          case idEditOrt: FhEditOrt = h; break;
          case idEditAnsprechpartner: FhEditAnsprechpartner = h; break;
          case idEditTelefonnummer: FhEditTelefonnummer = h; break;
          default: throw std::logic_error("preview layout: unknown edit");
        }
        break;
      }
    }
  }

  // Both close buttons end the window (the modal result OK of the design).
  auto close = [this](TovButton&) { ::PostMessageW(Fhwnd, WM_CLOSE, 0, 0); };
  FButtonClose.OnClick = close;
  FButtonCloseDaten.OnClick = close;
  FBtnUebernehmen.OnClick = [this](TovButton& b) { BtnUebernehmenClick(b); };
  FButtonPrint.OnClick = [this](TovButton& b) { ButtonPrintClick(b); };
}

void TFormPreview::ApplyLayout() {
  RECT rc{};
  ::GetClientRect(Fhwnd, &rc);
  HWND hPanel = FPanelPraxisInfos.Handle();
  if (!FButtonClose.Handle() || !hPanel) return;
  // Once the letter is shown the hidden panel keeps its size.
  const bool bPanel = ::IsWindowVisible(hPanel) || !::IsWindowVisible(Fhwnd);
  for (const TPreviewControl& c : kPreviewControls) {
    if (c.aAnchors == (akLeft | akTop)) continue;  // never moves
    if (c.aParent == EPreviewParent::Panel && !bPanel) continue;
    if (c.nId == idPanelPraxisInfos && !bPanel) continue;
    HWND h = ::GetDlgItem(c.aParent == EPreviewParent::Form ? Fhwnd : hPanel, c.nId);
    const TPreviewBounds b = AnchoredBounds(c, rc.right, rc.bottom);
    if (h) ::MoveWindow(h, b.nLeft, b.nTop, b.nWidth, b.nHeight, TRUE);
  }
  ApplyLeftMargin();
}

void TFormPreview::ApplyLeftMargin() {
  // EM_SETMARGINS does nothing in some rich-edit builds (Wine's); the formatting
  // rectangle gives the same inner margin everywhere. The control resets it on resize.
  HWND h = FRichEditPreview.Handle();
  if (!h) return;
  RECT rc{};
  ::GetClientRect(h, &rc);
  const LONG nWanted = rc.left + kPreviewLeftMargin;
  rc.left = nWanted;
  if (rc.right < rc.left) rc.right = rc.left;
  ::SendMessageW(h, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  // With a client edge the control moves the rectangle's left side one pixel out
  // (Wine's RichEdit, as Windows'); read it back and make up the difference.
  RECT rcGot{};
  ::SendMessageW(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rcGot));
  if (rcGot.left != nWanted) {
    rc.left += nWanted - rcGot.left;
    if (rc.right < rc.left) rc.right = rc.left;
    ::SendMessageW(h, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  }
}

void TFormPreview::SetPaneText(const std::wstring& sText) {
  CHARRANGE cr{0, -1};
  ::SendMessageW(FRichEditPreview.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  ::SendMessageW(FRichEditPreview.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(sText.c_str()));
  CHARRANGE home{0, 0};
  ::SendMessageW(FRichEditPreview.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&home));
}

std::wstring TFormPreview::EditText(HWND hEdit) const {
  return WindowText(hEdit);
}

void TFormPreview::FormCreate() {
  CreateControls();
  ::SetWindowPos(FPanelPraxisInfos.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ApplyLayout();
  ::ShowWindow(FPanelPraxisInfos.Handle(), SW_SHOW);
}

void TFormPreview::FormShow() {
  FButtonPrint.SetEnabled(false);
  FButtonClose.SetEnabled(false);
  ::SetWindowTextW(Fhwnd, (FsDesignCaption + L" (" + GetToolVersion() + L")").c_str());
  ApplyLeftMargin();
  ::SetFocus(FhEditPraxisname);
}

void TFormPreview::BtnUebernehmenClick(TovButton& Sender) {
  TPraxisDetails d;
  d.sPraxisname = EditText(FhEditPraxisname);
  d.sPLZ = EditText(FhEditPLZ);
  d.sOrt = EditText(FhEditOrt);
  d.sAnsprechpartner = EditText(FhEditAnsprechpartner);
  d.sTelefon = EditText(FhEditTelefonnummer);
  const EMissingDetail missing = FirstMissingDetail(d);
  if (missing != EMissingDetail::None) {
    ::MessageBoxW(Fhwnd, MissingDetailMessage(missing), L"Sichtwerk", MB_OK);
    HWND hFocus = missing == EMissingDetail::Praxisname ? FhEditPraxisname
                  : missing == EMissingDetail::Ort      ? FhEditOrt
                                                        : FhEditTelefonnummer;
    ::SetFocus(hFocus);
    return;
  }
  FillInRichEditDetails(FRichEditPreview.Handle(), d);
  ::ShowWindow(FPanelPraxisInfos.Handle(), SW_HIDE);
  FButtonPrint.SetEnabled(true);
  FButtonClose.SetEnabled(true);
  ::ShowWindow(Fhwnd, SW_MAXIMIZE);
  ::SetFocus(FRichEditPreview.Handle());
}

void TFormPreview::ButtonPrintClick(TovButton& Sender) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = Fhwnd;
  pd.Flags = PD_PRINTSETUP | PD_RETURNDC;
  // comdlg32 is bound only when the user prints: imported at load time it would pull
  // shell32 and the spooler into every start of the program.
  using TPrintDlgW = BOOL(WINAPI*)(LPPRINTDLGW);
  using TCommDlgExtendedError = DWORD(WINAPI*)();
  const TModule comdlg = LoadSystemLibrary(L"comdlg32.dll");
  const auto fnPrintDlg = GetProc<TPrintDlgW>(comdlg.get(), "PrintDlgW");
  const auto fnExtendedError = GetProc<TCommDlgExtendedError>(comdlg.get(), "CommDlgExtendedError");
  if (!fnPrintDlg || !fnExtendedError) throw EPrintError(L"Der Druckdialog konnte nicht geladen werden.");
  if (!fnPrintDlg(&pd)) {
    if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
    const DWORD dwErr = fnExtendedError();
    if (dwErr == 0) return;  // cancelled
    throw EPrintError(dwErr == PDERR_NODEFAULTPRN ? std::wstring(L"Es ist kein Drucker installiert.")
                                                  : L"Der Drucker konnte nicht ausgewählt werden (Fehler " +
                                                        std::to_wstring(dwErr) + L").");
  }
  TDeviceContext dc(pd.hDC);
  if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
  if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
  if (!dc) throw EPrintError(L"Der Drucker konnte nicht geöffnet werden.");
  PrintParagraphs(dc.get(), ReadRichEditParagraphs(FRichEditPreview.Handle()), DocName());
}

void TFormPreview::FormClose() {
  // The owner is enabled first, so that Windows hands it the activation.
  if (FhOwner) ::EnableWindow(FhOwner, TRUE);
  ::DestroyWindow(Fhwnd);
}

}  // namespace sw
