#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "sysquery/RegistryReader.h"
#include "sysquery/RegistryValue.h"  // GetProductServerKey

namespace sw {

// Read-only registry access. Nothing here creates a key or asks for write access, and
// no 64-bit view flag is passed: a 32-bit process sees the 32-bit view. None raises.

// 1 = HKEY_LOCAL_MACHINE, 2 = HKEY_CLASSES_ROOT, everything else HKEY_CURRENT_USER.
HKEY GetRootKey(TRootSelector aRoot);

// The REG_SZ / REG_EXPAND_SZ value up to its first zero; "" when the value is missing
// or empty; sDefault when the key does not open or the value cannot be read or is of
// another type. An empty name reads the key's default value.
std::wstring RegReadString(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                           const std::wstring& sDefault);
// The REG_DWORD value (exactly four bytes) as signed; iDefault otherwise.
std::int32_t RegReadInteger(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                            std::int32_t iDefault);
bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey);
// A REG_SZ value exactly as stored, every code unit and zero included (an odd last
// byte dropped); false when the key or value is missing or the value is of any other
// type, REG_EXPAND_SZ included.
bool RegReadSzData(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName, std::wstring& sData);

// \CLSID\{...}\LocalServer32 of the product's COM local server.
std::wstring GetProductServerKey();
// The registered server's file name as it stands, "" when it cannot be read.
std::wstring ProductServerRegistration();
// The registered server's file name when a file of exactly that name exists, else "".
std::wstring GetProductServerPath();
// True for an existing file (not a folder); GetFileAttributesW, which touches its drive.
bool IsExistingFile(const std::wstring& sPath);

class TWinRegistryReader : public IRegistryReader {
 public:
  std::wstring RegReadString(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                             const std::wstring& sDefault) override;
  std::int32_t RegReadInteger(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                              std::int32_t iDefault) override;
  bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) override;
};

// GetEnvironmentVariableW; "" when the variable is not set.
class TWinEnvironment : public IEnvironment {
 public:
  std::wstring GetEnvVar(const std::wstring& sName) override;
};

}  // namespace sw
