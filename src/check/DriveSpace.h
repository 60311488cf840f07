#pragma once
#include <string>

namespace sw {

// A whole number with the locale's thousands separator, as "%.0n" prints it: rounded
// half away from zero, groups of three digits, no sign on a value that rounds to 0.
std::wstring FormatWholeNumber(double dValue, const std::wstring& sThousandSeparator);

}  // namespace sw
