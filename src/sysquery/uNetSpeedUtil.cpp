#include "sysquery/uNetSpeedUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sw {

bool IsSoftwareLoopback(std::uint32_t dwType) { return dwType == kIfTypeSoftwareLoopback; }

bool HasVirtualAdapterPrefix(std::uint32_t dwPhysAddrLen, const std::uint8_t (&bPhysAddr)[8]) {
  std::uint8_t aCopy[8];
  std::memcpy(aCopy, bPhysAddr, sizeof aCopy);
  const std::uint32_t nCompare = std::min<std::uint32_t>(dwPhysAddrLen, 3);
  if (nCompare != 3) return false;
  return aCopy[0] == 0x00 && aCopy[1] == 0x50 && aCopy[2] == 0x56;
}

namespace {

bool Qualifies(const TIfRow& r) {
  return !IsSoftwareLoopback(r.dwType) && !HasVirtualAdapterPrefix(r.dwPhysAddrLen, r.bPhysAddr) &&
         r.dwAdminStatus != kIfAdminStatusDown && r.dwOperStatus != kIfOperStatusNonOperational;
}

}  // namespace

bool GetNetworkAdapterSpeed(IIfApi& aApi, ICodePage& aCodePage, std::wstring& sDescription,
                            std::uint32_t& nSpeed) {
  std::uint64_t nBest = 0;
  std::string sBest;
  try {
    std::uint32_t cbTable = kIfFirstTableSize;
    std::vector<std::uint8_t> aTable(cbTable, 0);
    if (aApi.GetIfTable(aTable.data(), &cbTable, true) == kIfErrorInsufficientBuffer) {
      aTable.assign(cbTable, 0);
      aApi.GetIfTable(aTable.data(), &cbTable, true);  // result deliberately not examined
    }
    std::uint32_t nRows = 0;
    if (aTable.size() >= sizeof nRows) std::memcpy(&nRows, aTable.data(), sizeof nRows);
    // A count larger than the buffer can hold is not a table the platform wrote.
    nRows = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(nRows, aTable.size() < 4 ? 0 : (aTable.size() - 4) / sizeof(TIfRow)));

    TIfRow aRow;
    for (std::uint32_t k = 1; k <= nRows; ++k) {
      std::memset(&aRow, 0, sizeof aRow);
      aRow.dwIndex = k;  // the running number, not the index stored in the table
      if (aApi.GetIfEntry(aRow) != 0) continue;
      if (aRow.dwSpeed > nBest && Qualifies(aRow)) {
        nBest = aRow.dwSpeed;
        const std::size_t nLen = std::min<std::size_t>(aRow.dwDescrLen, sizeof aRow.bDescr);
        sBest.assign(reinterpret_cast<const char*>(aRow.bDescr), nLen);
      }
    }
  } catch (...) {
    // An adapter found before the failure still counts.
  }
  if (nBest == 0) return false;
  try {
    sDescription = aCodePage.FromAnsi(sBest);
  } catch (...) {
    sDescription.clear();
  }
  nSpeed = static_cast<std::uint32_t>(nBest);
  return true;
}

}  // namespace sw
