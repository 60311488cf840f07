#pragma once
#include <windows.h>

#include <string>

#include "share/ShareFrames.h"

namespace sw {

// Empties the clipboard and puts sText on it as CF_UNICODETEXT and sCfHtml (UTF-8) as
// "HTML Format", owned by hOwner; the clipboard is closed again on return. Both blocks
// are made before the clipboard is opened, so that Busy and NoMemory leave it as it
// was. While another program holds it open, it is tried again for about a second.
// Failed carries GetLastError of the step that failed; the clipboard may then be empty.
TClipboardResult PutTextAndHtmlOnClipboard(HWND hOwner, const std::wstring& sText, const std::string& sCfHtml);

// ShellExecuteW(hOwner, "open", sUrl) with shell32 loaded now from the system folder
// (imported, it would be mapped at every start). Its own result: above 32 when a program
// took the URL, SE_ERR_NOASSOC when none is registered for it; 0 when shell32 or the
// function could not be had.
INT_PTR OpenWithShell(HWND hOwner, const std::wstring& sUrl);

}  // namespace sw
