#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sw {

// Registry value types as Windows numbers them.
inline constexpr std::uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4,
                               kRegMultiSz = 7, kRegQword = 11;

// The text of raw value data: REG_SZ or REG_EXPAND_SZ (unexpanded) only, up to the
// first zero character or the end of the data, whichever comes first. A trailing odd
// byte is not half a character and is dropped. nullopt for any other type.
std::optional<std::wstring> StringFromRegistryData(std::uint32_t dwType, const void* pData, std::size_t cbData);

// A REG_DWORD of exactly four bytes as a signed integer; nullopt otherwise.
std::optional<std::int32_t> DwordFromRegistryData(std::uint32_t dwType, const void* pData, std::size_t cbData);

// Removes one leading backslash: Windows refuses "\Software\..." as a subkey path.
std::wstring RegistryKeyPath(const std::wstring& sKey);

struct TGuid {
  std::uint32_t Data1;
  std::uint16_t Data2, Data3;
  std::uint8_t Data4[8];
};

// Registry form of a class identifier: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper case.
std::wstring GuidToRegistryText(const TGuid& aGuid);

// Class identifier of the product's COM local server.
inline constexpr TGuid kProductServerClsid = {0x5D3A9C41, 0x7E2B, 0x4F08,
                                              {0xA6, 0xC1, 0x93, 0xB4, 0xE0, 0x7D, 0x2F, 0x15}};

// \CLSID\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}\LocalServer32
std::wstring GetProductServerKey();

}  // namespace sw
