// The render step over arbitrary report entries, into a pane of arbitrary capacity.
#include <cstdint>

#include "FuzzInput.h"
#include "common/Text.h"
#include "report/MemoryPane.h"
#include "report/Render.h"

using namespace sw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
  swfuzz::TFuzzInput in(pData, cbData);
  // A small capacity now and then, so the overflow path is reached as well.
  const std::size_t nCapacity = (in.Byte() & 1) ? 64 + in.Byte() : kPaneCapacity;
  TMemoryPane pane(nCapacity);
  TServiceInfos infos;
  while (!in.Empty() && infos.Count() < 200) {
    const std::wstring sSection = in.Text(8);
    const std::wstring sInfo = in.Text(40);
    const std::wstring sValue = in.Text(60);
    infos.AddInfo(sSection, sInfo, sValue, in.U32());
  }

  bool bOverflow = false;
  try {
    ShowServiceInfos(infos, pane);
  } catch (const EPaneInsertError&) {
    // The one failure the render step may pass on: a line that no longer fits.
    bOverflow = true;
  }

  SW_FUZZ_CHECK(pane.TextLength() <= nCapacity);
  SW_FUZZ_CHECK(pane.RichText());
  std::size_t nLength = 0;
  for (const auto& line : pane.Lines()) {
    nLength += line.sText.size() + 1;
    // Paragraphs never keep a line break of their own.
    SW_FUZZ_CHECK(line.sText.find_first_of(L"\r\n") == std::wstring::npos);
    SW_FUZZ_CHECK(line.bFormatted && line.nSize == 8 && line.aStyle == 0);
  }
  SW_FUZZ_CHECK(nLength == pane.TextLength());
  SW_FUZZ_CHECK(pane.Text().size() == pane.TextLength() + pane.Lines().size());

  if (!bOverflow) {
    // A rendered value is never blank: blank ones become "???", "-1" becomes empty.
    for (int i = 0; i < infos.Count(); ++i) {
      const TInfoItem& item = infos.GetInfoItem(i);
      if (item.Section.empty() && item.Info.empty()) continue;
      SW_FUZZ_CHECK(item.Value.empty() || !Trim(item.Value).empty());
    }
  }
  return 0;
}
