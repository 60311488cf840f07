/* A stand-in mailto: handler for the tests: registered as the command of
   HKCR\mailto\shell\open\command ("<this exe>" "%1"), it writes the URL it receives,
   as UTF-8, to the file named by SW_MAILTO_RECORD (overwritten per call) and ends. It
   never opens a mail program. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

int WINAPI wWinMain(HINSTANCE hInst, HINSTANCE hPrev, LPWSTR pCmdLine, int nShow) {
  wchar_t sPath[MAX_PATH * 2];
  int nArgs = 0;
  LPWSTR* pArgs;
  char* pUtf8;
  int cb;
  FILE* f;
  (void)hInst, (void)hPrev, (void)pCmdLine, (void)nShow;
  if (!GetEnvironmentVariableW(L"SW_MAILTO_RECORD", sPath, MAX_PATH * 2)) return 2;
  pArgs = CommandLineToArgvW(GetCommandLineW(), &nArgs);
  if (!pArgs || nArgs < 2) return 3;
  cb = WideCharToMultiByte(CP_UTF8, 0, pArgs[1], -1, NULL, 0, NULL, NULL);
  pUtf8 = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cb);
  if (!pUtf8) return 4;
  WideCharToMultiByte(CP_UTF8, 0, pArgs[1], -1, pUtf8, cb, NULL, NULL);
  /* Written to a side name and renamed: the test never reads half a URL. */
  {
    wchar_t sPart[MAX_PATH * 2 + 8];
    swprintf(sPart, MAX_PATH * 2 + 8, L"%ls.part", sPath);
    f = _wfopen(sPart, L"wb");
    if (!f) return 5;
    fwrite(pUtf8, 1, (size_t)(cb - 1), f);
    fclose(f);
    if (!MoveFileExW(sPart, sPath, MOVEFILE_REPLACE_EXISTING)) return 6;
  }
  return 0;
}
