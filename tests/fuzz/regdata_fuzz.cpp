// Raw registry value bytes of any type and length into strings and numbers.
#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "sysquery/RegistryValue.h"

using namespace sw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
  swfuzz::TFuzzInput in(pData, cbData);
  const std::uint32_t dwType = in.Byte() % 12;
  const std::string sRest = in.Rest();
  // An exact-size heap copy, so that any read past cbData is caught.
  std::vector<std::uint8_t> data(sRest.begin(), sRest.end());
  const void* p = data.empty() ? nullptr : data.data();

  const auto s = StringFromRegistryData(dwType, p, data.size());
  if (s) {
    // Never more characters than the data holds, and no terminator kept.
    SW_FUZZ_CHECK(s->size() * 2 <= data.size() + 1);
  }
  (void)DwordFromRegistryData(dwType, p, data.size());
  (void)RegistryKeyPath(std::wstring(sRest.begin(), sRest.end()));
  return 0;
}
