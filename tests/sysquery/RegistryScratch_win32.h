#pragma once
// Registry helpers of the Windows tests: scratch keys that are removed again, values of
// fixed system paths saved and put back, and a dump of a subtree for before/after
// comparisons.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace sw::test {

inline std::wstring Hex(const BYTE* p, DWORD cb) {
  std::wstring s;
  wchar_t b[4];
  for (DWORD i = 0; i < cb; ++i) {
    std::swprintf(b, 4, L"%02X", p[i]);
    s += b;
  }
  return s;
}

// A key created for one test and deleted with everything below it at the end.
class TScratchKey {
 public:
  TScratchKey(HKEY hRoot, std::wstring sPath, REGSAM aView = 0) : FhRoot(hRoot), FsPath(std::move(sPath)), FaView(aView) {
    Remove();
    DWORD dwDisp = 0;
    FbOk = ::RegCreateKeyExW(FhRoot, FsPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | FaView, nullptr, &Fh, &dwDisp) ==
           ERROR_SUCCESS;
  }
  ~TScratchKey() {
    if (Fh) ::RegCloseKey(Fh);
    Remove();
  }
  TScratchKey(const TScratchKey&) = delete;
  TScratchKey& operator=(const TScratchKey&) = delete;

  bool Ok() const { return FbOk; }
  HKEY Key() const { return Fh; }
  const std::wstring& Path() const { return FsPath; }

  LONG SetRaw(const wchar_t* sName, DWORD dwType, const void* pData, DWORD cbData) {
    return ::RegSetValueExW(Fh, sName, 0, dwType, static_cast<const BYTE*>(pData), cbData);
  }
  LONG SetString(const wchar_t* sName, const std::wstring& s, DWORD dwType = REG_SZ) {
    return SetRaw(sName, dwType, s.c_str(), static_cast<DWORD>((s.size() + 1) * sizeof(wchar_t)));
  }
  LONG SetDword(const wchar_t* sName, DWORD n) { return SetRaw(sName, REG_DWORD, &n, 4); }

 private:
  void Remove() {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(FhRoot, FsPath.c_str(), 0, KEY_ALL_ACCESS | FaView, &h) == ERROR_SUCCESS) {
      ::RegDeleteTreeW(h, nullptr);
      ::RegCloseKey(h);
      ::RegDeleteKeyExW(FhRoot, FsPath.c_str(), FaView, 0);
    }
  }
  HKEY FhRoot;
  std::wstring FsPath;
  REGSAM FaView;
  HKEY Fh = nullptr;
  bool FbOk = false;
};

// One value of a fixed path, put back exactly (or removed again) at the end. The key
// itself is created when missing and then removed again if it stays empty.
class TSavedValue {
 public:
  TSavedValue(HKEY hRoot, std::wstring sPath, std::wstring sName)
      : FhRoot(hRoot), FsPath(std::move(sPath)), FsName(std::move(sName)) {
    FbKeyExisted = ::RegOpenKeyExW(FhRoot, FsPath.c_str(), 0, KEY_READ, &Fh) == ERROR_SUCCESS;
    if (FbKeyExisted) {
      ::RegCloseKey(Fh);
      Fh = nullptr;
    }
    FbOk = ::RegCreateKeyExW(FhRoot, FsPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Fh, nullptr) ==
           ERROR_SUCCESS;
    if (!FbOk) return;
    DWORD cb = 0;
    if (::RegQueryValueExW(Fh, FsName.c_str(), nullptr, &FdwType, nullptr, &cb) == ERROR_SUCCESS) {
      FaData.emplace(cb);
      ::RegQueryValueExW(Fh, FsName.c_str(), nullptr, &FdwType, FaData->data(), &cb);
      FaData->resize(cb);
    }
  }
  ~TSavedValue() {
    if (!Fh) return;
    if (FaData)
      ::RegSetValueExW(Fh, FsName.c_str(), 0, FdwType, FaData->data(), static_cast<DWORD>(FaData->size()));
    else
      ::RegDeleteValueW(Fh, FsName.c_str());
    DWORD nSubKeys = 0, nValues = 0;
    ::RegQueryInfoKeyW(Fh, nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, &nValues, nullptr, nullptr,
                       nullptr, nullptr);
    ::RegCloseKey(Fh);
    if (!FbKeyExisted && nSubKeys == 0 && nValues == 0) ::RegDeleteKeyW(FhRoot, FsPath.c_str());
  }
  TSavedValue(const TSavedValue&) = delete;
  TSavedValue& operator=(const TSavedValue&) = delete;

