// The shipped executable's headers and resources, read from the file itself and
// cross-checked with what Windows' own loader and version APIs report.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "common/ProgramIcon_win32.h"
#include "release/PeImage.h"
#include "win32/SystemLibrary_win32.h"

namespace {

// The file under test: SW_PE_FILE when set (a release build), else the Sichtwerk.exe
// beside this test program.
std::wstring ExeUnderTest() {
  wchar_t sBuf[MAX_PATH * 2];
  const DWORD n = ::GetEnvironmentVariableW(L"SW_PE_FILE", sBuf, MAX_PATH * 2);
  if (n > 0 && n < MAX_PATH * 2) return sBuf;
  const DWORD m = ::GetModuleFileNameW(nullptr, sBuf, MAX_PATH * 2);
  std::wstring s(sBuf, m);
  return s.substr(0, s.find_last_of(L'\\') + 1) + L"Sichtwerk.exe";
}

std::vector<std::uint8_t> ReadAll(const std::wstring& sPath) {
  std::ifstream f(sPath.c_str(), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {});
}

class PeHeaders : public testing::Test {
 protected:
  void SetUp() override {
    FsPath = ExeUnderTest();
    std::string sWhy;
    FImage = std::make_unique<swtest::TPeImage>(ReadAll(FsPath));
    ASSERT_TRUE(FImage->Parse(sWhy)) << sWhy;
  }
  std::wstring FsPath;
  std::unique_ptr<swtest::TPeImage> FImage;
};

TEST_F(PeHeaders, ThirtyTwoBitGuiWithAslrNxAndLargeAddresses) {
  const auto& pe = *FImage;
  EXPECT_EQ(0x14C, pe.Machine);
  EXPECT_EQ(0x10B, pe.OptionalMagic);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, pe.Subsystem);
  EXPECT_TRUE(pe.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
  EXPECT_TRUE(pe.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
  EXPECT_FALSE(pe.Characteristics & IMAGE_FILE_DLL);
  EXPECT_TRUE(pe.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
  EXPECT_TRUE(pe.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
  // Without it a Remote Desktop session host gives the program the user's private
  // Windows folder, and with it maybe the profile's drive as the Windows drive.
  EXPECT_TRUE(pe.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
  // Dynamic base is worthless without relocations: older MinGW linkers dropped them
  // from executables even with --dynamicbase.
  EXPECT_FALSE(pe.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
  EXPECT_NE(0u, pe.DirRva[IMAGE_DIRECTORY_ENTRY_BASERELOC]);
  EXPECT_GT(pe.DirSize[IMAGE_DIRECTORY_ENTRY_BASERELOC], 8u);
}

TEST_F(PeHeaders, NoTimeStampAnywhere) {
  EXPECT_EQ(0u, FImage->TimeDateStamp);
  // The resource tree's root and, for the version and the manifest each, a name and a
  // language directory: every directory holds a stamp.
  ASSERT_GE(FImage->EmbeddedTimeStamps.size(), 5u + FImage->DebugEntries) << "no resource directory was read";
  for (std::size_t i = 0; i < FImage->EmbeddedTimeStamps.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "resource directory or debug entry " << i);
    EXPECT_EQ(0u, FImage->EmbeddedTimeStamps[i]);
  }
}

// DLLs the loader always takes from the system directory (KnownDLLs on every Windows
// from 7 on), and comctl32, which the manifest binds to the system's side-by-side
// assembly. Anything else must be loaded at run time by full path.
TEST_F(PeHeaders, ImportsOnlyKnownSystemDlls) {
  const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                         "comdlg32.dll", "msvcrt.dll", "shell32.dll", "ole32.dll",
                                         "oleaut32.dll", "shlwapi.dll", "comctl32.dll"};
  ASSERT_FALSE(FImage->ImportedDlls.empty());
  bool bKernel32 = false;
  for (std::string s : FImage->ImportedDlls) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    SCOPED_TRACE(s);
    EXPECT_TRUE(allowed.count(s)) << "imported from a DLL that could be planted";
    bKernel32 |= s == "kernel32.dll";
  }
  EXPECT_TRUE(bKernel32);
  EXPECT_TRUE(FImage->DelayImportedDlls.empty()) << FImage->DelayImportedDlls.front();
}

// Windows XP SP3 is the oldest Windows the program starts on, and its loader refuses an
// image that imports one function XP lacks. What XP exports is the test program's
// resource 2, tests/release/WindowsXpExports.txt, with how each entry was checked.
TEST_F(PeHeaders, ImportsOnlyWhatWindowsXpExports) {
  HRSRC hRes = ::FindResourceW(nullptr, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(10));
  ASSERT_NE(nullptr, hRes) << "the list of Windows XP exports is not built in";
  const char* p = static_cast<const char*>(::LockResource(::LoadResource(nullptr, hRes)));
  ASSERT_NE(nullptr, p);
  auto Lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
  };
  std::set<std::string> known;
  std::istringstream list(std::string(p, ::SizeofResource(nullptr, hRes)));
  for (std::string sLine; std::getline(list, sLine);) {
    std::istringstream fields(sLine);
    std::string sDll, sFunction;
    if (!(fields >> sDll >> sFunction) || sDll[0] == '#') continue;
    known.insert(Lower(sDll) + "!" + sFunction);
  }
  ASSERT_GT(known.size(), 100u);
  ASSERT_FALSE(FImage->ImportedFunctions.empty());
  for (const auto& [sDll, sFunction] : FImage->ImportedFunctions) {
    EXPECT_TRUE(known.count(Lower(sDll) + "!" + sFunction))
        << sDll << "!" << sFunction << " is not on the list of what Windows XP SP3 exports";
  }
}

TEST_F(PeHeaders, ManifestAsInvokerWithCommonControls6) {
  int nManifests = 0;
  for (const auto& r : FImage->Resources) nManifests += r.nType == 24;
  EXPECT_EQ(1, nManifests);
  const auto* r = FImage->FindResource(24, 1);
  ASSERT_NE(nullptr, r) << "no manifest as resource 1 of type 24";
  const std::string s(r->aData.begin(), r->aData.end());
  EXPECT_NE(std::string::npos, s.find("level=\"asInvoker\""));
  EXPECT_NE(std::string::npos, s.find("uiAccess=\"false\""));
  const auto at = s.find("name=\"Microsoft.Windows.Common-Controls\"");
  ASSERT_NE(std::string::npos, at);
  const auto end = s.find("/>", at);
  EXPECT_NE(std::string::npos, s.substr(at, end - at).find("version=\"6.0.0.0\""));

  // The loader finds the same bytes.
  sw::TModule hExe(::LoadLibraryExW(FsPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(hExe.get()) << ::GetLastError();
  HRSRC hRes = ::FindResourceW(hExe.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(nullptr, hRes);
  EXPECT_EQ(r->aData.size(), ::SizeofResource(hExe.get(), hRes));
  const void* p = ::LockResource(::LoadResource(hExe.get(), hRes));
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, std::memcmp(p, r->aData.data(), r->aData.size()));
}

// Explorer shows the first icon group: five sizes, 32 bits with alpha; 256 pixels as a
// PNG (RGBA), the smaller ones as bitmaps. The loader builds icons from them.
TEST_F(PeHeaders, IconGroupOfFiveSizesIn32BitFirst) {
  const swtest::TPeImage::TResource* pGroup = nullptr;
  for (const auto& r : FImage->Resources)
    if (r.nType == 14 && !pGroup) pGroup = &r;
  ASSERT_NE(nullptr, pGroup) << "no icon group";
  EXPECT_EQ(1u, pGroup->nId);
  const auto& g = pGroup->aData;
  ASSERT_GE(g.size(), 6u);
  auto U16 = [](const std::uint8_t* p) { return static_cast<unsigned>(p[0] | p[1] << 8); };
  auto U32 = [&](const std::uint8_t* p) { return U16(p) | U16(p + 2) << 16; };
  auto Be32 = [](const std::uint8_t* p) { return static_cast<unsigned>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]); };
  EXPECT_EQ(1u, U16(&g[2])) << "not an icon directory";
  const unsigned nCount = U16(&g[4]);
  ASSERT_EQ(g.size(), 6 + 14 * nCount);
  std::set<unsigned> sizes;
  for (unsigned i = 0; i < nCount; ++i) {
    const std::uint8_t* e = &g[6 + 14 * i];
    const unsigned nSize = e[0] ? e[0] : 256;
    SCOPED_TRACE(testing::Message() << nSize << " pixels");
    sizes.insert(nSize);
    EXPECT_EQ(nSize, e[1] ? e[1] : 256u);
    EXPECT_EQ(32u, U16(e + 6));
    const auto* pImage = FImage->FindResource(3, U16(e + 12));
    ASSERT_NE(nullptr, pImage);
    const auto& d = pImage->aData;
    ASSERT_EQ(U32(e + 8), d.size());
    ASSERT_GE(d.size(), 40u);
    if (d[0] == 0x89 && d[1] == 'P') {
      EXPECT_EQ(nSize, Be32(&d[16]));
      EXPECT_EQ(nSize, Be32(&d[20]));
      EXPECT_EQ(8, d[24]) << "bits per channel";
      EXPECT_EQ(6, d[25]) << "RGBA";
    } else {
      EXPECT_EQ(nSize, U32(&d[4]));
      EXPECT_EQ(2 * nSize, U32(&d[8])) << "colour and mask";
      EXPECT_EQ(32u, U16(&d[14]));
      // Alpha in use: transparent corners, an opaque middle.
      ASSERT_GE(d.size(), 40 + 4 * nSize * nSize);
      EXPECT_EQ(0, d[40 + 3]);
      EXPECT_EQ(255, d[40 + 4 * (nSize * nSize / 2 + nSize / 2) + 3]);
    }
  }
  EXPECT_EQ((std::set<unsigned>{16, 24, 32, 48, 256}), sizes);

  sw::TModule hExe(::LoadLibraryExW(FsPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(hExe.get()) << ::GetLastError();
  for (int nSize : {16, 256}) {
    sw::test::TIconOwner hIcon(
        static_cast<HICON>(::LoadImageW(hExe.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, nSize, nSize, 0)), &::DestroyIcon);
    ASSERT_TRUE(hIcon) << nSize;
    int w = 0, h = 0;
    EXPECT_FALSE(sw::test::IconPixels(hIcon.get(), w, h).empty());
    EXPECT_EQ(nSize, w);
    EXPECT_EQ(nSize, h);
  }
}

TEST_F(PeHeaders, VersionResource) {
  const auto* r = FImage->FindResource(16, 1);
  ASSERT_NE(nullptr, r) << "no version resource";
  // VS_FIXEDFILEINFO follows the L"VS_VERSION_INFO" key, aligned to 4 bytes.
  const auto& d = r->aData;
  const std::uint8_t sig[] = {0xBD, 0x04, 0xEF, 0xFE};
  const auto at = std::search(d.begin(), d.end(), std::begin(sig), std::end(sig));
  ASSERT_NE(d.end(), at);
  VS_FIXEDFILEINFO fixed;
  ASSERT_LE(static_cast<std::size_t>(at - d.begin()) + sizeof fixed, d.size());
  std::memcpy(&fixed, &*at, sizeof fixed);
  EXPECT_EQ(0x00030000u, fixed.dwFileVersionMS);
  EXPECT_EQ(0x0000000Du, fixed.dwFileVersionLS);
  EXPECT_EQ(0x00030000u, fixed.dwProductVersionMS);
  EXPECT_EQ(0x00000000u, fixed.dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed.dwFileType);
  EXPECT_EQ(0u, fixed.dwFileDateMS);
  EXPECT_EQ(0u, fixed.dwFileDateLS);

  // The same through the version API, as the program's caption reads it.
  sw::TModule hVersion = sw::LoadSystemLibrary(L"version.dll");
  ASSERT_TRUE(hVersion.get());
  using TSize = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using TInfo = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using TQuery = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  auto pSize = sw::GetProc<TSize>(hVersion.get(), "GetFileVersionInfoSizeW");
  auto pInfo = sw::GetProc<TInfo>(hVersion.get(), "GetFileVersionInfoW");
  auto pQuery = sw::GetProc<TQuery>(hVersion.get(), "VerQueryValueW");
  ASSERT_TRUE(pSize && pInfo && pQuery);
  DWORD dwHandle = 0xdeadbeef;
  const DWORD cbInfo = pSize(FsPath.c_str(), &dwHandle);
  ASSERT_GT(cbInfo, 0u);
  EXPECT_EQ(0u, dwHandle);
  std::vector<std::uint8_t> info(cbInfo + 64, 0xbd);
  ASSERT_TRUE(pInfo(FsPath.c_str(), 0, cbInfo, info.data()));
  EXPECT_EQ(0xbd, info[cbInfo]) << "GetFileVersionInfoW wrote past the size it asked for";

  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT cb = 0;
  ASSERT_TRUE(pQuery(info.data(), L"\\", reinterpret_cast<void**>(&pFixed), &cb));
  ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), cb);
  EXPECT_EQ(0, std::memcmp(pFixed, &fixed, sizeof fixed));

  struct {
    const wchar_t* sKey;
    const wchar_t* sValue;
  } const rows[] = {
      {L"\\StringFileInfo\\040704E4\\FileVersion", L"3.0.0.13"},
      {L"\\StringFileInfo\\040704E4\\ProductVersion", L"3.0.0.0"},
      {L"\\StringFileInfo\\040704E4\\OriginalFilename", L"Sichtwerk.exe"},
      {L"\\StringFileInfo\\040704E4\\LegalCopyright", L"Copyright \u00a9 2026 Sichtwerk"},
      {L"\\StringFileInfo\\040704E4\\Comments",
       L"Pr\u00fcft, ob dieser PC f\u00fcr ein Arztinformationssystem geeignet ist. Installiert nichts und "
       L"\u00e4ndert keine Einstellungen des PCs."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(row.sKey)));
    wchar_t* p = nullptr;
    UINT cch = 0;
    ASSERT_TRUE(pQuery(info.data(), row.sKey, reinterpret_cast<void**>(&p), &cch));
    EXPECT_EQ(std::wstring(row.sValue), std::wstring(p));
  }
  WORD* pTrans = nullptr;
  ASSERT_TRUE(pQuery(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pTrans), &cb));
  ASSERT_EQ(4u, cb) << "exactly one translation";
  EXPECT_EQ(0x0407, pTrans[0]);
  EXPECT_EQ(1252, pTrans[1]);
}

}  // namespace
