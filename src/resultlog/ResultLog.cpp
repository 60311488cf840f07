#include "report/InfoItem.h"
#include "report/TextPane.h"
#include "resultlog/ResultLogFile.h"
#include "sysquery/Locale.h"

namespace sw {

// Placeholders until the result log lands.
void TServiceInfos::CollectLogEntries(ITextPane&, IResultLogFile&, ICodePage&) {}
void TServiceInfos::HandleLog(const std::wstring&, IResultLogFile&, ICodePage&) {}

}  // namespace sw
