// The start trace of the benchmark build; see common/StartTrace.h.
#ifdef SW_START_TRACE
#include "common/StartTrace.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>

namespace sw {

namespace {
struct TMark {
  const char* sName;
  LONGLONG nTicks;
  SIZE_T cbWorkingSet, cbPeakWorkingSet, cbPrivate;
};
// A fixed table: the trace must not allocate while it measures.
TMark gMarks[64];
int gnMarks = 0;

// With SW_TRACE_MEMORY set, each mark also reads the process's memory counters
// (K32GetProcessMemoryInfo, Windows 7 on), written to start-memory.txt: a reading
// costs time, so the timed trace goes without.
using TGetMemoryInfo = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
TGetMemoryInfo MemoryInfo() {
  static const TGetMemoryInfo fn = [] {
    if (::GetEnvironmentVariableW(L"SW_TRACE_MEMORY", nullptr, 0) == 0) return TGetMemoryInfo{};
    return reinterpret_cast<TGetMemoryInfo>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  }();
  return fn;
}
}  // namespace

void StartMark(const char* sName) {
  if (gnMarks == 64) return;
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  TMark m{sName, t.QuadPart, 0, 0, 0};
  if (const TGetMemoryInfo fn = MemoryInfo()) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (fn(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc))) {
      m.cbWorkingSet = pmc.WorkingSetSize;
      m.cbPeakWorkingSet = pmc.PeakWorkingSetSize;
      m.cbPrivate = pmc.PrivateUsage;
    }
  }
  gMarks[gnMarks++] = m;
}

void StartTraceDump() {
  LARGE_INTEGER freq;
  ::QueryPerformanceFrequency(&freq);
  // The measurer puts its own counter, read just before CreateProcess, into the
  // environment: the marks then count from there. Without it they count from the first.
  LONGLONG nZero = gnMarks ? gMarks[0].nTicks : 0;
  wchar_t sT0[32];
  const DWORD cchT0 = ::GetEnvironmentVariableW(L"SW_TRACE_T0", sT0, 32);
  if (cchT0 > 0 && cchT0 < 32) nZero = _wtoi64(sT0);
  // Links into the benchmark's floor programs as well: nothing of the program's own.
  wchar_t sPath[MAX_PATH + 16];
  const DWORD cch = ::GetModuleFileNameW(nullptr, sPath, MAX_PATH);
  if (cch == 0 || cch >= MAX_PATH) return;
  wchar_t* pSlash = wcsrchr(sPath, L'\\');
  if (!pSlash) return;
  lstrcpyW(pSlash + 1, L"start-trace.txt");
  const std::unique_ptr<FILE, int (*)(FILE*)> f(_wfopen(sPath, L"a"), &fclose);
  if (!f) return;
  fputs("trace", f.get());
  for (int i = 0; i < gnMarks; ++i)
    fprintf(f.get(), " %s=%.2f", gMarks[i].sName,
            1000.0 * static_cast<double>(gMarks[i].nTicks - nZero) / static_cast<double>(freq.QuadPart));
  fputs("\n", f.get());
  if (!MemoryInfo()) return;
  lstrcpyW(pSlash + 1, L"start-memory.txt");
  const std::unique_ptr<FILE, int (*)(FILE*)> m(_wfopen(sPath, L"a"), &fclose);
  if (!m) return;
  fputs("memory", m.get());
  // Working set, its peak so far and private bytes, in KB.
  for (int i = 0; i < gnMarks; ++i)
    fprintf(m.get(), " %s=%u/%u/%u", gMarks[i].sName, static_cast<unsigned>(gMarks[i].cbWorkingSet / 1024),
            static_cast<unsigned>(gMarks[i].cbPeakWorkingSet / 1024), static_cast<unsigned>(gMarks[i].cbPrivate / 1024));
  fputs("\n", m.get());
}

}  // namespace sw
#endif
