// The result log's decoder and line splitter over arbitrary file bytes.
#include <cstdint>

#include "FakeCodePage.h"
#include "FuzzInput.h"
#include "common/Text.h"
#include "resultlog/ResultLog.h"

using namespace sw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
  const std::string sBytes(reinterpret_cast<const char*>(pData), cbData);
  swfuzz::TLatin1CodePage cp;

  std::size_t cbMark = 99;
  const TLogEncoding enc = DetectLogEncoding(sBytes, cbMark);
  SW_FUZZ_CHECK(cbMark <= kLogMaxMarkBytes && cbMark <= cbData);
  SW_FUZZ_CHECK((enc == TLogEncoding::Ansi) == (cbMark == 0));

  const std::wstring sText = DecodeLogBytes(sBytes, cp);
  // No encoding makes more characters than it has bytes.
  SW_FUZZ_CHECK(sText.size() <= cbData);

  const std::wstring s8 = Utf8ToWide(sBytes.data(), sBytes.size());
  SW_FUZZ_CHECK(s8.size() <= cbData);
  for (bool bBig : {false, true}) {
    const std::wstring s16 = DecodeUtf16(sBytes.data(), sBytes.size(), bBig);
    SW_FUZZ_CHECK(s16.size() == (cbData + 1) / 2);
  }

  for (bool bDrop : {false, true}) {
    const auto lines = SplitLogLines(sText, bDrop);
    std::size_t nChars = 0;
    for (const auto& l : lines) {
      SW_FUZZ_CHECK(l.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
      nChars += l.size() + 1;
    }
    // Every line but an unended last one took at least one character of line end.
    SW_FUZZ_CHECK(nChars <= sText.size() + 1);
    if (sText.empty()) SW_FUZZ_CHECK(lines.empty());
  }

  // What one run appends decodes back to its own lines (ANSI text, no mark).
  swfuzz::TFuzzInput in(pData, cbData);
  std::wstring sReport = in.Text(200);
  for (auto& c : sReport)
    if (c > 0xFF || c == 0 || c == L'\r' || c == L'\n') c = L'x';
  const std::string sBlock = EncodeLogBlock(sReport, cp);
  if (!sBlock.empty() && static_cast<unsigned char>(sBlock[0]) < 0xEF) {
    const auto back = SplitLogLines(DecodeLogBytes(sBlock, cp), false);
    SW_FUZZ_CHECK(back.size() == 1 && back[0] == sReport);
  }
  return 0;
}
