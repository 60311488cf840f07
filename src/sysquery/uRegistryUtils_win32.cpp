#include "sysquery/uRegistryUtils_win32.h"

#include <cstring>
#include <vector>

#include "win32/UniqueHandle_win32.h"

namespace sw {

namespace {

// Windows refuses a subkey path with a leading backslash (Wine accepts it), so one is
// removed before every open.
LONG OpenKey(HKEY hRoot, const std::wstring& sKey, REGSAM aAccess, TRegKey& hKey) {
  const std::wstring sPath = RegistryKeyPath(sKey);
  HKEY h = nullptr;
  const LONG r = ::RegOpenKeyExW(hRoot, sPath.c_str(), 0, aAccess, &h);
  if (r == ERROR_SUCCESS) hKey.reset(h);
  return r;
}

// The narrower rights let a user read keys whose ACL refuses the full KEY_READ.
TRegKey OpenKeyForReading(TRootSelector aRoot, const std::wstring& sKey) {
  const REGSAM aAttempts[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                              KEY_QUERY_VALUE};
  TRegKey hKey;
  for (REGSAM aAccess : aAttempts)
    if (OpenKey(GetRootKey(aRoot), sKey, aAccess, hKey) == ERROR_SUCCESS) break;
  return hKey;
}

enum class TValueRead { Read, NotThere, Failed };

// Reads a value of an open key whole: its type and bytes. NotThere when the first
// query fails (a missing value); Failed when the value is there but cannot be read.
TValueRead ReadValueData(HKEY hKey, const std::wstring& sName, DWORD& dwType, std::vector<BYTE>& aData) {
  DWORD cbData = 0;
  LONG r = ::RegQueryValueExW(hKey, sName.c_str(), nullptr, &dwType, nullptr, &cbData);
  if (r != ERROR_SUCCESS) return TValueRead::NotThere;
  // The value may grow between the two calls; a few rounds settle that.
  for (int iAttempt = 0; iAttempt < 4; ++iAttempt) {
    // Two spare zero bytes, so no reader of the buffer ever runs off its end.
    aData.assign(static_cast<std::size_t>(cbData) + 2, 0);
    DWORD cbRead = cbData;
    r = ::RegQueryValueExW(hKey, sName.c_str(), nullptr, &dwType, aData.data(), &cbRead);
    if (r == ERROR_MORE_DATA) {
      cbData = cbRead;
      continue;
    }
    if (r != ERROR_SUCCESS) return TValueRead::Failed;
    aData.resize(cbRead);
    return TValueRead::Read;
  }
  return TValueRead::Failed;
}

// Reads a string value of an open key. "" when the value is missing or empty;
// nullopt when it cannot be read or is not REG_SZ / REG_EXPAND_SZ.
std::optional<std::wstring> ReadStringValue(HKEY hKey, const std::wstring& sName) {
  DWORD dwType = 0;
  std::vector<BYTE> aData;
  switch (ReadValueData(hKey, sName, dwType, aData)) {
    case TValueRead::NotThere: return std::wstring();
    case TValueRead::Failed: return std::nullopt;
    case TValueRead::Read: break;
  }
  if (aData.empty()) return std::wstring();
  return StringFromRegistryData(dwType, aData.data(), aData.size());
}

}  // namespace

bool IsExistingFile(const std::wstring& sPath) {
  if (sPath.empty()) return false;
  const DWORD dwAttr = ::GetFileAttributesW(sPath.c_str());
  return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HKEY GetRootKey(TRootSelector aRoot) {
  switch (aRoot) {
    case rsLocalMachine: return HKEY_LOCAL_MACHINE;
    case rsClassesRoot: return HKEY_CLASSES_ROOT;
    default: return HKEY_CURRENT_USER;
  }
}

std::wstring RegReadString(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                           const std::wstring& sDefault) {
  try {
    TRegKey hKey = OpenKeyForReading(aRoot, sKey);
    if (!hKey) return sDefault;
    // A value of another type is a failed lookup: the default, as for an unopened key.
    return ReadStringValue(hKey.get(), sName).value_or(sDefault);
  } catch (...) {
    return sDefault;
  }
}

bool RegReadSzData(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName, std::wstring& sData) {
  try {
    TRegKey hKey = OpenKeyForReading(aRoot, sKey);
    DWORD dwType = REG_NONE;
    std::vector<BYTE> aData;
    if (!hKey || ReadValueData(hKey.get(), sName, dwType, aData) != TValueRead::Read || dwType != REG_SZ) return false;
    sData.assign(aData.size() / sizeof(wchar_t), L'\0');
    if (!sData.empty()) std::memcpy(sData.data(), aData.data(), sData.size() * sizeof(wchar_t));
    return true;
  } catch (...) {
    return false;
  }
}

std::int32_t RegReadInteger(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                            std::int32_t iDefault) {
  try {
    TRegKey hKey = OpenKeyForReading(aRoot, sKey);
    if (!hKey) return iDefault;
    BYTE aData[4] = {0, 0, 0, 0};
    DWORD dwType = 0, cbData = sizeof aData;
    // A value longer than four bytes gives ERROR_MORE_DATA and so the default.
    if (::RegQueryValueExW(hKey.get(), sName.c_str(), nullptr, &dwType, aData, &cbData) != ERROR_SUCCESS)
      return iDefault;
    return DwordFromRegistryData(dwType, aData, cbData).value_or(iDefault);
  } catch (...) {
    return iDefault;
  }
}

bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) {
  try {
    TRegKey hKey;
    return OpenKey(GetRootKey(aRoot), sKey, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, hKey) ==
           ERROR_SUCCESS;
  } catch (...) {
    return false;
  }
}

std::wstring ProductServerRegistration() {
  try {
    const std::wstring sKey = GetProductServerKey();
    TRegKey hKey;
    if (OpenKey(HKEY_CLASSES_ROOT, sKey, KEY_READ, hKey) != ERROR_SUCCESS) return std::wstring();
    // Taken verbatim: a quoted name or one with switches is no file name.
    return ReadStringValue(hKey.get(), L"").value_or(L"");
  } catch (...) {
    return std::wstring();
  }
}

std::wstring GetProductServerPath() {
  try {
    const std::wstring sPath = ProductServerRegistration();
    return IsExistingFile(sPath) ? sPath : std::wstring();
  } catch (...) {
    return std::wstring();
  }
}

std::wstring TWinRegistryReader::RegReadString(TRootSelector aRoot, const std::wstring& sKey,
                                               const std::wstring& sName, const std::wstring& sDefault) {
  return sw::RegReadString(aRoot, sKey, sName, sDefault);
}

std::int32_t TWinRegistryReader::RegReadInteger(TRootSelector aRoot, const std::wstring& sKey,
                                                const std::wstring& sName, std::int32_t iDefault) {
  return sw::RegReadInteger(aRoot, sKey, sName, iDefault);
}

bool TWinRegistryReader::RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) {
  return sw::RegKeyExists(aRoot, sKey);
}

std::wstring TWinEnvironment::GetEnvVar(const std::wstring& sName) {
  try {
    const DWORD cchNeeded = ::GetEnvironmentVariableW(sName.c_str(), nullptr, 0);
    if (cchNeeded == 0) return std::wstring();
    std::wstring sValue(cchNeeded - 1, L'\0');
    const DWORD cchCopied = ::GetEnvironmentVariableW(sName.c_str(), sValue.data(), cchNeeded);
    // Anything but a complete copy (the variable changed in between) counts as unset.
    if (cchCopied == 0 || cchCopied >= cchNeeded) return std::wstring();
    sValue.resize(cchCopied);
    return sValue;
  } catch (...) {
    return std::wstring();
  }
}

}  // namespace sw
