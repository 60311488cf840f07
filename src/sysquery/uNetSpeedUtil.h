#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Locale.h"

namespace sw {

// Byte-for-byte the platform's MIB_IFROW (860 bytes), so the Windows side can hand it
// to GetIfEntry unchanged and tests can fill rows of their own.
struct TIfRow {
  char16_t wszName[256];
  std::uint32_t dwIndex;
  std::uint32_t dwType;
  std::uint32_t dwMtu;
  std::uint32_t dwSpeed;
  std::uint32_t dwPhysAddrLen;
  std::uint8_t bPhysAddr[8];
  std::uint32_t dwAdminStatus;
  std::uint32_t dwOperStatus;
  std::uint32_t dwLastChange;
  std::uint32_t dwInOctets, dwInUcastPkts, dwInNUcastPkts, dwInDiscards, dwInErrors, dwInUnknownProtos;
  std::uint32_t dwOutOctets, dwOutUcastPkts, dwOutNUcastPkts, dwOutDiscards, dwOutErrors, dwOutQLen;
  std::uint32_t dwDescrLen;
  std::uint8_t bDescr[256];
};
static_assert(sizeof(TIfRow) == 860, "TIfRow must match MIB_IFROW");

inline constexpr std::uint32_t kIfTypeSoftwareLoopback = 24;
inline constexpr std::uint32_t kIfAdminStatusDown = 2;
inline constexpr std::uint32_t kIfOperStatusNonOperational = 0;
inline constexpr std::uint32_t kIfErrorInsufficientBuffer = 122;
// Room for the row count and one row.
inline constexpr std::uint32_t kIfFirstTableSize = 864;

// The two IP Helper calls, shaped as GetIfTable and GetIfEntry (Windows error codes).
class IIfApi {
 public:
  virtual ~IIfApi() = default;
  // pTable holds *pcbSize bytes; on 122 *pcbSize is the size needed.
  virtual std::uint32_t GetIfTable(void* pTable, std::uint32_t* pcbSize, bool bOrder) = 0;
  // aRow.dwIndex names the interface.
  virtual std::uint32_t GetIfEntry(TIfRow& aRow) = 0;
};

bool IsSoftwareLoopback(std::uint32_t dwType);
// True when the address has at least three bytes and begins 00-50-56 (VMware).
bool HasVirtualAdapterPrefix(std::uint32_t dwPhysAddrLen, const std::uint8_t (&bPhysAddr)[8]);

// The fastest adapter that is not loopback, not virtual, not administratively down and
// not non-operational. Interfaces 1..N are asked by number, N being the table's row
// count; failing entries are skipped, and the first of equal rates wins. The best rate
// is kept unsigned and 64 bits wide, so rates of 2^31 bit/s and more are reported as
// the unsigned 32-bit value the platform gave. A description length above the 256 bytes
// of bDescr is taken as 256. On false both outputs are left untouched.
bool GetNetworkAdapterSpeed(IIfApi& aApi, ICodePage& aCodePage, std::wstring& sDescription,
                            std::uint32_t& nSpeed);

}  // namespace sw
