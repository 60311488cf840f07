#pragma once
#include <cstdint>
#include <string>

namespace sw {

// What the release decision needs to know about the running system, gathered by the
// Windows side (GetVersionExW, SM_SERVERR2, GetNativeSystemInfo, kernel32's version).
struct TVersionRecord {
  std::uint32_t PlatformId = 0;  // 1 = 95/98/ME family, 2 = NT family
  std::uint32_t Major = 0;
  std::uint32_t Minor = 0;
  std::wstring CsdText;              // szCSDVersion, already trimmed (Trim)
  std::uint32_t KernelVersion = 0;   // 9x only: major << 16 | minor of kernel32.dll
  bool bServerR2 = false;            // GetSystemMetrics(SM_SERVERR2) != 0
  std::uint16_t NativeArchitecture = 0;  // wProcessorArchitecture, 0 = x86
  bool bExtendedOk = false;          // the extended GetVersionExW succeeded
  std::uint8_t ProductType = 0;      // wProductType, 1 = workstation
};

inline constexpr unsigned kReleaseCount = 19;  // codes 0..18
inline constexpr unsigned kEditionCount = 26;  // codes 0..25

// Release code 0..18 for the record; 0 outside the table.
unsigned DetectWindowsRelease(const TVersionRecord& aVersion);
// Text of a release code; codes 6..9 carry the minor version ("Windows NT 3.51").
std::wstring WindowsReleaseText(unsigned aRelease, std::uint32_t aMinor);

// Edition code 0..25 for a ProductName; 0 outside the table.
unsigned DetectWindowsEdition(const std::wstring& sProductName);
std::wstring WindowsEditionText(unsigned aEdition);

// The 9x-family service pack from the integer CSDVersion of the registry: its
// hexadecimal form (at least four digits) read back as decimal, divided by 100.
// Throws std::invalid_argument when that form holds a digit A..F.
unsigned ServicePackLevelFromCsdVersion(std::int32_t iCsdVersion);
// "SP<n>" for a level above 0, else "".
std::wstring ServicePackText(unsigned aLevel);

}  // namespace sw
