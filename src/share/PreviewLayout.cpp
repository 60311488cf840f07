#include "share/PreviewLayout.h"

#include <algorithm>

namespace sw {

const TPreviewControl* FindPreviewControl(int nId) {
  for (const auto& c : kPreviewControls)
    if (c.nId == nId) return &c;
  return nullptr;
}

namespace {
// One axis: start and extent for a parent grown (or shrunk) by nDelta.
void Anchor(bool bNear, bool bFar, int nDelta, int& nStart, int& nExtent) {
  if (bNear && bFar) nExtent = std::max(0, nExtent + nDelta);
  else if (bFar) nStart += nDelta;
}
}  // namespace

TPreviewBounds AnchoredBounds(const TPreviewControl& c, int nClientWidth, int nClientHeight) {
  TPreviewBounds b{c.nLeft, c.nTop, c.nWidth, c.nHeight};
  Anchor((c.aAnchors & akLeft) != 0, (c.aAnchors & akRight) != 0, nClientWidth - kPreviewClientWidth, b.nLeft,
         b.nWidth);
  Anchor((c.aAnchors & akTop) != 0, (c.aAnchors & akBottom) != 0, nClientHeight - kPreviewClientHeight, b.nTop,
         b.nHeight);
  return b;
}

}  // namespace sw
