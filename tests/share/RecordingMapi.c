/* A stand-in MAPI32.DLL for the tests: MAPISendMail writes what it was handed to the
   file named by SW_MAPI_RECORD (overwritten per call) and returns SW_MAPI_RESULT
   (0 when unset). SW_MAPI_RESULT may list codes for the calls one after another
   ("0,2,1": the first call succeeds, the second fails, the third and every later one
   is cancelled), so that one running program can meet each. It never opens a mail
   program. */
#include <windows.h>
#include <mapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HMODULE g_hSelf;
static ULONG g_nCalls;

BOOL WINAPI DllMain(HINSTANCE hInst, DWORD dwReason, LPVOID pReserved) {
  (void)pReserved;
  if (dwReason == DLL_PROCESS_ATTACH) g_hSelf = hInst;
  return TRUE;
}

static BOOL CALLBACK CountEnabled(HWND hwnd, LPARAM lParam) {
  if (IsWindowEnabled(hwnd)) ++*(int*)lParam;
  return TRUE;
}

static BOOL CALLBACK CountAll(HWND hwnd, LPARAM lParam) {
  (void)hwnd;
  ++*(int*)lParam;
  return TRUE;
}

static void PutText(FILE* f, const char* sKey, const char* s) {
  if (!s) {
    fprintf(f, "%s=(null)\n", sKey);
  } else {
    /* Length first: the text may hold CR LF and any byte. */
    fprintf(f, "%s[%u]=", sKey, (unsigned)strlen(s));
    fwrite(s, 1, strlen(s), f);
    fputc('\n', f);
  }
}

/* The code for call number nCall (1, 2, ...) from a list "a,b,c"; the last one stays. */
static ULONG ResultOfCall(const char* sList, ULONG nCall) {
  ULONG nResult = strtoul(sList, NULL, 10);
  const char* p = sList;
  ULONG i;
  for (i = 1; i < nCall; ++i) {
    p = strchr(p, ',');
    if (!p) break;
    ++p;
    nResult = strtoul(p, NULL, 10);
  }
  return nResult;
}

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                                lpMapiMessage lpMessage, FLAGS flFlags,
                                                ULONG ulReserved) {
  char sPath[MAX_PATH * 2];
  char sModule[MAX_PATH];
  char sResult[256];
  ULONG nResult;
  int nEnabled = 0, nWindows = 0;
  FILE* f;
  ++g_nCalls;
  /* Read afresh from the process: the test changes it between calls. */
  {
    const DWORD n = GetEnvironmentVariableA("SW_MAPI_RESULT", sResult, sizeof(sResult));
    nResult = n && n < sizeof(sResult) ? ResultOfCall(sResult, g_nCalls) : 0;
  }
  if (!GetEnvironmentVariableA("SW_MAPI_RECORD", sPath, sizeof(sPath))) return nResult;
  f = fopen(sPath, "wb");
  if (!f) return nResult;
  GetModuleFileNameA(g_hSelf, sModule, sizeof(sModule));
  EnumThreadWindows(GetCurrentThreadId(), CountEnabled, (LPARAM)&nEnabled);
  EnumThreadWindows(GetCurrentThreadId(), CountAll, (LPARAM)&nWindows);
  fprintf(f, "module=%s\n", sModule);
  fprintf(f, "calls=%lu\n", (unsigned long)g_nCalls);
  fprintf(f, "session=%lu\n", (unsigned long)lhSession);
  fprintf(f, "uiparam=%lu\n", (unsigned long)ulUIParam);
  fprintf(f, "flags=%lu\n", (unsigned long)flFlags);
  fprintf(f, "reserved=%lu\n", (unsigned long)ulReserved);
  fprintf(f, "windows=%d\nenabled=%d\n", nWindows, nEnabled);
  if (lpMessage) {
    ULONG i;
    fprintf(f, "msgreserved=%lu\n", (unsigned long)lpMessage->ulReserved);
    PutText(f, "subject", lpMessage->lpszSubject);
    PutText(f, "body", lpMessage->lpszNoteText);
    PutText(f, "type", lpMessage->lpszMessageType);
    PutText(f, "date", lpMessage->lpszDateReceived);
    PutText(f, "conversation", lpMessage->lpszConversationID);
    fprintf(f, "msgflags=%lu\n", (unsigned long)lpMessage->flFlags);
    fprintf(f, "originator=%s\n", lpMessage->lpOriginator ? "set" : "(null)");
    fprintf(f, "recips=%lu\n", (unsigned long)lpMessage->nRecipCount);
    fprintf(f, "lprecips=%s\n", lpMessage->lpRecips ? "set" : "(null)");
    for (i = 0; lpMessage->lpRecips && i < lpMessage->nRecipCount; ++i) {
      const MapiRecipDesc* r = &lpMessage->lpRecips[i];
      fprintf(f, "class=%lu\n", (unsigned long)r->ulRecipClass);
      PutText(f, "name", r->lpszName);
      PutText(f, "address", r->lpszAddress);
      fprintf(f, "eidsize=%lu\n", (unsigned long)r->ulEIDSize);
      fprintf(f, "entryid=%s\n", r->lpEntryID ? "set" : "(null)");
    }
    fprintf(f, "files=%lu\n", (unsigned long)lpMessage->nFileCount);
    fprintf(f, "lpfiles=%s\n", lpMessage->lpFiles ? "set" : "(null)");
  } else {
    fprintf(f, "message=(null)\n");
  }
  fclose(f);
  return nResult;
}
