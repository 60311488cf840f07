#include "sysquery/uRegistryUtils_win32.h"

namespace sw {

HKEY GetRootKey(TRootSelector aRoot) {
  switch (aRoot) {
    case rsLocalMachine: return HKEY_LOCAL_MACHINE;
    case rsClassesRoot: return HKEY_CLASSES_ROOT;
    default: return HKEY_CURRENT_USER;
  }
}
std::wstring RegReadString(TRootSelector, const std::wstring&, const std::wstring&, const std::wstring& sDefault) {
  return sDefault;
}
std::int32_t RegReadInteger(TRootSelector, const std::wstring&, const std::wstring&, std::int32_t iDefault) {
  return iDefault;
}
bool RegKeyExists(TRootSelector, const std::wstring&) { return false; }
std::wstring GetProductServerKey() { return L"\\CLSID\\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}\\LocalServer32"; }
std::wstring GetProductServerPath() { return L""; }

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
std::wstring TWinEnvironment::GetEnvVar(const std::wstring&) { return L""; }

}  // namespace sw
