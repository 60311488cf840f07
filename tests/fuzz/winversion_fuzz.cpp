// The release, edition and service-pack decisions over arbitrary version records and
// product names.
#include <cstdint>
#include <stdexcept>

#include "FuzzInput.h"
#include "common/Text.h"
#include "sysquery/WindowsVersion.h"

using namespace sw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
  swfuzz::TFuzzInput in(pData, cbData);
  TVersionRecord v;
  v.PlatformId = in.Byte() % 4;
  v.Major = in.Byte() % 12;
  v.Minor = in.Byte() % 12;
  v.KernelVersion = in.U32();
  v.bServerR2 = in.Byte() & 1;
  v.NativeArchitecture = in.Byte() % 13;
  v.bExtendedOk = in.Byte() & 1;
  v.ProductType = in.Byte() % 4;
  v.CsdText = Trim(in.Text(64));

  const unsigned nRelease = DetectWindowsRelease(v);
  SW_FUZZ_CHECK(nRelease <= 18);
  const std::wstring sRelease = WindowsReleaseText(nRelease, v.Minor);
  SW_FUZZ_CHECK(sRelease.empty() == (nRelease == 0));

  const std::wstring sProduct = in.Text(120);
  const unsigned nEdition = DetectWindowsEdition(sProduct);
  SW_FUZZ_CHECK(nEdition <= 25);
  SW_FUZZ_CHECK(WindowsEditionText(nEdition).empty() == (nEdition == 0));

  const std::int32_t iCsd = static_cast<std::int32_t>(in.U32());
  try {
    const unsigned nLevel = ServicePackLevelFromCsdVersion(iCsd);
    const std::wstring sSp = ServicePackText(nLevel);
    SW_FUZZ_CHECK(sSp.empty() == (nLevel == 0));
  } catch (const std::invalid_argument&) {
    // The documented failure: a hexadecimal digit A..F in the CSD version.
  }
  return 0;
}
