#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/Locale.h"
#include "sysquery/Hardware.h"

namespace sw {

// Machine identity, memory, processor, display and network queries of the running PC.
// Each catches its own errors and returns the fallback named here; only ServicePackText
// (through ServicePackLevel on the 9x family) may raise.

// "" when the name does not fit the 16-character buffer or the call fails.
std::wstring QueryComputerName();

// Release code 0..18 (0: not in the table) and its English text ("" for 0).
unsigned DetectWindowsRelease();
std::wstring WindowsReleaseText();

// Edition code 0..25 from the registry's ProductName, and its text ("" for 0).
unsigned DetectWindowsEdition();
std::wstring WindowsEditionText();

// Major service-pack number, 0 when unknown. Raises on a 9x CSDVersion whose
// hexadecimal form is not all decimal digits.
unsigned ServicePackLevel();
// "SP<n>" or "" for level 0.
std::wstring ServicePackText();

// GetNativeSystemInfo when kernel32 has it (true), else GetSystemInfo (false).
bool QueryNativeSystemInfo(SYSTEM_INFO& aInfo);
// True when this (32-bit) process runs under WOW64.
bool RunsOn64BitWindows();
// True when the process token is elevated (TokenElevation, Vista and later); false on
// Windows XP, whose administrators have no split token, and on any failure.
bool RunsElevated();

// Free physical memory in MB as decimal text, "???" on failure.
std::wstring QueryFreeRamMB();
// "<n> MHz" below 1024 MHz, "<x,yy> GHz" above (user's decimal separator), "???".
std::wstring QueryCpuClockText();
std::wstring QueryCpuClockText(ILocale& aLocale);
// Identifier of the first processor, "???" without the processor key.
std::wstring QueryCpuIdentifier();
// Text for the screen's bits per pixel (see ColorDepthText).
std::wstring QueryColorDepthText();
// Width and height of the primary screen in real pixels (see ScreenSize).
int QueryScreenWidth();
int QueryScreenHeight();

// The screen as Windows tells it; ScreenSize picks from it.
class TWinScreenApi : public IScreenApi {
 public:
  bool CurrentMode(std::uint32_t& nWidth, std::uint32_t& nHeight) override;
  int MetricsWidth() override { return ::GetSystemMetrics(SM_CXSCREEN); }
  int MetricsHeight() override { return ::GetSystemMetrics(SM_CYSCREEN); }
};
// "" on failure.
std::wstring QueryWindowsDirectory();

// The fastest qualifying network adapter. On false both outputs are left untouched.
bool GetNetworkAdapterSpeed(std::wstring& sDescription, std::uint32_t& nSpeed);

}  // namespace sw
