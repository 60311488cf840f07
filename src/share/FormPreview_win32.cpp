#include "share/FormPreview_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <richedit.h>

#include <iterator>
#include <stdexcept>

#include "common/Text.h"
#include "share/Print_win32.h"
#include "win32/ModuleFile_win32.h"
#include "win32/RichEditText_win32.h"
#include "win32/SystemLibrary_win32.h"

namespace sw {

namespace {
[[noreturn]] void ThrowPrintError(const TPrintResult& aResult) {
  throw std::runtime_error(WideToUtf8(PrintErrorText(aResult)));
}
}  // namespace

int FillInRichEditDetails(HWND h, const TPraxisDetails& aDetails) {
  const std::wstring sText = RichEditText(h);
  const std::vector<TLineSpan> spans = SplitLineSpans(sText);
  std::vector<std::wstring> lines;
  for (const TLineSpan& s : spans) lines.push_back(sText.substr(s.nStart, s.nLength));
  std::vector<std::wstring> filled = lines;
  const int nReplaced = FillInDetails(filled, aDetails);
  // From the end, so that the earlier positions stay valid.
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (filled[i] == lines[i]) continue;
    const LONG nStart = static_cast<LONG>(spans[i].nStart);
    CHARRANGE cr{nStart, nStart + static_cast<LONG>(spans[i].nLength)};
    ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    ::SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(filled[i].c_str()));
  }
  CHARRANGE home{0, 0};
  ::SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&home));
  return nReplaced;
}

void TFormPreview::Execute(HWND hOwner, const std::wstring& sText) {
  TFormPreview form;
  form.FhOwner = hOwner;
  form.CreateForm(kFormPreviewClass, form.FsDesignCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                  kPreviewClientWidth, kPreviewClientHeight, hOwner);
  form.FormCreate();
  // Empty the pane, then the text and one paragraph break.
  form.FRichEditPreview.Clear();
  form.FRichEditPreview.ReplaceAll(sText + L"\r");
  form.ShowModal(hOwner, SW_SHOWNORMAL);
}

LRESULT TFormPreview::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_SIZE:
      ApplyLayout();
      return 0;
    default:
      break;
  }
  return TovForm::WndProc(uMsg, wParam, lParam);
}

TovButton* TFormPreview::DefaultButton(HWND hFocus) {
  if (DetailsShown()) return &FBtnUebernehmen;
  if (hFocus && hFocus == FRichEditPreview.Handle()) return nullptr;
  return &FButtonPrint;
}

TovControl* TFormPreview::Control(int nId) {
  switch (nId) {
    case idPreviewButtonClose: return &FButtonClose;
    case idPreviewButtonPrint: return &FButtonPrint;
    case idBtnUebernehmen: return &FBtnUebernehmen;
    case idButtonCloseDaten: return &FButtonCloseDaten;
    case idRichEditPreview: return &FRichEditPreview;
    case idPanelPraxisInfos: return &FPanelPraxisInfos;
    case idEditPraxisname: return &FEditPraxisname;
    case idEditPLZ: return &FEditPLZ;
    case idEditOrt: return &FEditOrt;
    case idEditAnsprechpartner: return &FEditAnsprechpartner;
    case idEditTelefonnummer: return &FEditTelefonnummer;
    default: break;
  }
  if (nId >= idLabel1 && nId < idLabel1 + static_cast<int>(std::size(FLabel))) return &FLabel[nId - idLabel1];
  throw std::logic_error("preview layout: unknown control");
}

void TFormPreview::CreateControls() {
  FFormFont = CreateTahoma(-11, DEFAULT_CHARSET);
  FPaneFont.reset(::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
  ::SendMessageW(Fhwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FFormFont.get()), FALSE);

  // Everything from the layout table, in its order (which is the tab order).
  for (const TPreviewControl& c : kPreviewControls) {
    HWND hParent = c.aParent == TPreviewParent::Form ? Fhwnd : FPanelPraxisInfos.Handle();
    const RECT rc{c.nLeft, c.nTop, c.nLeft + c.nWidth, c.nTop + c.nHeight};
    const DWORD dwTab = c.bTabStop ? WS_TABSTOP : 0;
    TovControl* control = Control(c.nId);
    switch (c.aKind) {
      case TPreviewKind::Button:
        static_cast<TovButton*>(control)->Create(hParent, rc, c.sCaption, c.nId,
                                                 (c.bDefault ? BS_DEFPUSHBUTTON : 0) | dwTab);
        control->SetFont(FFormFont.get());
        break;
      case TPreviewKind::RichEdit:
        FRichEditPreview.Create(hParent, rc,
                                WS_VISIBLE | dwTab | WS_HSCROLL | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN |
                                    ES_NOHIDESEL | WS_CLIPSIBLINGS,
                                WS_EX_CLIENTEDGE, FPaneFont.get(), true, c.nId);
        FRichEditPreview.FollowSystemColors();
        break;
      case TPreviewKind::Panel:
        FPanelPraxisInfos.Create(hParent, rc, c.sCaption, c.nId);
        break;
      case TPreviewKind::Label:
        static_cast<TovLabel*>(control)->Create(hParent, c.nLeft, c.nTop, c.sCaption, c.nId, FFormFont.get());
        break;
      case TPreviewKind::Edit:
        static_cast<TovEdit*>(control)->Create(hParent, rc, c.sCaption, c.nId, dwTab);
        control->SetFont(FFormFont.get());
        break;
    }
  }

  // Both close buttons end the window; closing is all the caller waits for.
  auto close = [this](TovButton&) { ::PostMessageW(Fhwnd, WM_CLOSE, 0, 0); };
  FButtonClose.OnClick = close;
  FButtonCloseDaten.OnClick = close;
  FBtnUebernehmen.OnClick = [this](TovButton& b) { BtnUebernehmenClick(b); };
  FButtonPrint.OnClick = [this](TovButton& b) { ButtonPrintClick(b); };
}

