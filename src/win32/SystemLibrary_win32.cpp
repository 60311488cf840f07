#include "win32/SystemLibrary_win32.h"

#include <string>

#include "win32/SystemDllLoad.h"

namespace sw {

namespace {
HMODULE Kernel32() { return ::GetModuleHandleW(L"kernel32.dll"); }
}  // namespace

void RemoveCurrentFolderFromDllSearch() {
  // From XP SP1 and Server 2003 SP1 on.
  using TSetDllDirectory = BOOL(WINAPI*)(LPCWSTR);
  if (auto fn = GetProc<TSetDllDirectory>(Kernel32(), "SetDllDirectoryW")) fn(L"");
}

TModule LoadSystemLibrary(const wchar_t* sName) {
  wchar_t sDir[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(sDir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TModule();
  // A full path: the exe's folder is never searched for the DLL itself, even where
  // the flag is unknown.
  std::wstring sPath(sDir, n);
  sPath += L'\\';
  sPath += sName;
  // Microsoft's test for the LOAD_LIBRARY_SEARCH_* flags.
  const bool bSearchFlagsKnown = ::GetProcAddress(Kernel32(), "AddDllDirectory") != nullptr;
  for (TSystemDllLoad how = FirstSystemDllLoad(bSearchFlagsKnown); how != TSystemDllLoad::None;) {
    // Without the flag, LOAD_WITH_ALTERED_SEARCH_PATH starts the search for the DLL's
    // own imports in its folder, the system folder.
    const DWORD dwFlags =
        how == TSystemDllLoad::SearchSystem32 ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH;
    if (HMODULE h = ::LoadLibraryExW(sPath.c_str(), nullptr, dwFlags)) return TModule(h);
    how = NextSystemDllLoad(how, ::GetLastError());
  }
  return TModule();
}

}  // namespace sw
