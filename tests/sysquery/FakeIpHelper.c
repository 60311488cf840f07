/* The tests' own IPHLPAPI.DLL: an interface table of a loopback and one 100 Mbit/s
   Ethernet adapter, as GetIfTable and GetIfEntry give it. Wine's own reports no speed. */
#include <windows.h>
#include <iphlpapi.h>

static void FillRow(MIB_IFROW* pRow, DWORD dwIndex) {
  static const char sLoop[] = "Loopback", sEth[] = "Testadapter 100";
  const char* s = dwIndex == 1 ? sLoop : sEth;
  ZeroMemory(pRow, sizeof(*pRow));
  pRow->dwIndex = dwIndex;
  pRow->dwType = dwIndex == 1 ? 24 : 6;
  pRow->dwSpeed = dwIndex == 1 ? 0xFFFFFFFFu : 100000000u;
  pRow->dwPhysAddrLen = dwIndex == 1 ? 0 : 6;
  pRow->bPhysAddr[0] = 0x02;
  pRow->dwAdminStatus = 1;
  pRow->dwOperStatus = 5;
  pRow->dwDescrLen = lstrlenA(s);
  CopyMemory(pRow->bDescr, s, pRow->dwDescrLen);
}

DWORD WINAPI GetIfTable(PMIB_IFTABLE pTable, PULONG pcbSize, BOOL bOrder) {
  const ULONG cbNeeded = sizeof(DWORD) + 2 * sizeof(MIB_IFROW);
  (void)bOrder;
  if (!pcbSize) return ERROR_INVALID_PARAMETER;
  if (!pTable || *pcbSize < cbNeeded) {
    *pcbSize = cbNeeded;
    return ERROR_INSUFFICIENT_BUFFER;
  }
  pTable->dwNumEntries = 2;
  FillRow(&pTable->table[0], 1);
  FillRow(&pTable->table[1], 2);
  return NO_ERROR;
}

DWORD WINAPI GetIfEntry(PMIB_IFROW pRow) {
  if (!pRow || pRow->dwIndex < 1 || pRow->dwIndex > 2) return ERROR_INVALID_DATA;
  FillRow(pRow, pRow->dwIndex);
  return NO_ERROR;
}
