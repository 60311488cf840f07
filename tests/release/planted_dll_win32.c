/* A DLL planted beside the exe under a system DLL's name. Loading it leaves the
   marker file "<its own path>.loaded", holding the path of the exe that loaded it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved) {
  (void)pReserved;
  if (dwReason == DLL_PROCESS_ATTACH) {
    WCHAR sPath[MAX_PATH + 16];
    WCHAR sExe[MAX_PATH];
    DWORD n = GetModuleFileNameW(hInstance, sPath, MAX_PATH);
    DWORD nExe = GetModuleFileNameW(NULL, sExe, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    lstrcatW(sPath, L".loaded");
    HANDLE h = CreateFileW(sPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD cbWritten = 0;
      WriteFile(h, sExe, nExe * sizeof(WCHAR), &cbWritten, NULL);
      CloseHandle(h);
    }
  }
  return TRUE;
}
