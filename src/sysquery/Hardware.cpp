#include "sysquery/Hardware.h"

#include <cmath>
#include <cstdint>

namespace sw {

std::wstring FreeRamMBText(std::uint32_t nAvailPhysBytes) {
  const double dMB = static_cast<double>(static_cast<std::uint64_t>(nAvailPhysBytes)) / 1024.0 / 1024.0;
  double dWhole = std::floor(dMB);
  const double dFrac = dMB - dWhole;
  if (dFrac > 0.5 || (dFrac == 0.5 && std::fmod(dWhole, 2.0) != 0.0)) dWhole += 1.0;
  return std::to_wstring(static_cast<std::uint64_t>(dWhole));
}

std::wstring CpuClockText(std::int32_t iMHz, const std::wstring& sDecimalSeparator) {
  if (iMHz <= 0) return L"???";
  if (iMHz < 1024) return std::to_wstring(iMHz) + L" MHz";
  // Hundredths of a GHz: MHz * 100 / 1024 = MHz * 25 / 256, rounded in integers so that
  // the result does not hang on the C runtime's printf.
  const std::int64_t n = static_cast<std::int64_t>(iMHz) * 25;
  std::int64_t nHundredths = n / 256;
  if (n % 256 >= 128) ++nHundredths;
  const std::int64_t nFrac = nHundredths % 100;
  return std::to_wstring(nHundredths / 100) + sDecimalSeparator + (nFrac < 10 ? L"0" : L"") +
         std::to_wstring(nFrac) + L" GHz";
}

std::wstring ColorDepthText(int nBitsPerPixel) {
  switch (nBitsPerPixel) {
    case 4: return L"4-Bit, 16 Colors";
    case 8: return L"8-Bit, 256 Colors";
    case 16: return L"16-Bit, high Color";
    case 24: return L"24-Bit, true Color";
    case 32: return L"32-Bit, true Color";
    default:
      if (nBitsPerPixel <= 0) return L"???";
      return std::to_wstring(nBitsPerPixel) + L"-Bit";
  }
}

TScreenSize ScreenSize(IScreenApi& aApi) {
  std::uint32_t nWidth = 0, nHeight = 0;
  const auto fits = [](std::uint32_t n) { return n > 0 && n <= static_cast<std::uint32_t>(INT32_MAX); };
  if (aApi.CurrentMode(nWidth, nHeight) && fits(nWidth) && fits(nHeight))
    return {static_cast<int>(nWidth), static_cast<int>(nHeight)};
  return {aApi.MetricsWidth(), aApi.MetricsHeight()};
}

}  // namespace sw
