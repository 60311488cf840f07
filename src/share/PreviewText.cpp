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

TMissingDetail FirstMissingDetail(const TPraxisDetails& aDetails) {
  if (aDetails.sPraxisname.empty()) return TMissingDetail::Praxisname;
  if (aDetails.sOrt.empty()) return TMissingDetail::Ort;
  if (aDetails.sTelefon.empty()) return TMissingDetail::Telefon;
  return TMissingDetail::None;
}

const wchar_t* MissingDetailMessage(TMissingDetail aMissing) {
  switch (aMissing) {
    case TMissingDetail::Praxisname: return L"Bitte geben sie einen Praxisnamen an.";
    case TMissingDetail::Ort: return L"Bitte geben sie einen Ort an.";
    case TMissingDetail::Telefon: return L"Bitte geben sie eine Telefonnummer an.";
    case TMissingDetail::None: break;
  }
  return L"";
}

std::wstring PrintErrorText(const TPrintResult& r) {
  const auto withSystemText = [&r](const wchar_t* sWhat) {
    return r.sSystemText.empty() ? sWhat + (L" (Fehler " + std::to_wstring(r.nError) + L")")
                                 : sWhat + (L": " + r.sSystemText);
  };
  switch (r.aFault) {
    case TPrintFault::None:
    case TPrintFault::Cancelled: break;
    case TPrintFault::DialogMissing: return L"Der Druckdialog konnte nicht geladen werden.";
    case TPrintFault::NoPrinter: return L"Es ist kein Drucker installiert.";
    case TPrintFault::DialogFailed:
      return L"Der Drucker konnte nicht ausgewählt werden (Fehler " + std::to_wstring(r.nError) + L").";
    case TPrintFault::PrinterNotOpened: return L"Der Drucker konnte nicht geöffnet werden.";
    case TPrintFault::NoDeviceContext: return L"Kein Drucker ausgewählt.";
    case TPrintFault::StartDoc: return withSystemText(L"Der Druckauftrag konnte nicht begonnen werden");
    case TPrintFault::StartPage:
    case TPrintFault::EndPage: return withSystemText(L"Die Seite konnte nicht gedruckt werden");
    case TPrintFault::EndDoc: return withSystemText(L"Der Druckauftrag konnte nicht beendet werden");
  }
  return L"";
}

}  // namespace sw
