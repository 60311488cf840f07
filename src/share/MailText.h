#pragma once
#include <string>
#include <utility>
#include <vector>

#include "report/TextPane.h"

namespace sw {

inline constexpr const wchar_t* kMailSubject = L"Ergebnisse des Sichtwerks zur Prüfung";
inline constexpr const wchar_t* kNoInfosCollected = L"- keine informationen gesammelt";

// The letter in front of the report, followed by the pane's whole text (or the
// fallback line when the pane is empty). Every line ends with CR LF.
std::wstring ComposeLetter(const ITextPane& aPane);

// Ordered name=value list, looked up by name. An empty value leaves the name absent
// (setting it removes an entry that was there); an absent name reads as "".
class TMailRecord {
 public:
  void SetValue(const std::wstring& sName, const std::wstring& sValue);
  std::wstring Value(const std::wstring& sName) const;
  bool Has(const std::wstring& sName) const;
  const std::vector<std::pair<std::wstring, std::wstring>>& Entries() const { return FEntries; }

 private:
  std::vector<std::pair<std::wstring, std::wstring>> FEntries;
};

// "to", "subject" and "body" (header block + sBody) of the report mail.
TMailRecord BuildReportMail(const std::wstring& sAISMail_To, const std::wstring& sBody);

// The texts handed to Simple MAPI, already in the ANSI code page. An empty text in
// the record gives "no field" (bHas... false), never an empty string.
struct TMapiTexts {
  bool bHasTo = false, bHasSubject = false, bHasBody = false;
  std::string sTo, sSubject, sBody;
};
class ICodePage;
TMapiTexts MapiTextsFromRecord(const TMailRecord& aRecord, ICodePage& aCodePage);

// MAPI availability from the registry value "MAPI" of the messaging subsystem key:
// only exactly the text "1" counts. cchData is what the registry returned,
// in characters, with or without its terminating NUL.
bool MapiRegistryValueMeansAvailable(const wchar_t* pData, std::size_t cchData);
// Windows above 3.51 keeps the flag in the registry, older ones in WIN.INI.
bool MapiFlagInRegistry(unsigned dwMajor, unsigned dwMinor);

}  // namespace sw
