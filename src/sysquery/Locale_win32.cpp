#include "sysquery/Locale_win32.h"

#include <windows.h>

#include <climits>

namespace sw {

namespace {
std::wstring LocaleInfo(LCTYPE aType, const wchar_t* sFallback) {
  wchar_t buf[16];
  const int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, aType, buf, 16);
  if (n <= 1) return sFallback;
  return std::wstring(buf, static_cast<std::size_t>(n - 1));
}

SYSTEMTIME ToSystemTime(const TLocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.Year);
  st.wMonth = static_cast<WORD>(t.Month);
  st.wDay = static_cast<WORD>(t.Day);
  st.wHour = static_cast<WORD>(t.Hour);
  st.wMinute = static_cast<WORD>(t.Minute);
  st.wSecond = static_cast<WORD>(t.Second);
  return st;
}
}  // namespace

std::wstring TWinLocale::DecimalSeparator() { return LocaleInfo(LOCALE_SDECIMAL, L"."); }
std::wstring TWinLocale::ThousandSeparator() { return LocaleInfo(LOCALE_STHOUSAND, L","); }

std::wstring TWinLocale::FormatShortDate(const TLocalTime& aTime) {
  const SYSTEMTIME st = ToSystemTime(aTime);
  wchar_t buf[80];
  const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 80);
  return n > 1 ? std::wstring(buf, static_cast<std::size_t>(n - 1)) : std::wstring();
}

std::wstring TWinLocale::FormatLongTime(const TLocalTime& aTime) {
  const SYSTEMTIME st = ToSystemTime(aTime);
  wchar_t buf[80];
  const int n = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 80);
  return n > 1 ? std::wstring(buf, static_cast<std::size_t>(n - 1)) : std::wstring();
}

std::string TWinCodePage::ToAnsi(const std::wstring& s) {
  if (s.empty() || s.size() > INT_MAX / 4) return std::string();
  const int cch = static_cast<int>(s.size());
  const int cb = ::WideCharToMultiByte(CP_ACP, 0, s.data(), cch, nullptr, 0, nullptr, nullptr);
  if (cb <= 0) return std::string();
  std::string out(static_cast<std::size_t>(cb), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, s.data(), cch, out.data(), cb, nullptr, nullptr);
  return out;
}

std::wstring TWinCodePage::FromAnsi(const std::string& s) {
  if (s.empty() || s.size() > INT_MAX) return std::wstring();
  const int cb = static_cast<int>(s.size());
  const int cch = ::MultiByteToWideChar(CP_ACP, 0, s.data(), cb, nullptr, 0);
  if (cch <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s.data(), cb, out.data(), cch);
  return out;
}

}  // namespace sw
