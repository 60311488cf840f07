#pragma once
#include <string>
#include <vector>

namespace sw {

// The practice's contact details as typed into the preview's details form.
struct TPraxisDetails {
  std::wstring sPraxisname, sPLZ, sOrt, sAnsprechpartner, sTelefon;
};

// The preview's text: header block, six empty lines, then the letter and report.
std::wstring BuildPreviewText(const std::wstring& sBody);

// Replaces every line that is exactly one of the letter's labels ("Praxisname:",
// "PLZ:", "Ort:", "Ansprechpartner:", "Telefon:") by label, blank and detail.
// Returns the number of lines replaced.
int FillInDetails(std::vector<std::wstring>& aLines, const TPraxisDetails& aDetails);

// The first mandatory field that is empty (length zero; blanks count as filled).
enum class EMissingDetail { None, Praxisname, Ort, Telefon };
EMissingDetail FirstMissingDetail(const TPraxisDetails& aDetails);
// The message box text for a missing field, "" for None.
const wchar_t* MissingDetailMessage(EMissingDetail aMissing);

// Splits at CR LF, lone CR or lone LF (as the pane makes paragraphs); a text that ends
// in a line end gives no extra empty line at the end.
std::vector<std::wstring> SplitLines(const std::wstring& sText);

}  // namespace sw
