// Time to report and peak working set of GUI programs, seen from outside: each start
// is timed from just before CreateProcessW to the moment WM_GETTEXT on a child of the
// program's main window returns the closing status text. The targets are started in
// turn (A B A B ...) so that a slow phase of the machine hits all of them alike.
//
//   sw_bench_start.exe [--runs N] [--warmup N] [--text T]
//                      --target NAME EXE CLASS [log=empty|log=fill:BYTES:SEED] [--target ...]
//
// The result log beside the exe is, with log=empty, emptied before every start of that
// target; with log=fill, written once before the first start with as many whole copies
// of the file SEED as fit into BYTES (the log then grows by one block per start).
// The log's name is built here, not passed in: an umlaut on a Wine command line is
// only as safe as the Unix locale. Output, one line per start and one per target:
//   run NAME I MS PEAK_KB
//   result NAME median_ms=M min_ms=A max_ms=B median_peak_kb=K runs=N
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/UniqueHandle_win32.h"

namespace {

constexpr wchar_t kLogName[] = L"Ergebnisse des Sichtwerks zur Prüfung.log";

struct TTarget {
  std::wstring sName, sExe, sClass;
  std::wstring sLog;   // the result log beside the exe, empty: left alone
  bool bEmptyLog = false;
  std::wstring sSeed;  // fill mode: the block to repeat
  unsigned long long nFillBytes = 0;
  std::vector<double> Millis;
  std::vector<double> PeakKB;
};

struct TFindWindow {
  DWORD dwProcessId;
  const wchar_t* sClass;
  HWND hFound;
};

BOOL CALLBACK FindMainWindowProc(HWND hWnd, LPARAM lParam) {
  auto* p = reinterpret_cast<TFindWindow*>(lParam);
  DWORD dwPid = 0;
  GetWindowThreadProcessId(hWnd, &dwPid);
  if (dwPid != p->dwProcessId) return TRUE;
  wchar_t sClass[64];
  if (GetClassNameW(hWnd, sClass, 64) && lstrcmpW(sClass, p->sClass) == 0) {
    p->hFound = hWnd;
    return FALSE;
  }
  return TRUE;
}

struct TFindText {
  const std::wstring* sText;
  bool bFound;
};

BOOL CALLBACK FindTextProc(HWND hWnd, LPARAM lParam) {
  auto* p = reinterpret_cast<TFindText*>(lParam);
  wchar_t sBuf[128];
  sBuf[0] = 0;
  DWORD_PTR nCopied = 0;
  // The target is single-threaded: while it is busy the message waits for its pump,
  // which is the moment the text becomes visible anyway.
  if (SendMessageTimeoutW(hWnd, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(sBuf), SMTO_NORMAL,
                          10000, &nCopied) &&
      *p->sText == sBuf) {
    p->bFound = true;
    return FALSE;
  }
  return TRUE;
}

using TGetMemInfo = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);

// K32GetProcessMemoryInfo lives in kernel32 from Windows 7 on, in psapi before.
TGetMemInfo LoadGetMemInfo() {
  auto fn = reinterpret_cast<TGetMemInfo>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  if (!fn) {
    if (HMODULE h = LoadLibraryW(L"psapi.dll"))
      fn = reinterpret_cast<TGetMemInfo>(
          reinterpret_cast<void*>(GetProcAddress(h, "GetProcessMemoryInfo")));
  }
  return fn;
}

