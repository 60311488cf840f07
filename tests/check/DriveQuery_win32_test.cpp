// The Windows drive query against the prefix's drives: C:, X: (the 4 GB tmpfs of
// tests/check/drives.sh) and a letter no drive is mapped to.
#include <gtest/gtest.h>

#include <windows.h>

#include "check/SystemMeasurements_win32.h"

namespace sw {
namespace {

// The first letter from Q on that names no drive of this prefix.
wchar_t UnmappedLetter() {
  const DWORD dwDrives = ::GetLogicalDrives();
  for (wchar_t c = L'Q'; c <= L'W'; ++c)
    if (!(dwDrives & (1u << (c - L'A')))) return c;
  return 0;
}

// A letter that no drive is mapped to is how an elevated program sees the user's
// mapped drives: unknown to GetDriveTypeW, and the space query says so.
TEST(WinDriveQuery, UnknownDriveGivesMinusOneAndNoName) {
  const wchar_t c = UnmappedLetter();
  ASSERT_NE(c, 0);
  const std::wstring sRoot{c, L':', L'\\'};
  TWinDriveSystem drives;
  EXPECT_FALSE(drives.KnowsRoot(sRoot));
  std::int64_t nFree = 0x0bdbdbdbdbdbdbdLL, nTotal = 0x0bdbdbdbdbdbdbdLL;
  bool bUnknown = false;
  EXPECT_FALSE(drives.GetDiskSpace(sRoot, nFree, nTotal, bUnknown));
  EXPECT_EQ(nFree, -1);
  EXPECT_EQ(nTotal, -1);
  EXPECT_TRUE(bUnknown);
  EXPECT_EQ(drives.QueryFileSystemName(sRoot), L"???");
  EXPECT_TRUE(drives.KnowsRoot(L"C:\\"));
}

TEST(WinDriveQuery, AgreesWithTheSystemAndIgnoresLetterCase) {
  ULARGE_INTEGER uX{};
  const bool bX = ::GetDiskFreeSpaceExW(L"X:\\", nullptr, &uX, nullptr) && uX.QuadPart == 4ULL << 30;
  for (wchar_t c : {L'C', L'X'}) {
    SCOPED_TRACE(static_cast<char>(c));
    if (c == L'X' && !bX) GTEST_SKIP() << "drive X: is not the 4 GB tmpfs (tests/check/drives.sh needs root)";
    TWinDriveSystem drives;
    const wchar_t sRoot[] = {c, L':', L'\\', 0};
    const wchar_t sLower[] = {static_cast<wchar_t>(c - L'A' + L'a'), L':', L'\\', 0};
    std::int64_t nFree = -2, nTotal = -2;
    bool bUnknown = true;
    ASSERT_TRUE(drives.GetDiskSpace(sRoot, nFree, nTotal, bUnknown));
    EXPECT_FALSE(bUnknown);
    EXPECT_GE(nFree, 0);
    EXPECT_LE(nFree, nTotal);
    EXPECT_GT(nTotal, 0);

    std::int64_t nFreeLower = -2, nTotalLower = -2;
    ASSERT_TRUE(drives.GetDiskSpace(sLower, nFreeLower, nTotalLower, bUnknown));
    EXPECT_EQ(nTotalLower, nTotal);
    if (c == L'X') {
      EXPECT_EQ(nTotal, 4LL << 30);
      EXPECT_EQ(nFreeLower, nFree) << "nothing writes to X: here";
    }

    // The 32-character buffer holds every name the system gives with a larger one.
    wchar_t sFs[MAX_PATH + 1];
    memset(sFs, 0xbd, sizeof(sFs));
    ASSERT_TRUE(::GetVolumeInformationW(sRoot, nullptr, 0, nullptr, nullptr, nullptr, sFs, MAX_PATH + 1));
    EXPECT_EQ(drives.QueryFileSystemName(sRoot), std::wstring(sFs));
    EXPECT_EQ(drives.QueryFileSystemName(sLower), std::wstring(sFs));
  }
}

TEST(WinDriveQuery, FailedQueryLeavesNoErrorModeBehind) {
  const UINT uBefore = ::SetErrorMode(0);
  ::SetErrorMode(uBefore);
  TWinDriveSystem drives;
  const std::wstring sRoot{UnmappedLetter(), L':', L'\\'};
  std::int64_t nFree = 0, nTotal = 0;
  bool bUnknown = false;
  drives.KnowsRoot(sRoot);
  drives.GetDiskSpace(sRoot, nFree, nTotal, bUnknown);
  drives.QueryFileSystemName(sRoot);
  drives.FileExists(sRoot + L"x.exe");
  const UINT uAfter = ::SetErrorMode(0);
  ::SetErrorMode(uAfter);
  EXPECT_EQ(uAfter, uBefore);
}

}  // namespace
}  // namespace sw
