#include "app/AppInfo_win32.h"

#include "win32/UniqueHandle_win32.h"

namespace sw {

bool GroupsHaveAdministrators(const TOKEN_GROUPS& aGroups) {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID pAdmins = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &pAdmins))
    return false;
  TSid admins(pAdmins);
  // Attributes are not looked at: a deny-only group (UAC's filtered token) counts.
  for (DWORD i = 0; i < aGroups.GroupCount; ++i)
    if (aGroups.Groups[i].Sid && ::EqualSid(aGroups.Groups[i].Sid, admins.get())) return true;
  return false;
}

bool TokenHasAdministrators(HANDLE hToken) {
  // One fixed buffer: a group list that does not fit counts as no membership.
  alignas(TOKEN_GROUPS) BYTE buffer[1024];
  DWORD cbNeeded = 0;
  if (!::GetTokenInformation(hToken, TokenGroups, buffer, sizeof(buffer), &cbNeeded)) return false;
  return GroupsHaveAdministrators(*reinterpret_cast<const TOKEN_GROUPS*>(buffer));
}

bool IsAdministrator() {
  HANDLE hToken = nullptr;
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &hToken)) {
    if (::GetLastError() != ERROR_NO_TOKEN) return false;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken)) return false;
  }
  THandleOwner token(hToken);
  return TokenHasAdministrators(token.get());
}

}  // namespace sw
