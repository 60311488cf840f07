// The adapter selection over arbitrary interface tables. The fake interface table may
// grow between the size query and the fetch, as a real one does when an adapter comes
// up, and GetIfEntry may fail for any row.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FakeCodePage.h"
#include "FuzzInput.h"
#include "sysquery/uNetSpeedUtil.h"

using namespace sw;

namespace {

class TFakeIfApi : public IIfApi {
 public:
  explicit TFakeIfApi(swfuzz::TFuzzInput& in) : FIn(in) {
    const unsigned n = in.Byte() % 12;
    for (unsigned i = 0; i < n; ++i) FRows.push_back(MakeRow());
  }
  std::uint32_t GetIfTable(void* pTable, std::uint32_t* pcbSize, bool) override {
    if (FIn.Byte() % 8 == 0 && FRows.size() < 40) FRows.push_back(MakeRow());
    if (FIn.Byte() % 16 == 0) return 31;  // ERROR_GEN_FAILURE
    const std::uint32_t cbNeed = 4 + static_cast<std::uint32_t>(FRows.size() * sizeof(TIfRow));
    if (!pTable || *pcbSize < cbNeed) {
      *pcbSize = cbNeed;
      return kIfErrorInsufficientBuffer;
    }
    const std::uint32_t n = static_cast<std::uint32_t>(FRows.size());
    std::memcpy(pTable, &n, 4);
    if (n) std::memcpy(static_cast<char*>(pTable) + 4, FRows.data(), n * sizeof(TIfRow));
    return 0;
  }
  std::uint32_t GetIfEntry(TIfRow& aRow) override {
    if (FIn.Byte() % 8 == 0) return 31;
    for (const auto& r : FRows)
      if (r.dwIndex == aRow.dwIndex) {
        // The entry may report another speed than the table: it is read afresh.
        aRow = r;
        if (FIn.Byte() & 1) aRow.dwSpeed = FIn.U32();
        return 0;
      }
    return 1168;  // ERROR_NOT_FOUND
  }

 private:
  TIfRow MakeRow() {
    TIfRow r;
    std::memset(&r, 0xbd, sizeof r);
    r.dwIndex = FIn.Byte();
    r.dwType = FIn.Byte() % 2 ? kIfTypeSoftwareLoopback : 6;
    r.dwSpeed = FIn.U32();
    r.dwPhysAddrLen = FIn.Byte() % 12;  // up to more than bPhysAddr holds
    for (auto& b : r.bPhysAddr) b = FIn.Byte();
    r.dwAdminStatus = FIn.Byte() % 3;
    r.dwOperStatus = FIn.Byte() % 6;
    r.dwDescrLen = FIn.Byte() * 2;  // up to 510: beyond the 256 bytes of bDescr
    for (unsigned i = 0; i < 256 && i < r.dwDescrLen; ++i) r.bDescr[i] = FIn.Byte();
    return r;
  }
  swfuzz::TFuzzInput& FIn;
  std::vector<TIfRow> FRows;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
  swfuzz::TFuzzInput in(pData, cbData);
  TFakeIfApi api(in);
  swfuzz::TLatin1CodePage cp;
  std::wstring sDescription = L"untouched";
  std::uint32_t nSpeed = 0xdeadbeef;
  const bool bFound = GetNetworkAdapterSpeed(api, cp, sDescription, nSpeed);
  if (!bFound) {
    SW_FUZZ_CHECK(sDescription == L"untouched" && nSpeed == 0xdeadbeef);
  } else {
    SW_FUZZ_CHECK(sDescription.size() <= 256);
  }
  return 0;
}
