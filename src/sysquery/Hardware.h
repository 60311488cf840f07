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

// The two ways Windows tells the primary screen's size.
class IScreenApi {
 public:
  virtual ~IScreenApi() = default;
  // The primary display's current mode (EnumDisplaySettingsW with ENUM_CURRENT_SETTINGS);
  // false when it cannot be read, the outputs then undefined.
  virtual bool CurrentMode(std::uint32_t& nWidth, std::uint32_t& nHeight) = 0;
  // GetSystemMetrics with SM_CXSCREEN and SM_CYSCREEN.
  virtual int MetricsWidth() = 0;
  virtual int MetricsHeight() = 0;
};

struct TScreenSize {
  int nWidth = 0;
  int nHeight = 0;
};

// The primary screen in real pixels: its current mode. GetSystemMetrics answers a
// program that is not DPI-aware in scaled pixels at raised display scaling (1920 x 1080
// at 150 % gives 1280 x 720), so it is only the fallback, for a mode that cannot be
// read or that holds no size.
TScreenSize ScreenSize(IScreenApi& aApi);

}  // namespace sw
