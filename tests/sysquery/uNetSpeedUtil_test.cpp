#include "sysquery/uNetSpeedUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace sw {
namespace {

// Latin-1 stands in for code page 1252 here: every byte maps to one character.
class TLatin1 : public ICodePage {
 public:
  std::string ToAnsi(const std::wstring& s) override { return std::string(s.begin(), s.end()); }
  std::wstring FromAnsi(const std::string& s) override {
    std::wstring w;
    for (unsigned char c : s) w.push_back(c);
    return w;
  }
};

TIfRow Row(std::uint32_t dwIndex, std::uint32_t dwSpeed, const char* sDescr = "eth") {
  TIfRow r;
  std::memset(&r, 0, sizeof r);
  r.dwIndex = dwIndex;
  r.dwType = 6;  // ethernet
  r.dwSpeed = dwSpeed;
  r.dwPhysAddrLen = 6;
  const std::uint8_t aMac[6] = {0x52, 0x54, 0x00, 0x12, 0x34, 0x56};
  std::memcpy(r.bPhysAddr, aMac, 6);
  r.dwAdminStatus = 1;
  r.dwOperStatus = 5;
  r.dwDescrLen = static_cast<std::uint32_t>(std::strlen(sDescr));
  std::memcpy(r.bDescr, sDescr, r.dwDescrLen);
  return r;
}

// Interfaces as the platform holds them: rows with their own indices.
class TFakeIfApi : public IIfApi {
 public:
  std::vector<TIfRow> aRows;
  std::vector<std::uint32_t> aTableSizesSeen;
  std::vector<std::uint32_t> aIndicesAsked;
  std::vector<bool> aOrderSeen;
  bool bTableFails = false;             // returns 87 without writing
  std::uint32_t nReportedRows = ~0u;    // row count written into the table, ~0: aRows.size()
  std::uint32_t nThrowAtIndex = 0;

  std::uint32_t RowCount() const { return nReportedRows == ~0u ? static_cast<std::uint32_t>(aRows.size()) : nReportedRows; }

