#include "share/PreviewLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace sw {
namespace {

std::string Name(const TPreviewControl& c) {
  std::string s;
  for (const wchar_t* p = c.sName; *p; ++p) s += static_cast<char>(*p);
  return s;
}

// The preview's controls with the positions, sizes, captions and tab order of its
// design, in creation order.
TEST(PreviewLayout, TableHoldsTheDesignFiguresInCreationOrder) {
  struct TExpected {
    int nId;
    TPreviewParent aParent;
    int nLeft, nTop, nWidth;
    int nHeight;  // -1: not given (labels take their text's size)
    unsigned aAnchors;
    const wchar_t* sCaption;
    int nTabOrder;
    bool bDefault;
  };
  const unsigned kAll = akLeft | akTop | akRight | akBottom;
  const TPreviewParent F = TPreviewParent::Form, P = TPreviewParent::Panel;
  const TExpected kDesign[] = {
      {idPreviewButtonClose, F, 523, 416, 75, 25, akRight | akBottom, L"&Schließen", -1, false},
      {idPreviewButtonPrint, F, 8, 416, 149, 25, akLeft | akBottom, L"Infos &Drucken", -1, true},
      {idRichEditPreview, F, 8, 8, 590, 397, kAll, L"", -1, false},
      {idPanelPraxisInfos, F, 0, 0, 606, 449, kAll, L"", -1, false},
      {idLabel1, P, 64, 103, 0, -1, akLeft | akTop, L"Bitte geben Sie für eventuelle Rückfragen Ihre Praxisdaten ein.", -1, false},
      {idLabel2, P, 64, 131, 0, -1, akLeft | akTop, L"Praxisname*", -1, false},
      {idEditPraxisname, P, 184, 128, 313, -1, akLeft | akTop, L"", 0, false},
      {idLabel3, P, 64, 161, 0, -1, akLeft | akTop, L"PLZ", -1, false},
      {idEditPLZ, P, 184, 158, 121, -1, akLeft | akTop, L"", 1, false},
      {idLabel4, P, 64, 191, 0, -1, akLeft | akTop, L"Ort*", -1, false},
      {idEditOrt, P, 184, 188, 313, -1, akLeft | akTop, L"", 2, false},
      {idLabel5, P, 64, 221, 0, -1, akLeft | akTop, L"Ansprechpartner", -1, false},
      {idEditAnsprechpartner, P, 184, 218, 313, -1, akLeft | akTop, L"", 3, false},
      {idLabel6, P, 64, 251, 0, -1, akLeft | akTop, L"Telefonnummer*", -1, false},
      {idEditTelefonnummer, P, 184, 248, 313, -1, akLeft | akTop, L"", 4, false},
      {idLabel7, P, 64, 291, 0, -1, akLeft | akTop, L"* Pflichtfelder", -1, false},
      {idBtnUebernehmen, P, 8, 319, 149, 25, akLeft | akBottom, L"Übernehmen", 5, true},
      {idButtonCloseDaten, P, 523, 319, 75, 25, akRight | akBottom, L"&Schließen", 6, false},
  };
  ASSERT_EQ(std::size(kPreviewControls), std::size(kDesign));
  for (std::size_t i = 0; i < std::size(kDesign); ++i) {
    const TPreviewControl& c = kPreviewControls[i];
    const TExpected& e = kDesign[i];
    SCOPED_TRACE(Name(c));
    EXPECT_EQ(c.nId, e.nId);
    EXPECT_EQ(c.aParent, e.aParent);
    EXPECT_EQ(c.nLeft, e.nLeft);
    EXPECT_EQ(c.nTop, e.nTop);
    EXPECT_EQ(c.nWidth, e.nWidth);
    if (e.nHeight >= 0) {
      EXPECT_EQ(c.nHeight, e.nHeight);
    }
    EXPECT_EQ(c.aAnchors, e.aAnchors);
    EXPECT_EQ(std::wstring(c.sCaption), e.sCaption);
    EXPECT_EQ(c.nTabOrder, e.nTabOrder);
    EXPECT_EQ(c.bDefault, e.bDefault);
    EXPECT_EQ(FindPreviewControl(c.nId), &c);
  }
  EXPECT_EQ(FindPreviewControl(0), nullptr);
}

// What the Win32 form relies on: creation order gives the panel's tab order, one default
// button per parent, ids unique, every control inside the design's client area, and
// controls of a kind that has a size have one.
TEST(PreviewLayout, TableIsConsistent) {
  std::set<int> ids;
  int nNextTab = 0;
  int nDefaultForm = 0, nDefaultPanel = 0;
  for (const TPreviewControl& c : kPreviewControls) {
    SCOPED_TRACE(Name(c));
    EXPECT_TRUE(ids.insert(c.nId).second) << "id used twice";
    if (c.aParent == TPreviewParent::Panel && c.bTabStop) {
      EXPECT_EQ(c.nTabOrder, nNextTab) << "panel tab stops out of creation order";
      ++nNextTab;
    }
    if (c.nTabOrder >= 0) {
      EXPECT_TRUE(c.bTabStop);
    }
    if (c.bDefault) {
      ++(c.aParent == TPreviewParent::Form ? nDefaultForm : nDefaultPanel);
      EXPECT_EQ(c.aKind, TPreviewKind::Button);
    }
    EXPECT_GE(c.nLeft, 0);
    EXPECT_GE(c.nTop, 0);
    EXPECT_LE(c.nLeft + c.nWidth, kPreviewClientWidth);
    EXPECT_LE(c.nTop + c.nHeight, kPreviewClientHeight);
    if (c.aKind == TPreviewKind::Label) {
      EXPECT_FALSE(c.bTabStop);
    } else {
      EXPECT_GT(c.nWidth, 0);
      EXPECT_GT(c.nHeight, 0);
    }
  }
  EXPECT_EQ(nNextTab, 7);
  EXPECT_EQ(nDefaultForm, 1);
  EXPECT_EQ(nDefaultPanel, 1);
}

TEST(PreviewLayout, AnchorsKeepTheDistancesToTheirEdges) {
  struct TCase {
    int nId, w, h;
    TPreviewBounds expected;
  };
  const TCase kCases[] = {
      // The design size changes nothing.
      {idPreviewButtonClose, 606, 449, {523, 416, 75, 25}},
      {idRichEditPreview, 606, 449, {8, 8, 590, 397}},
      // Maximised on 1280 x 1024 (client 1280 x 977, as Wine gives it): 8 pixels to the
      // right and bottom edges for the close button, the pane stretched.
      {idPreviewButtonClose, 1280, 977, {1197, 944, 75, 25}},
      {idPreviewButtonPrint, 1280, 977, {8, 944, 149, 25}},
      {idRichEditPreview, 1280, 977, {8, 8, 1264, 925}},
      {idPanelPraxisInfos, 1280, 977, {0, 0, 1280, 977}},
      {idBtnUebernehmen, 1280, 977, {8, 847, 149, 25}},
      {idButtonCloseDaten, 1280, 977, {1197, 847, 75, 25}},
      {idEditPraxisname, 1280, 977, {184, 128, 313, kPreviewEditHeight}},
      // Smaller than designed: stretched controls end at zero size, never below.
      {idRichEditPreview, 10, 20, {8, 8, 0, 0}},
      {idPreviewButtonClose, 10, 20, {-73, -13, 75, 25}},
  };
  for (const auto& k : kCases) {
    const TPreviewControl* c = FindPreviewControl(k.nId);
    ASSERT_TRUE(c);
    SCOPED_TRACE(Name(*c) + " at " + std::to_string(k.w) + "x" + std::to_string(k.h));
    const TPreviewBounds b = AnchoredBounds(*c, k.w, k.h);
    EXPECT_EQ(b.nLeft, k.expected.nLeft);
    EXPECT_EQ(b.nTop, k.expected.nTop);
    EXPECT_EQ(b.nWidth, k.expected.nWidth);
    EXPECT_EQ(b.nHeight, k.expected.nHeight);
  }
}

}  // namespace
}  // namespace sw
