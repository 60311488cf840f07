// Prints what the system query library answers in this process, one name=value line
// each (UTF-8), so that a test can read the answers under another Windows version
// (Wine reads the per-program version at process start) or another locale.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "sysquery/SystemQuery_win32.h"
#include "sysquery/Locale_win32.h"

namespace {

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return std::string();
  const int cb = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(cb > 0 ? cb : 0), '\0');
  if (cb > 0) ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), cb, nullptr, nullptr);
  return out;
}

void Put(const char* sName, const std::wstring& sValue) { std::printf("%s=%s\n", sName, Utf8(sValue).c_str()); }
void Put(const char* sName, unsigned long n) { std::printf("%s=%lu\n", sName, n); }

}  // namespace

int wmain() {
  using namespace sw;
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(&vi);
  Put("platform", vi.dwPlatformId);
  Put("major", vi.dwMajorVersion);
  Put("minor", vi.dwMinorVersion);
  Put("csd", vi.szCSDVersion);
  OSVERSIONINFOEXW ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  Put("extended", ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex)) ? 1 : 0);
  Put("producttype", ex.wProductType);
  Put("spmajor", ex.wServicePackMajor);
  Put("release", DetectWindowsRelease());
  Put("releasetext", WindowsReleaseText());
  try {
    Put("splevel", ServicePackLevel());
    Put("sptext", ServicePackText());
  } catch (const std::exception& e) {
    std::printf("spraise=%s\n", e.what());
  }
  Put("edition", DetectWindowsEdition());
  Put("editiontext", WindowsEditionText());
  Put("x64", RunsOn64BitWindows() ? 1 : 0);
  Put("computername", QueryComputerName());
  TWinLocale aLocale;
  Put("decimal", aLocale.DecimalSeparator());
  Put("clock", QueryCpuClockText());
  std::wstring sAdapter = L"-";
  std::uint32_t nSpeed = 0;
  if (GetNetworkAdapterSpeed(sAdapter, nSpeed)) sAdapter += L" " + std::to_wstring(nSpeed);
  Put("network", sAdapter);
  std::fflush(stdout);
  return 0;
}
