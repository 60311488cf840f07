#pragma once
#include <string>
#include <vector>

#include "report/InfoItem.h"

// The second way for a mail no mail program took through Simple MAPI: the letter and
// report on the clipboard, as text and as HTML, and a new mail opened through the
// system's "mailto:" handler, into which the user pastes them.

namespace sw {

// The short body of that new mail: the report itself never goes into the URL, mail
// handlers cut long ones.
inline constexpr const wchar_t* kMailToBody =
    L"Bitte fügen Sie hier mit Strg+V die Informationen von Sichtwerk aus der Zwischenablage ein.";

// Every character except A-Z a-z 0-9 - . _ ~ as %XX of its UTF-8 bytes, upper-case hex;
// a blank becomes %20, never '+'.
std::wstring PercentEncode(const std::wstring& sText);

// "mailto:" URL: the address, then subject and body as header fields. Every part is
// percent-encoded; only the address keeps its '@', which separates its two halves.
// An empty address gives "mailto:?subject=...".
std::wstring MailToUrl(const std::wstring& sTo, const std::wstring& sSubject, const std::wstring& sBody);

// The text with every line ended by CR LF (a lone CR or LF becomes CR LF).
std::wstring ClipboardText(const std::wstring& sText);

// A Windows colour (0x00BBGGRR) as HTML's "#RRGGBB".
std::string HtmlColor(TColor aColor);

// The text as HTML, in UTF-8: one block per line in its colour, blanks kept. The
// colours belong to the text's last lines (the report closes the mail); the lines
// before them are black.
std::string MailHtmlFragment(const std::wstring& sText, const std::vector<TColor>& aLastLineColors);

// The clipboard's "HTML Format": the description header, whose offsets count bytes
// from the start of the whole, and a document around the fragment.
std::string CfHtml(const std::string& sFragment);

}  // namespace sw
