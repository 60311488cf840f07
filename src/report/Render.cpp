#include "report/Render.h"

#include "common/Text.h"

namespace sw {

void ShowServiceInfos(TServiceInfos& aInfos, ITextPane& aPane) {
  aPane.SetRichTextMode();
  for (int i = 0; i < aInfos.Count(); ++i) {
    TInfoItem& item = aInfos.GetInfoItem(i);
    if (item.Section.empty() && item.Info.empty()) continue;

    const std::wstring trimmed = Trim(item.Value);
    if (trimmed.empty())
      item.Value = L"???";
    else if (trimmed == L"-1")
      item.Value.clear();

    TColor color = item.Color;
    if (item.Value == L"???") {
      color = clRed;
    } else {
      const auto at = item.Value.find(L"???");
      if (at != std::wstring::npos && at >= 1) color = clPurple;
    }
    if (Trim(item.Value).empty()) color = clBlack;

    const std::wstring line = item.Value.empty() ? item.Info : item.Info + L" = " + item.Value;
    aPane.AddLine(line, 8, color, 0);
  }
}

}  // namespace sw
