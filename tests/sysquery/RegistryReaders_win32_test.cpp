#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/SichtwerkProcess_win32.h"
#include "sysquery/RegistryScratch_win32.h"
#include "sysquery/uRegistryUtils_win32.h"

namespace sw {
namespace {

using test::TSavedValue;
using test::TScratchKey;

const std::wstring kScratch = test::UniqueName(L"Software\\SichtwerkTest-readers");

std::vector<BYTE> Utf16(const std::wstring& s) {
  std::vector<BYTE> a;
  for (wchar_t c : s) {
    a.push_back(static_cast<BYTE>(c & 0xFF));
    a.push_back(static_cast<BYTE>(c >> 8));
  }
  return a;
}

TEST(RootSelector, MapsOneByte) {
  EXPECT_EQ(GetRootKey(0), HKEY_CURRENT_USER);
  EXPECT_EQ(GetRootKey(1), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(GetRootKey(2), HKEY_CLASSES_ROOT);
  for (int i = 3; i < 256; ++i) EXPECT_EQ(GetRootKey(static_cast<TRootSelector>(i)), HKEY_CURRENT_USER) << i;
}

TEST(RegReadString, KeyPathsValueNamesAndDefaults) {
  TScratchKey key(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(key.Ok());
  ASSERT_EQ(key.SetString(L"Path", L"C:\\Albis"), ERROR_SUCCESS);
  ASSERT_EQ(key.SetString(L"", L"the default"), ERROR_SUCCESS);
  ASSERT_EQ(key.SetString(L"Empty", L""), ERROR_SUCCESS);

  struct Row {
    std::wstring sKey, sName;
    std::wstring sExpected;
  } rows[] = {
      {kScratch, L"Path", L"C:\\Albis"},
      {L"\\" + kScratch, L"Path", L"C:\\Albis"},        // leading backslash names the same key
      {kScratch + L"\\", L"Path", L"C:\\Albis"},
      {kScratch, L"", L"the default"},                  // empty name: the key's default value
      {kScratch, L"Empty", L""},
      {kScratch, L"Missing", L""},                      // missing value: "" even with a default
      {kScratch, L"path", L"C:\\Albis"},                // value names are case-insensitive
      {kScratch + L"\\Missing", L"Path", L"dflt"},      // missing key: the default
      {L"Software\\SichtwerkTest-never-there", L"", L"dflt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sKey + L" : " + r.sName));
    EXPECT_EQ(RegReadString(rsCurrentUser, r.sKey, r.sName, L"dflt"), r.sExpected);
  }
  // The root selector counts: the same path below HKLM does not exist.
  EXPECT_EQ(RegReadString(rsLocalMachine, kScratch, L"Path", L"dflt"), L"dflt");
  EXPECT_EQ(RegReadString(200, kScratch, L"Path", L"dflt"), L"C:\\Albis");
}

// Note for Windows: RegOpenKeyExW there refuses a subkey path that begins with a
// backslash, which Wine accepts; the readers remove one themselves, so the rows with
// a leading backslash above prove the same on both.

// The stored type and bytes, exactly as many as stored, reach the conversion (its rules
// are RegistryString's host test): nothing is added, expanded or transcoded on the way,
// and a value of 1 MB is read whole.
TEST(RegReadString, StoredDataReachesTheConversion) {
  TScratchKey key(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(key.Ok());
  std::vector<BYTE> aOdd = Utf16(L"Pr\x00FC" L"f");  // no terminator, a trailing odd byte
  aOdd.push_back('d');
  const std::wstring sBig(512 * 1024, L'x');
  const std::vector<BYTE> aText = Utf16(std::wstring(L"abc\0", 4));
  struct Row {
    const wchar_t* sName;
    DWORD dwType;
    std::vector<BYTE> aData;
    std::wstring sExpected;
  } rows[] = {
      {L"Odd", REG_SZ, aOdd, L"Pr\x00FC" L"f"},
      {L"Exp", REG_EXPAND_SZ, Utf16(std::wstring(L"%WINDIR%\\x\0", 11)), L"%WINDIR%\\x"},  // not expanded
      {L"NoBytes", REG_SZ, {}, L""},
      {L"Big", REG_SZ, Utf16(sBig), sBig},  // 1 MB, no terminator
      {L"Number", REG_DWORD, {42, 0, 0, 0}, L"dflt"},  // other types give the default
      {L"Binary", REG_BINARY, aText, L"dflt"},
      {L"Multi", REG_MULTI_SZ, Utf16(std::wstring(L"one\0two\0\0", 9)), L"dflt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sName));
    ASSERT_EQ(key.SetRaw(r.sName, r.dwType, r.aData.data(), static_cast<DWORD>(r.aData.size())), ERROR_SUCCESS);
    const std::wstring s = RegReadString(rsCurrentUser, kScratch, r.sName, L"dflt");
    EXPECT_EQ(s.size(), r.sExpected.size());
    EXPECT_TRUE(s == r.sExpected);
  }
}

// A REG_DWORD of four bytes, nothing else: longer values overrun the four-byte buffer
// (ERROR_MORE_DATA), shorter ones and other types are refused by the conversion.
TEST(RegReadInteger, OnlyFourByteDwords) {
  TScratchKey key(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(key.Ok());
  ASSERT_EQ(key.SetDword(L"MHz", 2400), ERROR_SUCCESS);
  ASSERT_EQ(key.SetDword(L"Minus", 0xFFFFFFFF), ERROR_SUCCESS);
  const BYTE a8[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(key.SetRaw(L"Dword8", REG_DWORD, a8, 8), ERROR_SUCCESS);
  ASSERT_EQ(key.SetRaw(L"Dword2", REG_DWORD, a8, 2), ERROR_SUCCESS);
  ASSERT_EQ(key.SetString(L"Tiny", L"a"), ERROR_SUCCESS);  // 4 bytes of REG_SZ
  struct Row {
    std::wstring sKey;
    const wchar_t* sName;
    std::int32_t iExpected;
  } rows[] = {
      {kScratch, L"MHz", 2400},     {kScratch, L"Minus", -1},   {kScratch, L"Dword8", -7},
      {kScratch, L"Dword2", -7},    {kScratch, L"Tiny", -7},    {kScratch, L"Missing", -7},
      {kScratch + L"\\No", L"MHz", -7}, {L"\\" + kScratch, L"MHz", 2400},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sName));
    EXPECT_EQ(RegReadInteger(rsCurrentUser, r.sKey, r.sName, -7), r.iExpected);
  }
}

TEST(RegKeyExists, ExistingMissingAndRoots) {
  TScratchKey parent(HKEY_CURRENT_USER, kScratch);
  TScratchKey key(HKEY_CURRENT_USER, kScratch + L"\\Sub");
  ASSERT_TRUE(key.Ok());
  EXPECT_TRUE(RegKeyExists(rsCurrentUser, kScratch));
  EXPECT_TRUE(RegKeyExists(rsCurrentUser, kScratch + L"\\Sub"));
  EXPECT_TRUE(RegKeyExists(rsCurrentUser, L"\\" + kScratch + L"\\Sub"));
  EXPECT_FALSE(RegKeyExists(rsCurrentUser, kScratch + L"\\Sub\\Not"));
  EXPECT_FALSE(RegKeyExists(rsLocalMachine, kScratch));
  EXPECT_TRUE(RegKeyExists(rsLocalMachine, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
  EXPECT_TRUE(RegKeyExists(rsClassesRoot, L"CLSID"));
  // Reading never creates: the missing key is still missing afterwards.
  HKEY h = nullptr;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (kScratch + L"\\Sub\\Not").c_str(), 0, KEY_READ, &h),
            ERROR_FILE_NOT_FOUND);
}

TEST(RegistryView, KeyOnlyInThe64BitViewIsMissing) {
  BOOL bWow64 = FALSE;
  if (!::IsWow64Process(::GetCurrentProcess(), &bWow64) || !bWow64) GTEST_SKIP() << "not a 32-bit process on 64-bit Windows";
  const std::wstring sOnly64 = test::UniqueName(L"SOFTWARE\\SichtwerkTest-view64");
  const std::wstring sOnly32 = test::UniqueName(L"SOFTWARE\\SichtwerkTest-view32");
  TScratchKey k64(HKEY_LOCAL_MACHINE, sOnly64, KEY_WOW64_64KEY);
  TScratchKey k32(HKEY_LOCAL_MACHINE, sOnly32);
  ASSERT_TRUE(k64.Ok());
  ASSERT_TRUE(k32.Ok());
  ASSERT_EQ(k64.SetString(L"Path", L"D:\\x64"), ERROR_SUCCESS);
  ASSERT_EQ(k64.SetDword(L"N", 64), ERROR_SUCCESS);
  ASSERT_EQ(k32.SetString(L"Path", L"D:\\x86"), ERROR_SUCCESS);
  // The key really is there in the 64-bit view...
  HKEY h = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, sOnly64.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h), ERROR_SUCCESS);
  ::RegCloseKey(h);
  // ...and the readers, asking for no view, see the 32-bit one.
  EXPECT_FALSE(RegKeyExists(rsLocalMachine, sOnly64));
  EXPECT_EQ(RegReadString(rsLocalMachine, sOnly64, L"Path", L"dflt"), L"dflt");
  EXPECT_EQ(RegReadInteger(rsLocalMachine, sOnly64, L"N", -1), -1);
  EXPECT_TRUE(RegKeyExists(rsLocalMachine, sOnly32));
  EXPECT_EQ(RegReadString(rsLocalMachine, sOnly32, L"Path", L"dflt"), L"D:\\x86");
}

TEST(GetEnvVar, SetUnsetEmptyAndLong) {
  TWinEnvironment env;
  ASSERT_TRUE(::SetEnvironmentVariableW(L"SW_TEST_ENV", L"C:\\Medistar"));
  EXPECT_EQ(env.GetEnvVar(L"SW_TEST_ENV"), L"C:\\Medistar");
  EXPECT_EQ(env.GetEnvVar(L"sw_test_env"), L"C:\\Medistar");
  const std::wstring sLong(32000, L'y');
  ASSERT_TRUE(::SetEnvironmentVariableW(L"SW_TEST_ENV", sLong.c_str()));
  EXPECT_EQ(env.GetEnvVar(L"SW_TEST_ENV"), sLong);
  ASSERT_TRUE(::SetEnvironmentVariableW(L"SW_TEST_ENV", nullptr));
  EXPECT_EQ(env.GetEnvVar(L"SW_TEST_ENV"), L"");
  EXPECT_EQ(env.GetEnvVar(L""), L"");
}

class ProductServerPath : public testing::Test {
 protected:
  const std::wstring sGuidKey = L"CLSID\\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}";
  void SetUp() override {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, sGuidKey.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
      ::RegCloseKey(h);
      GTEST_SKIP() << "the product is registered on this machine; its registration is left alone";
    }
    wchar_t sTemp[MAX_PATH];
    ASSERT_GT(::GetTempPathW(MAX_PATH, sTemp), 0u);
    sFolder = std::wstring(sTemp) + test::UniqueName(L"sw-server");
    ::CreateDirectoryW(sFolder.c_str(), nullptr);
    sFile = sFolder + L"\\Server.exe";
    HANDLE hFile = ::CreateFileW(sFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);
  }
  void TearDown() override {
    if (!sFile.empty()) ::DeleteFileW(sFile.c_str());
    if (!sFolder.empty()) ::RemoveDirectoryW(sFolder.c_str());
  }
  std::wstring sFolder, sFile;
};

TEST_F(ProductServerPath, OnlyABareExistingFileName) {
  EXPECT_EQ(GetProductServerPath(), L"");  // not registered
  {
    TScratchKey key(HKEY_CLASSES_ROOT, sGuidKey);  // key without LocalServer32
    ASSERT_TRUE(key.Ok());
    EXPECT_EQ(GetProductServerPath(), L"");
  }
  TScratchKey guid(HKEY_CLASSES_ROOT, sGuidKey);
  TScratchKey key(HKEY_CLASSES_ROOT, sGuidKey + L"\\LocalServer32");
  ASSERT_TRUE(key.Ok());
  struct Row {
    const char* sWhat;
    DWORD dwType;
    std::wstring sValue;
    std::wstring sExpected;
  } rows[] = {
      {"bare existing file", REG_SZ, sFile, sFile},
      {"expandable string, taken as it is", REG_EXPAND_SZ, sFile, sFile},
      {"quoted with a switch", REG_SZ, L"\"" + sFile + L"\" /automation", L""},
      {"quoted", REG_SZ, L"\"" + sFile + L"\"", L""},
      {"with a switch", REG_SZ, sFile + L" /automation", L""},
      {"a folder", REG_SZ, sFolder, L""},
      {"a missing file", REG_SZ, sFolder + L"\\Missing.exe", L""},
      {"empty", REG_SZ, L"", L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sWhat);
    ASSERT_EQ(key.SetString(L"", r.sValue, r.dwType), ERROR_SUCCESS);
    EXPECT_EQ(GetProductServerPath(), r.sExpected);
  }
  ASSERT_EQ(key.SetDword(L"", 1), ERROR_SUCCESS);
  EXPECT_EQ(GetProductServerPath(), L"");
}

}  // namespace
}  // namespace sw
