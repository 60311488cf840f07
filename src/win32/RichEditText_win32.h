#pragma once
#include <windows.h>

#include <string>

namespace sw {

// The whole text of a rich-edit control as it holds it: each paragraph ended by CR.
// "" for an empty control or one that answers nothing.
std::wstring RichEditText(HWND hRichEdit);

}  // namespace sw