  std::uint32_t GetIfTable(void* pTable, std::uint32_t* pcbSize, bool bOrder) override {
    aTableSizesSeen.push_back(*pcbSize);
    aOrderSeen.push_back(bOrder);
    // Each call must get a zeroed buffer, so a failing call leaves a count of 0.
    const auto* p = static_cast<const std::uint8_t*>(pTable);
    for (std::uint32_t i = 0; i < *pcbSize; ++i) EXPECT_EQ(p[i], 0) << "byte " << i << " not zeroed";
    if (bTableFails) return 87;
    const std::uint32_t cbNeeded = 4 + static_cast<std::uint32_t>(aRows.size() * sizeof(TIfRow));
    if (*pcbSize < cbNeeded) {
      *pcbSize = cbNeeded;
      return kIfErrorInsufficientBuffer;
    }
    const std::uint32_t n = RowCount();
    std::memcpy(pTable, &n, 4);
    if (!aRows.empty()) std::memcpy(static_cast<std::uint8_t*>(pTable) + 4, aRows.data(), aRows.size() * sizeof(TIfRow));
    return 0;
  }
  std::uint32_t GetIfEntry(TIfRow& aRow) override {
    aIndicesAsked.push_back(aRow.dwIndex);
    if (aRow.dwIndex == nThrowAtIndex) throw std::runtime_error("boom");
    for (const TIfRow& r : aRows)
      if (r.dwIndex == aRow.dwIndex) {
        aRow = r;
        return 0;
      }
    return 2;
  }
};

struct TResult {
  bool bOk;
  std::wstring sDescr;
  std::uint32_t nSpeed;
};

TResult Select(TFakeIfApi& api) {
  TLatin1 cp;
  TResult r{false, L"untouched", 0xBDBDBDBD};
  r.bOk = GetNetworkAdapterSpeed(api, cp, r.sDescr, r.nSpeed);
  return r;
}

TEST(NetSpeedPredicates, LoopbackIsType24Only) {
  EXPECT_TRUE(IsSoftwareLoopback(24));
  for (std::uint32_t t : {0u, 1u, 6u, 23u, 25u, 71u, 0xFFFFFFFFu}) EXPECT_FALSE(IsSoftwareLoopback(t)) << t;
}

TEST(NetSpeedPredicates, VirtualPrefixNeedsThreeBytes) {
  const std::uint8_t aVm[8] = {0x00, 0x50, 0x56, 0xC0, 0, 1, 0xBD, 0xBD};
  const std::uint8_t aOther[8] = {0x00, 0x50, 0x57, 0, 0, 0, 0, 0};
  const std::uint8_t aShifted[8] = {0x01, 0x00, 0x50, 0x56, 0, 0, 0, 0};
  struct Case {
    std::uint32_t nLen;
    const std::uint8_t (*pAddr)[8];
    bool bVirtual;
  } cases[] = {
      {0, &aVm, false}, {1, &aVm, false}, {2, &aVm, false}, {3, &aVm, true}, {6, &aVm, true},
      {8, &aVm, true},  {0xFFFFFFFFu, &aVm, true}, {6, &aOther, false}, {8, &aShifted, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nLen);
    EXPECT_EQ(HasVirtualAdapterPrefix(c.nLen, *c.pAddr), c.bVirtual);
  }
}

TEST(NetSpeed, SelectionRulesOverRows) {
  auto With = [](TIfRow r, auto f) {
    f(r);
    return r;
  };
  struct Case {
    const char* sWhat;
    std::vector<TIfRow> aRows;
    bool bOk;
    const wchar_t* sDescr;
    std::uint32_t nSpeed;
  } cases[] = {
      {"no interfaces", {}, false, L"untouched", 0xBDBDBDBD},
      {"loopback only", {With(Row(1, 10000000, "lo"), [](TIfRow& r) { r.dwType = 24; })}, false, L"untouched", 0xBDBDBDBD},
      {"speed 0 never qualifies", {Row(1, 0)}, false, L"untouched", 0xBDBDBDBD},
      {"single adapter", {Row(1, 100000000, "Intel")}, true, L"Intel", 100000000},
      {"fastest wins", {Row(1, 10000000, "a"), Row(2, 1000000000, "b"), Row(3, 100000000, "c")}, true, L"b", 1000000000},
      {"first of equal rates wins", {Row(1, 5, "x"), Row(2, 100, "first"), Row(3, 100, "second")}, true, L"first", 100},
      {"vmware prefix excluded however fast",
       {Row(1, 100, "real"), With(Row(2, 4000000000u, "vm"), [](TIfRow& r) {
          r.bPhysAddr[0] = 0x00; r.bPhysAddr[1] = 0x50; r.bPhysAddr[2] = 0x56; })},
       true, L"real", 100},
      {"short address never excluded by prefix",
       {With(Row(1, 100, "short"), [](TIfRow& r) {
          r.dwPhysAddrLen = 2; r.bPhysAddr[0] = 0x00; r.bPhysAddr[1] = 0x50; r.bPhysAddr[2] = 0x56; })},
       true, L"short", 100},
      {"admin down skipped", {Row(1, 100, "up"), With(Row(2, 1000, "down"), [](TIfRow& r) { r.dwAdminStatus = 2; })},
       true, L"up", 100},
      {"admin testing passes", {With(Row(1, 1000, "testing"), [](TIfRow& r) { r.dwAdminStatus = 3; })}, true, L"testing", 1000},
      {"non-operational skipped", {Row(1, 100, "up"), With(Row(2, 1000, "nonop"), [](TIfRow& r) { r.dwOperStatus = 0; })},
       true, L"up", 100},
      {"disconnected still a candidate", {With(Row(1, 1000, "disc"), [](TIfRow& r) { r.dwOperStatus = 2; })}, true, L"disc", 1000},
      {"unreachable still a candidate", {With(Row(1, 1000, "unr"), [](TIfRow& r) { r.dwOperStatus = 3; })}, true, L"unr", 1000},
      {"2^31 - 1", {Row(1, 0x7FFFFFFF, "max")}, true, L"max", 0x7FFFFFFF},
      {"2^31 reported unsigned", {Row(1, 0x80000000u, "big")}, true, L"big", 0x80000000u},
      {"2^32 - 1 reported unsigned", {Row(1, 0xFFFFFFFFu, "huge")}, true, L"huge", 0xFFFFFFFFu},
      {"2^31 beats 2^31 - 1", {Row(1, 0x7FFFFFFF, "a"), Row(2, 0x80000000u, "b")}, true, L"b", 0x80000000u},
      {"2^32 - 1 stays ahead of later slower", {Row(1, 0xFFFFFFFFu, "a"), Row(2, 0x80000000u, "b")}, true, L"a", 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sWhat);
    TFakeIfApi api;
    api.aRows = c.aRows;
    TResult r = Select(api);
    EXPECT_EQ(r.bOk, c.bOk);
    EXPECT_EQ(r.sDescr, c.sDescr);
    EXPECT_EQ(r.nSpeed, c.nSpeed);
  }
}

TEST(NetSpeed, AsksIndicesOneToNNotTheTableIndices) {
  TFakeIfApi api;
  api.aRows = {Row(1, 10, "one"), Row(11, 1000000, "eleven"), Row(12, 1000000, "twelve")};
  TResult r = Select(api);
  EXPECT_EQ(api.aIndicesAsked, (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_TRUE(r.bOk);
  EXPECT_EQ(r.sDescr, L"one");
  EXPECT_EQ(r.nSpeed, 10u);
}

TEST(NetSpeed, FirstBufferOf864BytesThenOneRetry) {
  {
    SCOPED_TRACE("fits in the first buffer");
    TFakeIfApi api;
    api.aRows = {Row(1, 10)};
    Select(api);
    EXPECT_EQ(api.aTableSizesSeen, (std::vector<std::uint32_t>{864}));
    EXPECT_EQ(api.aOrderSeen, (std::vector<bool>{true}));
  }
  {
    SCOPED_TRACE("two rows need a second call of the reported size");
    TFakeIfApi api;
    api.aRows = {Row(1, 10), Row(2, 20, "two")};
    TResult r = Select(api);
    EXPECT_EQ(api.aTableSizesSeen, (std::vector<std::uint32_t>{864, 4 + 2 * 860}));
    EXPECT_EQ(api.aOrderSeen, (std::vector<bool>{true, true}));
    EXPECT_EQ(r.sDescr, L"two");
  }
  {
    SCOPED_TRACE("a failing table call yields no rows");
    TFakeIfApi api;
    api.aRows = {Row(1, 10)};
    api.bTableFails = true;
    EXPECT_FALSE(Select(api).bOk);
    EXPECT_EQ(api.aTableSizesSeen.size(), 1u);
    EXPECT_TRUE(api.aIndicesAsked.empty());
  }
}

TEST(NetSpeed, RowCountBeyondTheBufferIsNotTrusted) {
  TFakeIfApi api;
  api.aRows = {Row(1, 10)};
  api.nReportedRows = 0xFFFFFFFFu;
  TResult r = Select(api);
  EXPECT_EQ(api.aIndicesAsked, (std::vector<std::uint32_t>{1}));
  EXPECT_TRUE(r.bOk);
}

TEST(NetSpeed, ErrorDuringEnumerationKeepsEarlierBest) {
  TFakeIfApi api;
  api.aRows = {Row(1, 10, "kept"), Row(2, 20), Row(3, 30, "late")};
  api.nThrowAtIndex = 2;
  TResult r = Select(api);
  EXPECT_TRUE(r.bOk);
  EXPECT_EQ(r.sDescr, L"kept");
  EXPECT_EQ(api.aIndicesAsked, (std::vector<std::uint32_t>{1, 2}));
}

TEST(NetSpeed, DescriptionIsExactlyDescrLenBytes) {
  struct Case {
    std::uint32_t nLen;
    std::wstring sDescr;
  } cases[] = {
      {3, L"Eth"},
      {9, std::wstring(L"Ethernet\0", 9)},  // a counted trailing zero stays in
      {0, L""},
      {256, std::wstring(L"Ethernet\0", 9) + std::wstring(247, L'\xBD')},
      {257, std::wstring(L"Ethernet\0", 9) + std::wstring(247, L'\xBD')},       // clamped to 256
      {0xFFFFFFFFu, std::wstring(L"Ethernet\0", 9) + std::wstring(247, L'\xBD')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nLen);
    TFakeIfApi api;
    TIfRow r = Row(1, 100);
    std::memset(r.bDescr, 0xBD, sizeof r.bDescr);
    std::memcpy(r.bDescr, "Ethernet\0", 9);
    r.dwDescrLen = c.nLen;
    api.aRows = {r};
    TResult res = Select(api);
    EXPECT_TRUE(res.bOk);
    EXPECT_EQ(res.sDescr, c.sDescr);
  }
}

}  // namespace
}  // namespace sw
