#include "sysquery/RegistryValue.h"

#include <cstdio>
#include <cstring>

namespace sw {

std::optional<std::wstring> StringFromRegistryData(std::uint32_t dwType, const void* pData, std::size_t cbData) {
  if (dwType != kRegSz && dwType != kRegExpandSz) return std::nullopt;
  std::wstring s;
  if (!pData) return s;
  const std::size_t nChars = cbData / 2;
  const auto* p = static_cast<const std::uint8_t*>(pData);
  s.reserve(nChars);
  for (std::size_t i = 0; i < nChars; ++i) {
    // Byte-wise: the data need not be aligned for a 16-bit read.
    const wchar_t c = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

std::optional<std::int32_t> DwordFromRegistryData(std::uint32_t dwType, const void* pData, std::size_t cbData) {
  if (dwType != kRegDword || cbData != 4 || !pData) return std::nullopt;
  std::uint32_t n;
  std::memcpy(&n, pData, 4);
  return static_cast<std::int32_t>(n);
}

std::wstring RegistryKeyPath(const std::wstring& sKey) {
  if (!sKey.empty() && sKey[0] == L'\\') return sKey.substr(1);
  return sKey;
}

std::wstring GuidToRegistryText(const TGuid& g) {
  char s[40];
  std::snprintf(s, sizeof s, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return std::wstring(s, s + std::strlen(s));
}

std::wstring GetProductServerKey() {
  return L"\\CLSID\\" + GuidToRegistryText(kProductServerClsid) + L"\\LocalServer32";
}

}  // namespace sw
