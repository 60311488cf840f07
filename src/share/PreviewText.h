#pragma once
#include <cstdint>
#include <string>
#include <utility>
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
enum class TMissingDetail { None, Praxisname, Ort, Telefon };
TMissingDetail FirstMissingDetail(const TPraxisDetails& aDetails);
// The message box text for a missing field, "" for None.
const wchar_t* MissingDetailMessage(TMissingDetail aMissing);

// What went wrong when printing, as the Windows side reports it.
enum class TPrintFault {
  None,
  DialogMissing,     // the printer dialog could not be loaded
  NoPrinter,         // the dialog found no printer installed
  DialogFailed,      // the dialog failed otherwise (nError: its extended error)
  PrinterNotOpened,  // the dialog gave no device context
  NoDeviceContext,   // printing was asked for without a printer
  StartDoc,          // the spooler refused the job, a page or the job's end
  StartPage,         //   (nError: the system error, sSystemText: its text)
  EndPage,
  EndDoc,
  Cancelled,         // the user cancelled the driver's own dialog (the file name asked
                     // for by "Microsoft Print to PDF" and the XPS writer): no error
};

struct TPrintResult {
  TPrintResult() = default;
  explicit TPrintResult(TPrintFault aFault, std::uint32_t nError = 0, std::wstring sSystemText = {})
      : aFault(aFault), nError(nError), sSystemText(std::move(sSystemText)) {}
  TPrintFault aFault = TPrintFault::None;
  std::uint32_t nError = 0;
  std::wstring sSystemText;  // the system's own text for nError, "" when it has none
  int nPages = 0;            // pages printed when aFault is None
};

// The text shown to the user for a failed print, "" for None and Cancelled.
std::wstring PrintErrorText(const TPrintResult& aResult);

}  // namespace sw
