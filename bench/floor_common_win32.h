#pragma once
// What the floors of the start benchmark share: a DLL from the system folder only, and
// the class of the floor's window.
#include <windows.h>

inline constexpr wchar_t kFloorClassName[] = L"TFloorForm";

inline HMODULE LoadFromSystem(const wchar_t* sName) {
  wchar_t sPath[MAX_PATH];
  const UINT cchDir = GetSystemDirectoryW(sPath, MAX_PATH);
  if (cchDir == 0 || cchDir + lstrlenW(sName) + 2 >= MAX_PATH) return nullptr;
  lstrcatW(sPath, L"\\");
  lstrcatW(sPath, sName);
  return LoadLibraryW(sPath);
}

// The class of the floor's window; wc is left filled in for classes of its own.
inline bool RegisterFloorClass(HINSTANCE hInstance, WNDPROC fnProc, WNDCLASSEXW& wc) {
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = fnProc;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFloorClassName;
  return RegisterClassExW(&wc) != 0;
}
