#include "share/PreviewLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <utility>

#include "share/PreviewText.h"

namespace sw {
namespace {

std::string Name(const TPreviewControl& c) {
  std::string s;
  for (const wchar_t* p = c.sName; *p; ++p) s += static_cast<char>(*p);
  return s;
}

bool Overlap(const TPreviewBounds& a, const TPreviewBounds& b) {
  return a.nLeft < b.nLeft + b.nWidth && b.nLeft < a.nLeft + a.nWidth && a.nTop < b.nTop + b.nHeight &&
         b.nTop < a.nTop + a.nHeight;
}

bool Contains(const TPreviewBounds& a, int x, int y) {
  return x >= a.nLeft && x < a.nLeft + a.nWidth && y >= a.nTop && y < a.nTop + a.nHeight;
}

// The letter after "&" in a caption, 0 when it has none.
wchar_t AccessKey(const wchar_t* s) {
  for (; *s; ++s)
    if (s[0] == L'&' && s[1]) return static_cast<wchar_t>(std::towupper(s[1]));
  return 0;
}

// What the Win32 form relies on: ids unique and found, the form's controls before the
// panel and the panel before its contents (so it lies over them), creation order gives
// the panel's tab order and that follows the reading order, one default button per
// parent, access keys unique per parent, and controls of a kind that has a size have one.
TEST(PreviewLayout, TableIsConsistent) {
  std::set<int> ids;
  std::set<std::pair<TPreviewParent, wchar_t>> keys;
  int nNextTab = 0;
  int nDefaultForm = 0, nDefaultPanel = 0;
  bool bPanelSeen = false;
  const TPreviewControl* pLastTab = nullptr;
  for (const TPreviewControl& c : kPreviewControls) {
    SCOPED_TRACE(Name(c));
    EXPECT_TRUE(ids.insert(c.nId).second) << "id used twice";
    EXPECT_EQ(FindPreviewControl(c.nId), &c);
    EXPECT_EQ(c.aParent == TPreviewParent::Panel, bPanelSeen) << "form's controls, the panel, then its contents";
    if (c.aKind == TPreviewKind::Panel) bPanelSeen = true;
    if (c.aParent == TPreviewParent::Panel && c.bTabStop) {
      EXPECT_EQ(c.nTabOrder, nNextTab) << "panel tab stops out of creation order";
      ++nNextTab;
      if (pLastTab) {
        EXPECT_TRUE(c.nTop > pLastTab->nTop || (c.nTop == pLastTab->nTop && c.nLeft > pLastTab->nLeft))
            << "tab order against the reading order, after " << Name(*pLastTab);
      }
      pLastTab = &c;
    }
    if (c.nTabOrder >= 0) {
      EXPECT_TRUE(c.bTabStop);
    }
    if (c.bDefault) {
      ++(c.aParent == TPreviewParent::Form ? nDefaultForm : nDefaultPanel);
      EXPECT_EQ(c.aKind, TPreviewKind::Button);
    }
    if (const wchar_t cKey = AccessKey(c.sCaption)) {
      EXPECT_TRUE(keys.insert({c.aParent, cKey}).second) << "access key used twice in one parent";
    }
    if (c.aKind == TPreviewKind::Label) {
      EXPECT_FALSE(c.bTabStop);
    } else {
      EXPECT_GT(c.nWidth, 0);
      EXPECT_GT(c.nHeight, 0);
    }
  }
  EXPECT_EQ(FindPreviewControl(0), nullptr);
  EXPECT_EQ(nNextTab, 7);
  EXPECT_EQ(nDefaultForm, 1);
  EXPECT_EQ(nDefaultPanel, 1);
}

// At the design size and maximised: every control inside the client area, no two
// controls of one parent on top of each other (the panel lies over the form's controls
// by design; labels, sized to their text, must not start inside another control), the
// controls kept at the bottom below those kept at the top, and those kept at the right
// right of those kept at the left on their row. Buttons and the pane keep 8 pixels to
// the side edges they are anchored to.
TEST(PreviewLayout, ControlsFitWithoutOverlapAtTheDesignSizeAndLarger) {
  for (const auto& [w, h] : {std::pair{kPreviewClientWidth, kPreviewClientHeight}, std::pair{1280, 977}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    for (const TPreviewControl& c : kPreviewControls) {
      SCOPED_TRACE(Name(c));
      const TPreviewBounds b = AnchoredBounds(c, w, h);
      EXPECT_GE(b.nLeft, 0);
      EXPECT_GE(b.nTop, 0);
      EXPECT_LE(b.nLeft + b.nWidth, w);
      EXPECT_LE(b.nTop + b.nHeight, h);
      if (c.aKind == TPreviewKind::Button || c.aKind == TPreviewKind::RichEdit) {
        if (c.aAnchors & akLeft) {
          EXPECT_EQ(b.nLeft, 8);
        }
        if (c.aAnchors & akRight) {
          EXPECT_EQ(w - b.nLeft - b.nWidth, 8);
        }
      }
      for (const TPreviewControl& d : kPreviewControls) {
        if (&d == &c || d.aParent != c.aParent || d.aKind == TPreviewKind::Panel) continue;
        const TPreviewBounds e = AnchoredBounds(d, w, h);
        if (c.aKind == TPreviewKind::Label) {
          EXPECT_FALSE(Contains(e, b.nLeft, b.nTop)) << "starts inside " << Name(d);
          continue;
        }
        if (c.aKind == TPreviewKind::Panel || d.aKind == TPreviewKind::Label) continue;
        EXPECT_FALSE(Overlap(b, e)) << "overlaps " << Name(d);
        const unsigned aV = c.aAnchors & (akTop | akBottom), aH = c.aAnchors & (akLeft | akRight);
        if (aV == akBottom && (d.aAnchors & (akTop | akBottom)) == akTop) {
          EXPECT_GE(b.nTop, e.nTop + e.nHeight) << "kept at the bottom, above " << Name(d);
        }
        if (aH == akRight && (d.aAnchors & (akLeft | akRight)) == akLeft && b.nTop == e.nTop) {
          EXPECT_GE(b.nLeft, e.nLeft + e.nWidth) << "kept at the right, left of " << Name(d);
        }
      }
    }
  }
}

// The figures and pairings the user sees: the 606 x 449 client area the panel fills, the
// pane's 50-pixel inner left margin, each field after the label that names it on its row,
// a star on exactly the fields the preview insists on (and the note below them), and
// Enter printing on the form and taking the details on the panel.
TEST(PreviewLayout, FieldsLabelsAndTheFiguresOfTheDesign) {
  EXPECT_EQ(kPreviewClientWidth, 606);
  EXPECT_EQ(kPreviewClientHeight, 449);
  EXPECT_EQ(kPreviewLeftMargin, 50);
  const TPreviewControl* pPanel = FindPreviewControl(idPanelPraxisInfos);
  ASSERT_TRUE(pPanel);
  EXPECT_EQ(AnchoredBounds(*pPanel, 1280, 977), (TPreviewBounds{0, 0, 1280, 977}));
  const TPreviewControl* pPane = FindPreviewControl(idRichEditPreview);
  ASSERT_TRUE(pPane);
  EXPECT_LT(kPreviewLeftMargin, pPane->nWidth / 2);

  const std::pair<int, std::wstring TPraxisDetails::*> kFields[] = {
      {idEditPraxisname, &TPraxisDetails::sPraxisname},
      {idEditPLZ, &TPraxisDetails::sPLZ},
      {idEditOrt, &TPraxisDetails::sOrt},
      {idEditAnsprechpartner, &TPraxisDetails::sAnsprechpartner},
      {idEditTelefonnummer, &TPraxisDetails::sTelefon},
  };
  int nLastFieldBottom = 0;
  for (const auto& [nId, pMember] : kFields) {
    const TPreviewControl* e = FindPreviewControl(nId);
    ASSERT_TRUE(e);
    SCOPED_TRACE(Name(*e));
    ASSERT_GT(e, kPreviewControls);
    const TPreviewControl& label = e[-1];  // created just before its field
    ASSERT_EQ(label.aKind, TPreviewKind::Label);
    std::wstring sText = label.sCaption;
    const bool bStar = !sText.empty() && sText.back() == L'*';
    if (bStar) sText.pop_back();
    EXPECT_EQ(std::wstring(e->sName), L"Edit" + sText) << "the label names its field";
    EXPECT_LT(label.nLeft, e->nLeft);
    EXPECT_GE(label.nTop, e->nTop);
    EXPECT_LT(label.nTop, e->nTop + e->nHeight) << "on the field's row";
    TPraxisDetails d{L"x", L"x", L"x", L"x", L"x"};
    d.*pMember = L"";
    EXPECT_EQ(bStar, FirstMissingDetail(d) != TMissingDetail::None) << "star on the mandatory fields only";
    nLastFieldBottom = std::max(nLastFieldBottom, e->nTop + e->nHeight);
  }
  const TPreviewControl* pNote = FindPreviewControl(idLabel7);
  ASSERT_TRUE(pNote);
  EXPECT_EQ(std::wstring(pNote->sCaption), L"* Pflichtfelder");
  EXPECT_GT(pNote->nTop, nLastFieldBottom);

  for (const TPreviewControl& c : kPreviewControls) {
    if (c.bDefault) {
      EXPECT_EQ(c.nId, c.aParent == TPreviewParent::Form ? idPreviewButtonPrint : idBtnUebernehmen);
    }
  }
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
