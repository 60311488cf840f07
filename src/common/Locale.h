#pragma once
#include <string>

namespace sw {

struct TLocalTime {
  int Year = 2000, Month = 1, Day = 1;
  int Hour = 0, Minute = 0, Second = 0;
};

// The user's number and date settings (GetLocaleInfoW and friends on Windows).
class ILocale {
 public:
  virtual ~ILocale() = default;
  virtual std::wstring DecimalSeparator() = 0;
  virtual std::wstring ThousandSeparator() = 0;
  virtual std::wstring FormatShortDate(const TLocalTime& aTime) = 0;
  virtual std::wstring FormatLongTime(const TLocalTime& aTime) = 0;
};

// Conversion between the tool's UTF-16 texts and the system's ANSI code page.
class ICodePage {
 public:
  virtual ~ICodePage() = default;
  // Characters the code page lacks become the system's replacement character.
  virtual std::string ToAnsi(const std::wstring& s) = 0;
  virtual std::wstring FromAnsi(const std::string& s) = 0;
};

}  // namespace sw
