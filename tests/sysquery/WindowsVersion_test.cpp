#include "sysquery/WindowsVersion.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sw {
namespace {

TVersionRecord Nt(std::uint32_t aMajor, std::uint32_t aMinor) {
  TVersionRecord v;
  v.PlatformId = 2;
  v.Major = aMajor;
  v.Minor = aMinor;
  v.bExtendedOk = true;
  v.ProductType = 1;
  return v;
}

TVersionRecord Win9x(std::uint32_t aMinor, const wchar_t* sCsd, std::uint32_t aKernel = 0) {
  TVersionRecord v;
  v.PlatformId = 1;
  v.Major = 4;
  v.Minor = aMinor;
  v.CsdText = sCsd;
  v.KernelVersion = aKernel;
  return v;
}

TEST(WindowsRelease, Family9xRowsAndBoundaries) {
  struct Row {
    TVersionRecord v;
    unsigned Code;
    const wchar_t* sText;
  } rows[] = {
      {Win9x(0, L""), 1, L"Windows 95"},
      {Win9x(0, L"B"), 2, L"Windows 95 OSR2"},
      {Win9x(9, L"C"), 2, L"Windows 95 OSR2"},
      {Win9x(9, L"A"), 1, L"Windows 95"},
      {Win9x(0, L"b"), 1, L"Windows 95"},     // compared case-sensitively
      {Win9x(0, L"BC"), 1, L"Windows 95"},    // whole text, not a prefix
      {Win9x(10, L""), 3, L"Windows 98"},
      {Win9x(10, L"A"), 4, L"Windows 98 SE"},
      {Win9x(89, L"B"), 4, L"Windows 98 SE"},
      {Win9x(10, L"C"), 3, L"Windows 98"},
      {Win9x(10, L"A", 0x0004005A), 5, L"Windows ME"},  // kernel wins over the text
      {Win9x(89, L"", 0x0004005B), 3, L"Windows 98"},
      {Win9x(90, L""), 5, L"Windows ME"},
      {Win9x(91, L""), 0, L""},
      {Win9x(255, L"A"), 0, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "minor " << r.v.Minor << " csd '" << std::string(r.v.CsdText.begin(), r.v.CsdText.end())
                                    << "'");
    EXPECT_EQ(DetectWindowsRelease(r.v), r.Code);
    EXPECT_EQ(WindowsReleaseText(DetectWindowsRelease(r.v), r.v.Minor), r.sText);
  }
}

TEST(WindowsRelease, NtRowsAndBoundaries) {
  auto Server = [](TVersionRecord v) {
    v.ProductType = 3;
    return v;
  };
  auto NoExtended = [](TVersionRecord v) {
    v.bExtendedOk = false;
    return v;
  };
  auto Native = [](TVersionRecord v, std::uint16_t aArch, bool bR2) {
    v.NativeArchitecture = aArch;
    v.bServerR2 = bR2;
    return v;
  };
  struct Row {
    TVersionRecord v;
    unsigned Code;
    const wchar_t* sText;
  } rows[] = {
      {Nt(3, 0), 0, L""},
      {Nt(3, 1), 6, L"Windows NT 3.1"},
      {Nt(3, 5), 7, L"Windows NT 3.5"},
      {Nt(3, 51), 8, L"Windows NT 3.51"},
      {Nt(3, 10), 0, L""},
      {Nt(4, 0), 9, L"Windows NT 4.0"},
      {Nt(4, 90), 9, L"Windows NT 4.90"},
      {Nt(5, 0), 10, L"Windows 2000"},
      {Nt(5, 1), 11, L"Windows XP"},
      {Nt(5, 3), 0, L""},
      // 5.2: server metric first, then architecture with workstation, else the server.
      {Native(Nt(5, 2), 0, false), 12, L"Windows Server 2003"},
      {Native(Nt(5, 2), 9, false), 13, L"Windows XP x64"},
      {Native(Nt(5, 2), 9, true), 14, L"Windows Server 2003 R2"},
      {Native(Nt(5, 2), 0, true), 14, L"Windows Server 2003 R2"},
      {Native(Server(Nt(5, 2)), 9, false), 12, L"Windows Server 2003"},
      {Native(NoExtended(Nt(5, 2)), 9, false), 12, L"Windows Server 2003"},
      {Native(Nt(5, 2), 6, false), 13, L"Windows XP x64"},
      {Nt(6, 0), 15, L"Windows Vista"},
      {Server(Nt(6, 0)), 16, L"Windows Server 2008"},
      {NoExtended(Nt(6, 0)), 16, L"Windows Server 2008"},
      {Nt(6, 1), 17, L"Windows 7"},
      {Server(Nt(6, 1)), 18, L"Windows Server 2008 R2"},
      {NoExtended(Nt(6, 1)), 18, L"Windows Server 2008 R2"},
      {Nt(6, 2), 0, L""},
      {Nt(6, 3), 0, L""},
      {Nt(10, 0), 0, L""},
      {Nt(2, 0), 0, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.v.Major << "." << r.v.Minor << " type " << int(r.v.ProductType) << " arch "
                                    << r.v.NativeArchitecture << " r2 " << r.v.bServerR2);
    EXPECT_EQ(DetectWindowsRelease(r.v), r.Code);
    EXPECT_EQ(WindowsReleaseText(DetectWindowsRelease(r.v), r.v.Minor), r.sText);
  }
}

TEST(WindowsRelease, OtherPlatformIdsAreOutsideTheTable) {
  for (std::uint32_t id : {0u, 3u, 4u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(id);
    TVersionRecord v = Nt(6, 1);
    v.PlatformId = id;
    EXPECT_EQ(DetectWindowsRelease(v), 0u);
  }
  EXPECT_EQ(WindowsReleaseText(kReleaseCount, 1), L"");
  EXPECT_EQ(WindowsReleaseText(0xFFFFFFFFu, 1), L"");
}

TEST(WindowsEdition, EveryRowOfTheTable) {
  struct Row {
    const wchar_t* sName;
    unsigned Code;
    const wchar_t* sText;
  } rows[] = {
      {L"Windows XP Home Edition N", 3, L"Home Edition N"},
      {L"Windows XP Professional N", 4, L"Professional N"},
      {L"Windows XP Home Edition KN", 7, L"Home Edition KN"},
      {L"Windows XP Professional KN", 8, L"Professional KN"},
      {L"Windows XP Home Edition K", 5, L"Home Edition K"},
      {L"Windows XP Professional K", 6, L"Professional K"},
      {L"Windows XP Home Edition", 1, L"Home Edition"},
      {L"Windows XP Professional", 2, L"Professional"},
      {L"Windows XP Starter Edition", 9, L"Starter Edition"},
      {L"Windows XP Media Center Edition", 10, L"Media Center Edition"},
      {L"Windows XP Tablet PC Edition", 11, L"Tablet PC Edition"},
      {L"Windows Vista (TM) Starter", 12, L"Starter"},
      {L"Windows Vista (TM) Home Basic N", 14, L"Home Basic N"},
      {L"Windows Vista (TM) Home Basic", 13, L"Home Basic"},
      {L"Windows Vista (TM) Home Premium", 15, L"Home Premium"},
      {L"Windows Vista (TM) Business N", 17, L"Business N"},
      {L"Windows Vista (TM) Business", 16, L"Business"},
      {L"Windows Vista (TM) Enterprise", 18, L"Enterprise"},
      {L"Windows Vista (TM) Ultimate", 19, L"Ultimate"},
      {L"Windows 7 Starter", 20, L"Starter"},
      {L"Windows 7 Home Basic", 21, L"Home Basic"},
      {L"Windows 7 Home Premium", 22, L"Home Premium"},
      {L"Windows 7 Professional", 23, L"Professional"},
      {L"Windows 7 Enterprise", 24, L"Enterprise"},
      {L"Windows 7 Ultimate", 25, L"Ultimate"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.sName, r.sName + std::wcslen(r.sName)));
    EXPECT_EQ(DetectWindowsEdition(r.sName), r.Code);
    EXPECT_EQ(WindowsEditionText(r.Code), r.sText);
  }
}

TEST(WindowsEdition, FamilyByPrefixWordsAnywhereInTableOrder) {
  struct Row {
    const wchar_t* sName;
    unsigned Code;
  } rows[] = {
      {L"Microsoft Windows XP Professional", 0},  // does not begin with the family
      {L" Windows XP Professional", 0},
      {L"windows xp professional", 0},
      {L"Windows XP", 0},                          // family without a word
      {L"Windows XP professional", 0},             // words are case-sensitive
      {L"Windows XPProfessional", 2},              // only the beginning is tested
      {L"Windows 7 Professional N", 23},           // no N editions for 7
      {L"Windows 7 Home Premium Ultimate", 22},
      {L"Windows 7 Business", 0},
      {L"Windows Vista Home Basic N Home Basic", 14},
      {L"Windows Vista Starter Ultimate", 12},
      {L"Windows XP Professional Home", 1},        // "Home" is tested before "Professional"
      {L"Windows XP Professional x64 Edition", 2},
      {L"Windows 8 Pro", 0},
      {L"Windows 10 Pro", 0},                      // "Windows 1..." is not "Windows 7"
      {L"Windows 70 Ultimate", 25},
      {L"Microsoft Windows 7", 0},                 // Wine's ProductName
      {L"", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.sName, r.sName + std::wcslen(r.sName)));
    EXPECT_EQ(DetectWindowsEdition(r.sName), r.Code);
  }
  EXPECT_EQ(WindowsEditionText(0), L"");
  EXPECT_EQ(WindowsEditionText(kEditionCount), L"");
}

