#include "common/VersionResource.h"

namespace sw {

namespace {
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;  // VS_FIXEDFILEINFO: thirteen DWORDs
// wLength, wValueLength and wType, then L"VS_VERSION_INFO" with its NUL (32 bytes),
// padded to the next DWORD: the fixed part starts at byte 40.
constexpr std::size_t kKeyAt = 6;
constexpr std::size_t kFixedAt = 40;
constexpr char16_t kKey[] = u"VS_VERSION_INFO";

std::uint32_t Word(std::span<const unsigned char> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t Dword(std::span<const unsigned char> b, std::size_t at) { return Word(b, at) | (Word(b, at + 2) << 16); }
}  // namespace

std::wstring VersionText(std::uint32_t dwVersionMS, std::uint32_t dwVersionLS) {
  return std::to_wstring(dwVersionMS >> 16) + L"." + std::to_wstring(dwVersionMS & 0xFFFF) + L"." +
         std::to_wstring(dwVersionLS >> 16) + L"." + std::to_wstring(dwVersionLS & 0xFFFF);
}

std::wstring FileVersionTextOfResource(std::span<const unsigned char> aBlock) {
  if (aBlock.size() < kFixedAt + kFixedSize) return L"";
  const std::size_t cbBlock = Word(aBlock, 0);
  if (cbBlock < kFixedAt + kFixedSize || cbBlock > aBlock.size() || Word(aBlock, 2) < kFixedSize) return L"";
  for (std::size_t i = 0; i < std::size(kKey); ++i)
    if (Word(aBlock, kKeyAt + 2 * i) != static_cast<std::uint32_t>(kKey[i])) return L"";
  if (Dword(aBlock, kFixedAt) != kFixedSignature) return L"";
  return VersionText(Dword(aBlock, kFixedAt + 8), Dword(aBlock, kFixedAt + 12));
}

}  // namespace sw
