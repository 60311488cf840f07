#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "share/ShareFrames.h"

namespace sw {

// Empties the clipboard and puts sText on it as CF_UNICODETEXT and sCfHtml (UTF-8) as
// "HTML Format", owned by hOwner; the clipboard is closed again on return. Both blocks
// are made before the clipboard is opened, so that Busy and NoMemory leave it as it
// was. While another program holds it open, it is tried again for about a second.
// Failed carries GetLastError of the step that failed; the clipboard may then be empty.
TClipboardResult PutTextAndHtmlOnClipboard(HWND hOwner, const std::wstring& sText, const std::string& sCfHtml);

using TShellExecuteExW = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
// ShellExecuteExW "open" on sUrl with SEE_MASK_FLAG_NO_UI, so that Windows shows no
// "open with" picker or error box of its own; shell32 is loaded now from the system
// folder (imported, it would be mapped at every start). True when a program took the
// URL; false when none did or shell32 could not be had. fnShellExecuteEx: the function
// to call instead of shell32's (tests).
bool OpenWithShell(HWND hOwner, const std::wstring& sUrl, TShellExecuteExW fnShellExecuteEx = nullptr);

}  // namespace sw
