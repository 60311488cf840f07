#include "report/InfoItem.h"

#include <stdexcept>

namespace sw {

namespace {
const wchar_t* VerdictWord(TColor aColor) {
  switch (aColor) {
    case clGreen: return L"Gruen: ";
    case clOlive: return L"Gelb: ";
    case clRed: return L"Rot: ";
    default: return L"";
  }
}
}  // namespace

TInfoItem& TServiceInfos::AddInfo(const std::wstring& aSection, const std::wstring& aInfo,
                                  const std::wstring& aValue, TColor aColor) {
  auto item = std::make_unique<TInfoItem>();
  item->Section = aSection;
  item->Info = VerdictWord(aColor) + aInfo;
  item->Value = aValue;
  item->Color = aColor;
  FItems.push_back(std::move(item));
  return *FItems.back();
}

TInfoItem& TServiceInfos::GetInfoItem(int Index) {
  if (Index < 0 || Index >= Count()) throw std::out_of_range("Listenindex überschreitet das Maximum");
  return *FItems[static_cast<std::size_t>(Index)];
}

}  // namespace sw