void EmptyFile(const std::wstring& sPath) {
  sw::TFileHandle h(CreateFileW(sPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Whole copies of the seed up to nBytes, written in large pieces.
bool FillLog(const std::wstring& sPath, const std::wstring& sSeed, unsigned long long nBytes) {
  std::string sBlock;
  {
    sw::TFileHandle h(CreateFileW(sSeed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!h) return false;
    char buf[65536];
    DWORD cbRead = 0;
    while (ReadFile(h.get(), buf, sizeof(buf), &cbRead, nullptr) && cbRead > 0)
      sBlock.append(buf, cbRead);
  }
  if (sBlock.empty()) return false;
  std::string sChunk;
  while (sChunk.size() + sBlock.size() <= (1u << 20)) sChunk += sBlock;
  sw::TFileHandle h(CreateFileW(sPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return false;
  unsigned long long nWritten = 0;
  DWORD cbDone = 0;
  while (!sChunk.empty() && nWritten + sChunk.size() <= nBytes) {
    if (!WriteFile(h.get(), sChunk.data(), static_cast<DWORD>(sChunk.size()), &cbDone, nullptr))
      return false;
    nWritten += sChunk.size();
  }
  while (nWritten + sBlock.size() <= nBytes) {
    if (!WriteFile(h.get(), sBlock.data(), static_cast<DWORD>(sBlock.size()), &cbDone, nullptr))
      return false;
    nWritten += sBlock.size();
  }
  return true;
}

double Now(const LARGE_INTEGER& freq) {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// One start: false when the program ends or never shows the text within the time.
bool MeasureOnce(TTarget& t, const std::wstring& sText, TGetMemInfo getMemInfo,
                 double& nMillis, double& nPeakKB) {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  if (t.bEmptyLog) EmptyFile(t.sLog);

  std::wstring sCmd = L"\"" + t.sExe + L"\"";
  std::wstring sDir = t.sExe.substr(0, t.sExe.find_last_of(L"\\/") + 1);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  // A traced program counts its marks from here (common/StartTrace.h).
  LARGE_INTEGER c0;
  QueryPerformanceCounter(&c0);
  SetEnvironmentVariableW(L"SW_TRACE_T0", std::to_wstring(c0.QuadPart).c_str());
  const double t0 = 1000.0 * static_cast<double>(c0.QuadPart) / static_cast<double>(freq.QuadPart);
  if (!CreateProcessW(t.sExe.c_str(), sCmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      sDir.empty() ? nullptr : sDir.c_str(), &si, &pi)) {
    fwprintf(stderr, L"CreateProcess %ls failed: %lu\n", t.sExe.c_str(), GetLastError());
    return false;
  }
  sw::THandleOwner hProcess(pi.hProcess), hThread(pi.hThread);

  bool bFound = false;
  HWND hMain = nullptr;
  while (!bFound && Now(freq) - t0 < 60000.0) {
    if (WaitForSingleObject(hProcess.get(), 0) == WAIT_OBJECT_0) break;
    if (!hMain) {
      TFindWindow fw{pi.dwProcessId, t.sClass.c_str(), nullptr};
      EnumWindows(FindMainWindowProc, reinterpret_cast<LPARAM>(&fw));
      hMain = fw.hFound;
    }
    if (hMain) {
      TFindText ft{&sText, false};
      EnumChildWindows(hMain, FindTextProc, reinterpret_cast<LPARAM>(&ft));
      bFound = ft.bFound;
    }
    if (!bFound) Sleep(1);
  }
  nMillis = Now(freq) - t0;

  nPeakKB = 0;
  if (bFound && getMemInfo) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    if (getMemInfo(hProcess.get(), &pmc, sizeof(pmc)))
      nPeakKB = static_cast<double>(pmc.PeakWorkingSetSize) / 1024.0;
  }

  // Ended rather than closed: the report and its log block are complete by now, and a
  // window closed under Wine without a window manager waits 2 s for X11 to withdraw it.
  TerminateProcess(hProcess.get(), 0);
  WaitForSingleObject(hProcess.get(), 10000);
  if (!bFound) fwprintf(stderr, L"%ls: status text not seen\n", t.sName.c_str());
  return bFound;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int nRuns = 15, nWarmup = 2;
  std::wstring sText = L"Informationen erfolgreich gesammelt.";
  std::vector<TTarget> targets;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--runs" && i + 1 < argc) {
      nRuns = _wtoi(argv[++i]);
    } else if (a == L"--warmup" && i + 1 < argc) {
      nWarmup = _wtoi(argv[++i]);
    } else if (a == L"--text" && i + 1 < argc) {
      sText = argv[++i];
    } else if (a == L"--target" && i + 3 < argc) {
      TTarget t;
      t.sName = argv[++i];
      t.sExe = argv[++i];
      t.sClass = argv[++i];
      if (i + 1 < argc && wcsncmp(argv[i + 1], L"log=", 4) == 0) {
        const std::wstring sMode = argv[++i] + 4;
        t.sLog = t.sExe.substr(0, t.sExe.find_last_of(L"\\/") + 1) + kLogName;
        if (sMode == L"empty") {
          t.bEmptyLog = true;
        } else if (sMode.rfind(L"fill:", 0) == 0 && sMode.find(L':', 5) != std::wstring::npos) {
          const std::size_t iColon = sMode.find(L':', 5);
          t.nFillBytes = _wcstoui64(sMode.substr(5, iColon - 5).c_str(), nullptr, 10);
          t.sSeed = sMode.substr(iColon + 1);
        } else {
          fwprintf(stderr, L"unknown log mode %ls\n", sMode.c_str());
          return 2;
        }
      }
      targets.push_back(std::move(t));
    } else {
      fwprintf(stderr, L"unknown argument %ls\n", argv[i]);
      return 2;
    }
  }
  if (targets.empty() || nRuns < 1) {
    fwprintf(stderr, L"usage: sw_bench_start [--runs N] [--warmup N] --target NAME EXE CLASS [log=...]\n");
    return 2;
  }
  const TGetMemInfo getMemInfo = LoadGetMemInfo();
  if (!getMemInfo) fwprintf(stderr, L"no GetProcessMemoryInfo: peak working set is 0\n");

  for (const TTarget& t : targets) {
    if (t.sSeed.empty()) continue;
    if (!FillLog(t.sLog, t.sSeed, t.nFillBytes)) {
      fwprintf(stderr, L"%ls: the log could not be filled from %ls\n", t.sName.c_str(),
               t.sSeed.c_str());
      return 1;
    }
  }

  int nFailed = 0;
  for (int iRun = -nWarmup; iRun < nRuns; ++iRun) {
    for (TTarget& t : targets) {
      double nMillis = 0, nPeakKB = 0;
      if (!MeasureOnce(t, sText, getMemInfo, nMillis, nPeakKB)) {
        ++nFailed;
        continue;
      }
      if (iRun < 0) continue;
      t.Millis.push_back(nMillis);
      t.PeakKB.push_back(nPeakKB);
      wprintf(L"run %ls %d %.1f %.0f\n", t.sName.c_str(), iRun, nMillis, nPeakKB);
      fflush(stdout);
      // Let the wineserver and the display settle after the close.
      Sleep(100);
    }
  }
  for (const TTarget& t : targets) {
    if (t.Millis.empty()) continue;
    wprintf(L"result %ls median_ms=%.1f min_ms=%.1f max_ms=%.1f median_peak_kb=%.0f runs=%u\n",
            t.sName.c_str(), Median(t.Millis),
            *std::min_element(t.Millis.begin(), t.Millis.end()),
            *std::max_element(t.Millis.begin(), t.Millis.end()), Median(t.PeakKB),
            static_cast<unsigned>(t.Millis.size()));
  }
  fflush(stdout);
  return nFailed ? 1 : 0;
}
