#pragma once
#include <windows.h>

#include "win32/UniqueHandle_win32.h"

namespace sw {

// Call once at program start, before any DLL is loaded at run time: DLLs then come
// from the system directory only, never from the exe's folder or the current one.
void RestrictDllSearchToSystem();

// Loads a DLL from the Windows system directory by its bare name ("msftedit.dll").
// Empty when it cannot be loaded.
TModule LoadSystemLibrary(const wchar_t* sName);

// The address of an export cast to the function type, nullptr when missing.
template <typename TFn>
TFn GetProc(HMODULE hModule, const char* sName) {
  if (!hModule) return nullptr;
  return reinterpret_cast<TFn>(reinterpret_cast<void*>(::GetProcAddress(hModule, sName)));
}

}  // namespace sw
