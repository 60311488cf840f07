#pragma once
// The preview window's controls as one table: kind, parent, position and size at the
// design's 606 x 449 client area, anchors, caption, tab stop and default button. The
// Win32 form creates and lays out its controls from it.
#include <cstddef>

namespace sw {

// Control ids of the preview; other processes find the controls by them.
enum TFormPreviewId : int {
  idPreviewButtonClose = 200,
  idPreviewButtonPrint,
  idRichEditPreview,
  idPanelPraxisInfos,
  idEditPraxisname,
  idEditPLZ,
  idEditOrt,
  idEditAnsprechpartner,
  idEditTelefonnummer,
  idBtnUebernehmen,
  idButtonCloseDaten,
  idLabel1,
  idLabel2,
  idLabel3,
  idLabel4,
  idLabel5,
  idLabel6,
  idLabel7,
};

inline constexpr int kPreviewClientWidth = 606;
inline constexpr int kPreviewClientHeight = 449;
inline constexpr int kPreviewLeftMargin = 50;
// The design gives the edits' widths only; 21 pixels fit Tahoma 8 pt with a sunken edge.
inline constexpr int kPreviewEditHeight = 21;

enum class TPreviewKind { Button, RichEdit, Panel, Label, Edit };
enum class TPreviewParent { Form, Panel };

// Which client edges a control keeps its distance to when the window is resized.
enum TPreviewAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct TPreviewControl {
  const wchar_t* sName;
  TPreviewKind aKind;
  TPreviewParent aParent;
  int nId;
  int nLeft, nTop, nWidth, nHeight;  // labels: 0 x 0, they take the size of their text
  unsigned aAnchors;
  const wchar_t* sCaption;
  int nTabOrder;  // the design's tab order inside the panel; -1 where it gives none
  bool bTabStop;
  bool bDefault;
};

// In creation order: the form's controls, then the panel above them and its contents.
// Creation order is the tab order, so the panel's tab stops come 0, 1, 2, ... in turn.
inline constexpr TPreviewControl kPreviewControls[] = {
    {L"ButtonClose", TPreviewKind::Button, TPreviewParent::Form, idPreviewButtonClose, 523, 416, 75, 25,
     akRight | akBottom, L"&Schließen", -1, true, false},
    {L"ButtonPrint", TPreviewKind::Button, TPreviewParent::Form, idPreviewButtonPrint, 8, 416, 149, 25,
     akLeft | akBottom, L"Infos &Drucken", -1, true, true},
    {L"RichEditPreview", TPreviewKind::RichEdit, TPreviewParent::Form, idRichEditPreview, 8, 8, 590, 397,
     akLeft | akTop | akRight | akBottom, L"", -1, true, false},
    {L"PanelPraxisInfos", TPreviewKind::Panel, TPreviewParent::Form, idPanelPraxisInfos, 0, 0,
     kPreviewClientWidth, kPreviewClientHeight, akLeft | akTop | akRight | akBottom, L"", -1, false, false},
    {L"Label1", TPreviewKind::Label, TPreviewParent::Panel, idLabel1, 64, 103, 0, 0, akLeft | akTop,
     L"Bitte geben Sie für eventuelle Rückfragen Ihre Praxisdaten ein.", -1, false, false},
    {L"Label2", TPreviewKind::Label, TPreviewParent::Panel, idLabel2, 64, 131, 0, 0, akLeft | akTop,
     L"Praxisname*", -1, false, false},
    {L"EditPraxisname", TPreviewKind::Edit, TPreviewParent::Panel, idEditPraxisname, 184, 128, 313,
     kPreviewEditHeight, akLeft | akTop, L"", 0, true, false},
    {L"Label3", TPreviewKind::Label, TPreviewParent::Panel, idLabel3, 64, 161, 0, 0, akLeft | akTop, L"PLZ", -1,
     false, false},
    {L"EditPLZ", TPreviewKind::Edit, TPreviewParent::Panel, idEditPLZ, 184, 158, 121, kPreviewEditHeight,
     akLeft | akTop, L"", 1, true, false},
    {L"Label4", TPreviewKind::Label, TPreviewParent::Panel, idLabel4, 64, 191, 0, 0, akLeft | akTop, L"Ort*", -1,
     false, false},
    {L"EditOrt", TPreviewKind::Edit, TPreviewParent::Panel, idEditOrt, 184, 188, 313, kPreviewEditHeight,
     akLeft | akTop, L"", 2, true, false},
    {L"Label5", TPreviewKind::Label, TPreviewParent::Panel, idLabel5, 64, 221, 0, 0, akLeft | akTop,
     L"Ansprechpartner", -1, false, false},
    {L"EditAnsprechpartner", TPreviewKind::Edit, TPreviewParent::Panel, idEditAnsprechpartner, 184, 218, 313,
     kPreviewEditHeight, akLeft | akTop, L"", 3, true, false},
    {L"Label6", TPreviewKind::Label, TPreviewParent::Panel, idLabel6, 64, 251, 0, 0, akLeft | akTop,
     L"Telefonnummer*", -1, false, false},
    {L"EditTelefonnummer", TPreviewKind::Edit, TPreviewParent::Panel, idEditTelefonnummer, 184, 248, 313,
     kPreviewEditHeight, akLeft | akTop, L"", 4, true, false},
    {L"Label7", TPreviewKind::Label, TPreviewParent::Panel, idLabel7, 64, 291, 0, 0, akLeft | akTop,
     L"* Pflichtfelder", -1, false, false},
    {L"BtnUebernehmen", TPreviewKind::Button, TPreviewParent::Panel, idBtnUebernehmen, 8, 319, 149, 25,
     akLeft | akBottom, L"Übernehmen", 5, true, true},
    {L"ButtonCloseDaten", TPreviewKind::Button, TPreviewParent::Panel, idButtonCloseDaten, 523, 319, 75, 25,
     akRight | akBottom, L"&Schließen", 6, true, false},
};

// The row of a control id, nullptr when the table has none.
const TPreviewControl* FindPreviewControl(int nId);

struct TPreviewBounds {
  int nLeft, nTop, nWidth, nHeight;
  bool operator==(const TPreviewBounds&) const = default;
};

// Where a control lies in a parent of nClientWidth x nClientHeight: anchored edges keep
// their design distance to that edge; a control anchored on both sides of an axis
// stretches (never below zero). The panel fills the client area, so its children use
// the same client size.
TPreviewBounds AnchoredBounds(const TPreviewControl& aControl, int nClientWidth, int nClientHeight);

}  // namespace sw
