#include <windows.h>

#include <vector>

#include "app/MainForm_win32.h"
#include "sysquery/win32/SystemLibrary.h"

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

std::wstring GetFileVersionText(const std::wstring& sFileName) {
  using TSize = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using TInfo = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using TQuery = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  static TModule version = LoadSystemLibrary(L"version.dll");
  const auto pSize = GetProc<TSize>(version.get(), "GetFileVersionInfoSizeW");
  const auto pInfo = GetProc<TInfo>(version.get(), "GetFileVersionInfoW");
  const auto pQuery = GetProc<TQuery>(version.get(), "VerQueryValueW");
  if (!pSize || !pInfo || !pQuery) return L"";

  DWORD dwHandle = 0;
  const DWORD cbInfo = pSize(sFileName.c_str(), &dwHandle);
  if (cbInfo == 0) return L"";
  std::vector<BYTE> info(cbInfo);
  if (!pInfo(sFileName.c_str(), 0, cbInfo, info.data())) return L"";
  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT cbFixed = 0;
  if (!pQuery(info.data(), L"\\", reinterpret_cast<LPVOID*>(&pFixed), &cbFixed) || !pFixed ||
      cbFixed < sizeof(VS_FIXEDFILEINFO))
    return L"";
  return std::to_wstring(HIWORD(pFixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(pFixed->dwFileVersionMS)) +
         L"." + std::to_wstring(HIWORD(pFixed->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(pFixed->dwFileVersionLS));
}

std::wstring GetToolVersion() {
  // Long paths: grow the buffer until the name fits.
  std::wstring sPath(MAX_PATH, L'\0');
  for (;;) {
    const DWORD cch = ::GetModuleFileNameW(nullptr, sPath.data(), static_cast<DWORD>(sPath.size()));
    if (cch == 0) return L"";
    if (cch < sPath.size()) {
      sPath.resize(cch);
      break;
    }
    if (sPath.size() >= 32768) return L"";
    sPath.resize(sPath.size() * 2);
  }
  return GetFileVersionText(sPath);
}

}  // namespace sw
