#pragma once
#include "common/Locale.h"

namespace sw {

// The user's locale (LOCALE_USER_DEFAULT), read afresh at every call.
class TWinLocale : public ILocale {
 public:
  std::wstring DecimalSeparator() override;
  std::wstring ThousandSeparator() override;
  std::wstring FormatShortDate(const TLocalTime& aTime) override;
  std::wstring FormatLongTime(const TLocalTime& aTime) override;
};

// The system's ANSI code page (CP_ACP).
class TWinCodePage : public ICodePage {
 public:
  std::string ToAnsi(const std::wstring& s) override;
  std::wstring FromAnsi(const std::string& s) override;
};

}  // namespace sw
