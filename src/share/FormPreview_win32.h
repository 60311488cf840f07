#pragma once
#include <windows.h>

#include <string>

#include "controls/ovControls_win32.h"
#include "controls/ovForm_win32.h"
#include "report/ovRichEdit_win32.h"
#include "share/PreviewLayout.h"
#include "share/PreviewText.h"

namespace sw {

inline constexpr const wchar_t* kFormPreviewClass = L"TFormPreview";

// The modal preview: details form first, then the letter with the details filled in,
// printable. Closing it never ends the program.
class TFormPreview : public TovForm {
 public:
  // Creates the window over sText, runs it modally (hOwner disabled meanwhile) and
  // returns when it has been closed.
  static void Execute(HWND hOwner, const std::wstring& sText);

  void FormCreate();
  void FormShow() override;
  void BtnUebernehmenClick(TovButton& Sender);
  void ButtonPrintClick(TovButton& Sender);
  // Both "&Schließen" buttons and Esc, in either state of the window.
  void FormClose() override;

 protected:
  LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  HWND FirstFocus() override { return FEditPraxisname.Handle(); }
  // "Übernehmen" while the details form is up; printing afterwards, unless the pane
  // has the focus (Enter is a line break there).
  TovButton* DefaultButton(HWND hFocus) override;
  void EscapePressed() override;

 private:
  TFormPreview() = default;

  void CreateControls();
  TovControl* Control(int nId);
  void ApplyLayout();
  bool DetailsShown() const { return ::IsWindowVisible(FPanelPraxisInfos.Handle()) != FALSE; }

  HWND FhOwner = nullptr;
  std::wstring FsDesignCaption = L"Sichtwerk";

  // Declared before the controls so that they outlive them.
  TFont FFormFont, FPaneFont;
  TovButton FButtonClose, FButtonPrint, FBtnUebernehmen, FButtonCloseDaten;
  TovRichEdit FRichEditPreview;
  TovPanel FPanelPraxisInfos;
  TovLabel FLabel[7];
  TovEdit FEditPraxisname, FEditPLZ, FEditOrt, FEditAnsprechpartner, FEditTelefonnummer;
};

// Replaces the detail lines of a rich-edit control in place (other lines keep their
// formats). Returns the number of lines replaced.
int FillInRichEditDetails(HWND hRichEdit, const TPraxisDetails& aDetails);

}  // namespace sw
