#include "win32/SystemLibrary_win32.h"

#include <string>

namespace sw {

void RestrictDllSearchToSystem() {
  // SetDefaultDllDirectories exists from Windows 7 with KB2533623 on; looked up at run
  // time so that the program still starts where it is missing.
  using TSetDefault = BOOL(WINAPI*)(DWORD);
  auto fn = GetProc<TSetDefault>(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (fn) fn(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current directory never takes part in the search.
  ::SetDllDirectoryW(L"");
}

TModule LoadSystemLibrary(const wchar_t* sName) {
  wchar_t sDir[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(sDir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TModule();
  // A full path: the exe's folder is never searched, even without
  // LOAD_LIBRARY_SEARCH_SYSTEM32 support.
  std::wstring sPath(sDir, n);
  sPath += L'\\';
  sPath += sName;
  HMODULE h = ::LoadLibraryExW(sPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return TModule(h);
}

}  // namespace sw