TEST(WindowsEdition, VeryLongProductName) {
  std::wstring s = L"Windows Vista " + std::wstring(10000 - 14 - 8, L'x') + L"Ultimate";
  ASSERT_EQ(s.size(), 10000u);
  EXPECT_EQ(DetectWindowsEdition(s), 19u);
  EXPECT_EQ(DetectWindowsEdition(std::wstring(10000, L'W')), 0u);
}

TEST(ServicePack, NinetyFiveFamilyHexReadAsDecimal) {
  struct Row {
    std::int32_t iCsd;
    unsigned Level;
  } rows[] = {
      {0, 0},       {0x0099, 0},  {0x0100, 1},       {0x0199, 1},        {0x0300, 3},
      {0x0999, 9},  {0x1000, 10}, {0x12345678, 123456}, {0x99999999 - 0x100000000LL, 999999},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << r.iCsd);
    EXPECT_EQ(ServicePackLevelFromCsdVersion(r.iCsd), r.Level);
  }
}

TEST(ServicePack, HexLettersRaise) {
  for (std::int32_t iCsd : {0x000A, 0x0A00, 0xFFFF, 0x10000 | 0xB, -1}) {
    SCOPED_TRACE(testing::Message() << std::hex << iCsd);
    EXPECT_THROW(ServicePackLevelFromCsdVersion(iCsd), std::invalid_argument);
  }
}

TEST(ServicePack, TextNeverSaysSP0) {
  EXPECT_EQ(ServicePackText(0u), L"");
  EXPECT_EQ(ServicePackText(1u), L"SP1");
  EXPECT_EQ(ServicePackText(12u), L"SP12");
  EXPECT_EQ(ServicePackText(4294967295u), L"SP4294967295");
}

}  // namespace
}  // namespace sw
