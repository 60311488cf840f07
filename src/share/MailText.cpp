#include "share/MailText.h"

#include <algorithm>

#include "report/InfoItem.h"
#include "common/Locale.h"

namespace sw {

std::wstring TServiceInfos::CollectOvraHeaderInfos() { return std::wstring(); }

namespace {
// Lines 1 to 14 of the letter; line 4 keeps its trailing blank, the mail program shows it.
constexpr const wchar_t* kLetterHead[] = {
    L"Sehr geehrte Damen und Herren,",
    L"",
    L"anbei sende ich Ihnen die Ergebnisse des Programms Sichtwerk.",
    L"Bitte kontaktieren Sie mich. Meine Kontaktdaten für Rückfragen: ",
    L"",
    L"Praxisname:",
    L"",
    L"PLZ:",
    L"",
    L"Ort:",
    L"",
    L"Ansprechpartner:",
    L"",
    L"Telefon:",
};
}  // namespace

std::wstring ComposeLetter(const ITextPane& aPane) {
  std::wstring s;
  for (const wchar_t* sLine : kLetterHead) {
    s += sLine;
    s += L"\r\n";
  }
  s += L"\r\n";
  for (int i = 0; i < 6; ++i) s += L"\r\n";
  s += L"Nachfolgend automatisch generierte Informationen: ";
  s += L"\r\n";
  if (aPane.LineCount() == 0) {
    s += kNoInfosCollected;
    s += L"\r\n\r\n";
  } else {
    s += aPane.Text();
  }
  return s;
}

void TMailRecord::SetValue(const std::wstring& sName, const std::wstring& sValue) {
  auto it = std::find_if(FEntries.begin(), FEntries.end(),
                         [&](const auto& e) { return e.first == sName; });
  if (sValue.empty()) {
    if (it != FEntries.end()) FEntries.erase(it);
  } else if (it != FEntries.end()) {
    it->second = sValue;
  } else {
    FEntries.emplace_back(sName, sValue);
  }
}

std::wstring TMailRecord::Value(const std::wstring& sName) const {
  for (const auto& e : FEntries)
    if (e.first == sName) return e.second;
  return std::wstring();
}

bool TMailRecord::Has(const std::wstring& sName) const {
  return std::any_of(FEntries.begin(), FEntries.end(), [&](const auto& e) { return e.first == sName; });
}

TMailRecord BuildReportMail(const std::wstring& sAISMail_To, const std::wstring& sBody) {
  TMailRecord r;
  r.SetValue(L"to", sAISMail_To);
  r.SetValue(L"subject", kMailSubject);
  r.SetValue(L"body", TServiceInfos::CollectOvraHeaderInfos() + sBody);
  return r;
}

TMapiTexts MapiTextsFromRecord(const TMailRecord& aRecord, ICodePage& aCodePage) {
  TMapiTexts t;
  const std::wstring sTo = aRecord.Value(L"to"), sSubject = aRecord.Value(L"subject"),
                     sBody = aRecord.Value(L"body");
  if (!sTo.empty()) { t.bHasTo = true; t.sTo = aCodePage.ToAnsi(sTo); }
  if (!sSubject.empty()) { t.bHasSubject = true; t.sSubject = aCodePage.ToAnsi(sSubject); }
  if (!sBody.empty()) { t.bHasBody = true; t.sBody = aCodePage.ToAnsi(sBody); }
  return t;
}

bool MapiRegistryValueMeansAvailable(const wchar_t* pData, std::size_t cchData) {
  if (!pData) return false;
  std::size_t cch = cchData;
  // The registry may or may not store the terminating NUL; one is allowed, no more.
  if (cch > 0 && pData[cch - 1] == L'\0') --cch;
  return cch == 1 && pData[0] == L'1';
}

bool MapiFlagInRegistry(unsigned dwMajor, unsigned dwMinor) {
  return dwMajor > 3 || (dwMajor == 3 && dwMinor > 51);
}

}  // namespace sw
