#pragma once
#include <windows.h>

#include <string>

#include "controls/ovControls_win32.h"
#include "report/ovRichEdit_win32.h"
#include "share/PreviewLayout.h"
#include "share/PreviewText.h"

namespace sw {

inline constexpr const wchar_t* kFormPreviewClass = L"TFormPreview";

// The modal preview: details form first, then the letter with the details filled in,
// printable. The window frees itself when it closes; it never ends the program.
class TFormPreview {
 public:
  // Creates the window over sText, runs it modally (hOwner disabled meanwhile) and
  // returns when it has been closed.
  static void Execute(HWND hOwner, const std::wstring& sText);

  HWND Handle() const { return Fhwnd; }

  void FormCreate();
  void FormShow();
  void BtnUebernehmenClick(TovButton& Sender);
  void ButtonPrintClick(TovButton& Sender);
  void FormClose();

 private:
  TFormPreview() = default;
  ~TFormPreview() = default;
  TFormPreview(const TFormPreview&) = delete;
  TFormPreview& operator=(const TFormPreview&) = delete;

  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void ApplyLayout();
  void ApplyLeftMargin();
  HWND CreateEdit(HWND hParent, const TPreviewControl& aControl);
  TovButton* ButtonById(int nId);
  std::wstring EditText(HWND hEdit) const;
  void SetPaneText(const std::wstring& sText);

  HWND Fhwnd = nullptr;
  HWND FhOwner = nullptr;
  bool* FpbClosed = nullptr;
  std::wstring FsDesignCaption = L"Sichtwerk";

  TovButton FButtonClose, FButtonPrint, FBtnUebernehmen, FButtonCloseDaten;
  TovRichEdit FRichEditPreview;
  TovPanel FPanelPraxisInfos;
  TovLabel FLabel[7];
  HWND FhEditPraxisname = nullptr, FhEditPLZ = nullptr, FhEditOrt = nullptr,
       FhEditAnsprechpartner = nullptr, FhEditTelefonnummer = nullptr;
  TFont FFormFont, FPaneFont;
};

// Replaces the detail lines of a rich-edit control in place (other lines keep their
// formats). Returns the number of lines replaced.
int FillInRichEditDetails(HWND hRichEdit, const TPraxisDetails& aDetails);

}  // namespace sw