void TFormPreview::ApplyLayout() {
  RECT rc{};
  ::GetClientRect(Fhwnd, &rc);
  if (!FButtonClose.Handle() || !FPanelPraxisInfos.Handle()) return;
  // Once the letter is shown the hidden panel keeps its size.
  const bool bPanel = DetailsShown() || !::IsWindowVisible(Fhwnd);
  for (const TPreviewControl& c : kPreviewControls) {
    if (c.aAnchors == (akLeft | akTop)) continue;  // never moves
    if ((c.aParent == TPreviewParent::Panel || c.nId == idPanelPraxisInfos) && !bPanel) continue;
    const TPreviewBounds b = AnchoredBounds(c, rc.right, rc.bottom);
    Control(c.nId)->SetBounds(b.nLeft, b.nTop, b.nWidth, b.nHeight);
  }
  FRichEditPreview.SetLeftMargin(kPreviewLeftMargin);
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
  // Under the panel too: Tab must not reach it, or typing would edit the letter unseen.
  FRichEditPreview.SetEnabled(false);
  SetCaption(FsDesignCaption + L" (" + GetToolVersion() + L")");
  FRichEditPreview.SetLeftMargin(kPreviewLeftMargin);
  ::SetFocus(FEditPraxisname.Handle());
}

void TFormPreview::BtnUebernehmenClick(TovButton& Sender) {
  TPraxisDetails d;
  d.sPraxisname = FEditPraxisname.Text();
  d.sPLZ = FEditPLZ.Text();
  d.sOrt = FEditOrt.Text();
  d.sAnsprechpartner = FEditAnsprechpartner.Text();
  d.sTelefon = FEditTelefonnummer.Text();
  const TMissingDetail missing = FirstMissingDetail(d);
  if (missing != TMissingDetail::None) {
    ::MessageBoxW(Fhwnd, MissingDetailMessage(missing), L"Sichtwerk", MB_OK);
    const TovEdit& focus = missing == TMissingDetail::Praxisname ? FEditPraxisname
                           : missing == TMissingDetail::Ort      ? FEditOrt
                                                                 : FEditTelefonnummer;
    ::SetFocus(focus.Handle());
    return;
  }
  FillInRichEditDetails(FRichEditPreview.Handle(), d);
  ::ShowWindow(FPanelPraxisInfos.Handle(), SW_HIDE);
  FRichEditPreview.SetEnabled(true);
  FButtonPrint.SetEnabled(true);
  FButtonClose.SetEnabled(true);
  ::ShowWindow(Fhwnd, SW_MAXIMIZE);
  ::SetFocus(FRichEditPreview.Handle());
}

void TFormPreview::ButtonPrintClick(TovButton& Sender) {
  // A close request while the dialog is up or the job is spooled waits for the end.
  TBusy busy(*this);
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = Fhwnd;
  // No box of the dialog's own when no printer is installed: the program shows one.
  pd.Flags = PD_PRINTSETUP | PD_RETURNDC | PD_NOWARNING;
  // comdlg32 is bound only when the user prints: imported at load time it would pull
  // shell32 and the spooler into every start of the program.
  using TPrintDlgW = BOOL(WINAPI*)(LPPRINTDLGW);
  using TCommDlgExtendedError = DWORD(WINAPI*)();
  const TModule comdlg = LoadSystemLibrary(L"comdlg32.dll");
  const auto fnPrintDlg = GetProc<TPrintDlgW>(comdlg.get(), "PrintDlgW");
  const auto fnExtendedError = GetProc<TCommDlgExtendedError>(comdlg.get(), "CommDlgExtendedError");
  if (!fnPrintDlg || !fnExtendedError) ThrowPrintError(TPrintResult(TPrintFault::DialogMissing));
  const BOOL bChosen = fnPrintDlg(&pd);
  TDeviceContext dc(bChosen ? pd.hDC : nullptr);
  if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
  if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
  if (!bChosen) {
    const DWORD dwErr = fnExtendedError();
    if (dwErr == 0) return;  // cancelled
    ThrowPrintError(TPrintResult(dwErr == PDERR_NODEFAULTPRN ? TPrintFault::NoPrinter : TPrintFault::DialogFailed, dwErr));
  }
  if (!dc) ThrowPrintError(TPrintResult(TPrintFault::PrinterNotOpened));
  const TPrintResult r = PrintParagraphs(dc.get(), ReadRichEditParagraphs(FRichEditPreview.Handle(), FRichEditPreview.Colors()),
                                         L"Sichtwerk (" + GetToolVersion() + L")");
  if (r.aFault != TPrintFault::None && r.aFault != TPrintFault::Cancelled) ThrowPrintError(r);
}

void TFormPreview::EscapePressed() { ::PostMessageW(Fhwnd, WM_CLOSE, 0, 0); }

void TFormPreview::FormClose() {
  // The owner is enabled first, so that Windows hands it the activation.
  if (FhOwner) ::EnableWindow(FhOwner, TRUE);
  ::DestroyWindow(Fhwnd);
}

}  // namespace sw
