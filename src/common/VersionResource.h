#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace sw {

// "a.b.c.d" from the two halves of a fixed file version (dwFileVersionMS/LS).
std::wstring VersionText(std::uint32_t dwVersionMS, std::uint32_t dwVersionLS);

// The file version text of a version resource as a module stores it (the root
// VS_VERSIONINFO block with its VS_FIXEDFILEINFO); "" when the block holds none.
std::wstring FileVersionTextOfResource(std::span<const unsigned char> aBlock);

}  // namespace sw
