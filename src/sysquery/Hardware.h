#pragma once
#include <cstdint>
#include <string>

namespace sw {

// Free memory (bytes, as GlobalMemoryStatus's 32-bit dwAvailPhys) in whole megabytes,
// a half going to the even neighbour: 1.5 MB gives 2, 2.5 MB gives 2.
std::wstring FreeRamMBText(std::uint32_t nAvailPhysBytes);

// Processor clock text from the registry's ~MHz: "???" for 0 or less, "<n> MHz" below
// 1024, else MHz / 1024 with two decimals, sDecimalSeparator and " GHz". The second
// decimal is rounded half away from zero on the exact value (1152 MHz: "1,13 GHz").
std::wstring CpuClockText(std::int32_t iMHz, const std::wstring& sDecimalSeparator);

// Colour-depth text for the screen's bits per pixel. Depths without a text of their
// own give "<n>-Bit" (e.g. "15-Bit"); 0 or less (GetDeviceCaps failed) gives "???".
std::wstring ColorDepthText(int nBitsPerPixel);

}  // namespace sw
