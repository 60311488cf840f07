#pragma once
#include <windows.h>

#include "win32/UniqueHandle_win32.h"

namespace sw {

// Call once at program start: takes the current folder out of the DLL search
// (SetDllDirectoryW(L""), looked up at run time). The process's default search order
// is otherwise left alone: the program's own DLLs are restricted per call, by
// LoadSystemLibrary.
void RemoveCurrentFolderFromDllSearch();

// Loads a DLL from the Windows system directory by its bare name ("msftedit.dll"),
// by full path, with LOAD_LIBRARY_SEARCH_SYSTEM32 where Windows knows the flag (see
// win32/SystemDllLoad.h). Empty when it cannot be loaded.
TModule LoadSystemLibrary(const wchar_t* sName);

// The address of an export cast to the function type, nullptr when missing.
template <typename TFn>
TFn GetProc(HMODULE hModule, const char* sName) {
  if (!hModule) return nullptr;
  return reinterpret_cast<TFn>(reinterpret_cast<void*>(::GetProcAddress(hModule, sName)));
}

}  // namespace sw
