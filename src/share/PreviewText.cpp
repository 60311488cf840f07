#include "share/PreviewText.h"

#include "report/InfoItem.h"

namespace sw {

std::wstring BuildPreviewText(const std::wstring& sBody) {
  return TServiceInfos::CollectOvraHeaderInfos() + L"\r\n\r\n\r\n\r\n\r\n\r\n" + sBody;
}

int FillInDetails(std::vector<std::wstring>& aLines, const TPraxisDetails& aDetails) {
  const struct {
    const wchar_t* sLabel;
    const std::wstring* pText;
  } kRows[] = {
      {L"Praxisname:", &aDetails.sPraxisname}, {L"PLZ:", &aDetails.sPLZ},
      {L"Ort:", &aDetails.sOrt},               {L"Ansprechpartner:", &aDetails.sAnsprechpartner},
      {L"Telefon:", &aDetails.sTelefon},
  };
  int nReplaced = 0;
  for (auto& sLine : aLines) {
    for (const auto& row : kRows) {
      if (sLine == row.sLabel) {
        sLine = std::wstring(row.sLabel) + L" " + *row.pText;
        ++nReplaced;
        break;
      }
    }
  }
  return nReplaced;
}

EMissingDetail FirstMissingDetail(const TPraxisDetails& aDetails) {
  if (aDetails.sPraxisname.empty()) return EMissingDetail::Praxisname;
  if (aDetails.sOrt.empty()) return EMissingDetail::Ort;
  if (aDetails.sTelefon.empty()) return EMissingDetail::Telefon;
  return EMissingDetail::None;
}

const wchar_t* MissingDetailMessage(EMissingDetail aMissing) {
  switch (aMissing) {
    case EMissingDetail::Praxisname: return L"Bitte geben sie einen Praxisnamen an.";
    case EMissingDetail::Ort: return L"Bitte geben sie einen Ort an.";
    case EMissingDetail::Telefon: return L"Bitte geben sie eine Telefonnummer an.";
    case EMissingDetail::None: break;
  }
  return L"";
}

std::vector<std::wstring> SplitLines(const std::wstring& sText) {
  std::vector<std::wstring> lines;
  std::wstring cur;
  bool bOpen = false;
  for (std::size_t i = 0; i < sText.size(); ++i) {
    const wchar_t c = sText[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < sText.size() && sText[i + 1] == L'\n') ++i;
      lines.push_back(std::move(cur));
      cur.clear();
      bOpen = false;
    } else {
      cur += c;
      bOpen = true;
    }
  }
  if (bOpen) lines.push_back(std::move(cur));
  return lines;
}

}  // namespace sw
