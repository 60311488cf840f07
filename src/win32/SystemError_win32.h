#pragma once
#include <windows.h>

#include <string>

namespace sw {

// The system's own text for an error code (FormatMessage, in the user's language, as
// the system gives it), "" when it has none.
std::wstring SystemErrorText(DWORD dwError);

}  // namespace sw