  bool Ok() const { return FbOk; }
  bool Existed() const { return FaData.has_value(); }
  LONG SetRaw(DWORD dwType, const void* pData, DWORD cbData) {
    return ::RegSetValueExW(Fh, FsName.c_str(), 0, dwType, static_cast<const BYTE*>(pData), cbData);
  }
  LONG SetString(const std::wstring& s) {
    return SetRaw(REG_SZ, s.c_str(), static_cast<DWORD>((s.size() + 1) * sizeof(wchar_t)));
  }
  LONG SetDword(DWORD n) { return SetRaw(REG_DWORD, &n, 4); }
  LONG Delete() { return ::RegDeleteValueW(Fh, FsName.c_str()); }

 private:
  HKEY FhRoot;
  std::wstring FsPath, FsName;
  HKEY Fh = nullptr;
  bool FbOk = false, FbKeyExisted = false;
  DWORD FdwType = 0;
  std::optional<std::vector<BYTE>> FaData;
};

// Removes a key at the end that did not exist at the start and is empty by then, so
// that parents created along the way (RegCreateKeyExW makes them) do not stay behind.
class TKeyGuard {
 public:
  TKeyGuard(HKEY hRoot, std::wstring sPath) : FhRoot(hRoot), FsPath(std::move(sPath)) {
    HKEY h = nullptr;
    FbExisted = ::RegOpenKeyExW(FhRoot, FsPath.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS;
    if (h) ::RegCloseKey(h);
  }
  ~TKeyGuard() {
    HKEY h = nullptr;
    if (FbExisted || ::RegOpenKeyExW(FhRoot, FsPath.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    DWORD nSubKeys = 0, nValues = 0;
    ::RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, &nValues, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(h);
    if (nSubKeys == 0 && nValues == 0) ::RegDeleteKeyW(FhRoot, FsPath.c_str());
  }
  TKeyGuard(const TKeyGuard&) = delete;
  TKeyGuard& operator=(const TKeyGuard&) = delete;

 private:
  HKEY FhRoot;
  std::wstring FsPath;
  bool FbExisted = false;
};

// Every key, value and last-write time below sPath, as text. "<missing>" for no key.
inline std::wstring DumpKey(HKEY hRoot, const std::wstring& sPath, int nDepth = 8) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(hRoot, sPath.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return sPath + L" <missing>\n";
  std::wstring s;
  FILETIME ft{};
  DWORD nSubKeys = 0, nValues = 0, cchMaxSub = 0, cchMaxValue = 0, cbMaxData = 0;
  ::RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &nSubKeys, &cchMaxSub, nullptr, &nValues, &cchMaxValue, &cbMaxData,
                     nullptr, &ft);
  wchar_t sTime[40];
  std::swprintf(sTime, 40, L" @%08lX%08lX\n", ft.dwHighDateTime, ft.dwLowDateTime);
  s += sPath + sTime;
  std::vector<wchar_t> aName(cchMaxValue + 2);
  std::vector<BYTE> aData(cbMaxData + 2);
  for (DWORD i = 0; i < nValues; ++i) {
    DWORD cchName = static_cast<DWORD>(aName.size()), cbData = static_cast<DWORD>(aData.size()), dwType = 0;
    if (::RegEnumValueW(h, i, aName.data(), &cchName, nullptr, &dwType, aData.data(), &cbData) != ERROR_SUCCESS)
      continue;
    s += L"  " + std::wstring(aName.data(), cchName) + L" " + std::to_wstring(dwType) + L" " +
         Hex(aData.data(), cbData) + L"\n";
  }
  if (nDepth > 0) {
    std::vector<wchar_t> aSub(cchMaxSub + 2);
    for (DWORD i = 0; i < nSubKeys; ++i) {
      DWORD cch = static_cast<DWORD>(aSub.size());
      if (::RegEnumKeyExW(h, i, aSub.data(), &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
      s += DumpKey(hRoot, sPath + L"\\" + std::wstring(aSub.data(), cch), nDepth - 1);
    }
  }
  ::RegCloseKey(h);
  return s;
}

inline std::wstring UniqueName(const wchar_t* sPrefix) {
  return std::wstring(sPrefix) + L"-" + std::to_wstring(::GetCurrentProcessId());
}

}  // namespace sw::test
