// What it costs Wine's RichEdit (msftedit, as the report pane) to take a full pane of
// history, by every route the control offers, into a fresh visible control each time.
// The history is the one a start puts below its report: the lines of a result log
// (--history, code page 1252) as many as fit into the pane's 65,536 characters beside
// the report (--report, one block of the log). Without them it is 1,344 made-up lines
// of 48 characters (65,856 characters). Prints "result pane-<route> median_ms=..." lines.
//   sw_bench_pane [--runs N] [--history LOG --report BLOCK]
#include <windows.h>
#include <richedit.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

constexpr size_t kPaneCapacity = 65536;

// The lines of a file in code page 1252, split at CR LF.
std::vector<std::wstring> FileLines(const wchar_t* sPath) {
  std::ifstream f(sPath, std::ios::binary);
  const std::string sBytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::wstring sText(sBytes.size(), L'\0');
  const int cch = MultiByteToWideChar(1252, 0, sBytes.data(), static_cast<int>(sBytes.size()), sText.data(),
                                      static_cast<int>(sText.size()));
  sText.resize(cch > 0 ? static_cast<size_t>(cch) : 0);
  std::vector<std::wstring> lines;
  for (size_t at = 0; at < sText.size();) {
    const size_t end = sText.find(L"\r\n", at);
    lines.push_back(sText.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
    if (end == std::wstring::npos) break;
    at = end + 2;
  }
  return lines;
}

std::vector<std::wstring> HistoryLines(const wchar_t* sLog, const wchar_t* sReport) {
  std::vector<std::wstring> lines;
  if (!sLog || !sReport) {
    for (int i = 0; i < 1344; ++i) {
      std::wstring l = L"Gruen: Freier RAM-Speicher = 4096 MBytes - OK! " + std::to_wstring(i);
      l.resize(48, L' ');
      lines.push_back(l);
    }
    return lines;
  }
  // As the pane fills: the report with its line ends first, then whole lines of the
  // log while they fit, each with its line end.
  size_t nRoom = kPaneCapacity;
  for (const std::wstring& l : FileLines(sReport)) nRoom -= std::min(nRoom, l.size() + 1);
  for (const std::wstring& l : FileLines(sLog)) {
    if (l.size() + 1 > nRoom) break;
    nRoom -= l.size() + 1;
    lines.push_back(l);
  }
  return lines;
}

// The lines as paragraphs (CR), or joined by sSep.
std::wstring History(const std::vector<std::wstring>& lines, const wchar_t* sSep) {
  std::wstring s;
  for (const std::wstring& l : lines) {
    s += l;
    s += sSep;
  }
  return s;
}

LONG Length(HWND hPane) {
  GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<LONG>(SendMessageW(hPane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0));
}

void ReplaceAtEnd(HWND hPane, const wchar_t* s) {
  const LONG n = Length(hPane);
  CHARRANGE cr{n, n};
  SendMessageW(hPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  SendMessageW(hPane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(s));
}

struct TSource {
  const char* p;
  size_t n, off;
};
DWORD CALLBACK ReadSource(DWORD_PTR dwCookie, LPBYTE pBuf, LONG cb, LONG* pcb) {
  auto* s = reinterpret_cast<TSource*>(dwCookie);
  const size_t k = std::min<size_t>(s->n - s->off, static_cast<size_t>(cb));
  memcpy(pBuf, s->p + s->off, k);
  s->off += k;
  *pcb = static_cast<LONG>(k);
  return 0;
}

void StreamIn(HWND hPane, const std::string& sBytes, WPARAM wFormat) {
  TSource src{sBytes.data(), sBytes.size(), 0};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, ReadSource};
  SendMessageW(hPane, EM_STREAMIN, wFormat | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
}

struct TMemory {
  unsigned long nWorkingSetKb = 0, nPeakKb = 0;
};
TMemory Memory() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  using TGet = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
  const auto fn = reinterpret_cast<TGet>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  if (!fn || !fn(GetCurrentProcess(), &pmc, sizeof(pmc))) return {};
  return {static_cast<unsigned long>(pmc.WorkingSetSize / 1024), static_cast<unsigned long>(pmc.PeakWorkingSetSize / 1024)};
}

struct TRoute {
  const char* sName;
  std::function<void(HWND)> fnPrepare;  // before the clock starts
  std::function<void(HWND)> fnInsert;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int nRuns = 7;
  const wchar_t* sLog = nullptr;
  const wchar_t* sReport = nullptr;
  const wchar_t* sMemoryRoute = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--memory") == 0) sMemoryRoute = argv[i + 1];
    if (wcscmp(argv[i], L"--runs") == 0) nRuns = std::max(1, _wtoi(argv[i + 1]));
    if (wcscmp(argv[i], L"--history") == 0) sLog = argv[i + 1];
    if (wcscmp(argv[i], L"--report") == 0) sReport = argv[i + 1];
  }
  wchar_t sPath[MAX_PATH];
  const UINT cch = GetSystemDirectoryW(sPath, MAX_PATH);
  if (cch == 0 || cch + 14 >= MAX_PATH) return 1;
  wcscat(sPath, L"\\msftedit.dll");
  if (!LoadLibraryW(sPath)) return 1;
  HWND hTop = CreateWindowExW(0, L"STATIC", L"pane", WS_OVERLAPPEDWINDOW, 0, 0, 680, 500, nullptr, nullptr,
                              nullptr, nullptr);
  ShowWindow(hTop, SW_SHOWNOACTIVATE);

  const std::vector<std::wstring> lines = HistoryLines(sLog, sReport);
  if (lines.empty()) return 1;
  const std::wstring sParas = History(lines, L"\r");
  std::printf("history lines=%u chars=%u source=%s\n", static_cast<unsigned>(lines.size()),
              static_cast<unsigned>(sParas.size()), sLog ? "log" : "made-up");
  std::wstring sLf = History(lines, L"\n");
  const std::string sUtf16(reinterpret_cast<const char*>(sLf.data()), sLf.size() * sizeof(wchar_t));
  std::string sRtf = "{\\rtf1\\ansi ";
  for (wchar_t c : sParas) {
    if (c == L'\r') {
      sRtf += "\\par\n";
    } else if (c == L'\\' || c == L'{' || c == L'}') {
      sRtf += '\\';
      sRtf += static_cast<char>(c);
    } else if (c < 0x80) {
      sRtf += static_cast<char>(c);
    } else {
      sRtf += "\\u" + std::to_string(static_cast<short>(c)) + "?";
    }
  }
  sRtf += "}";
  auto none = [](HWND) {};
  // The chunks are cut before the clock starts.
  auto chunks = [&](size_t nLinesEach) {
    std::vector<std::wstring> parts;
    for (size_t at = 0; at < lines.size(); at += nLinesEach) {
      const auto first = lines.begin() + static_cast<std::ptrdiff_t>(at);
      parts.push_back(History({first, first + static_cast<std::ptrdiff_t>(std::min(nLinesEach, lines.size() - at))},
                              L"\r"));
    }
    return [parts](HWND h) {
      for (const std::wstring& part : parts) ReplaceAtEnd(h, part.c_str());
    };
  };
  // Blocks of whole lines of at most 8,192 characters each, as the program puts its
  // history into the pane.
  auto blocks = [&] {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (const std::wstring& l : lines) {
      if (!part.empty() && part.size() + l.size() + 1 > 8192) parts.push_back(std::move(part)), part.clear();
      part += l;
      part += L"\r";
    }
    if (!part.empty()) parts.push_back(part);
    return [parts](HWND h) {
      for (const std::wstring& p : parts) ReplaceAtEnd(h, p.c_str());
    };
  };
  const TRoute routes[] = {
      {"replacesel-one", none, [&](HWND h) { ReplaceAtEnd(h, sParas.c_str()); }},
      {"replacesel-8k-blocks", none, blocks()},
      {"replacesel-8k-blocks-undo-off", [](HWND h) { SendMessageW(h, EM_SETUNDOLIMIT, 0, 0); }, blocks()},
      {"replacesel-336-lines-each", none, chunks(336)},
      {"replacesel-64-lines-each", none, chunks(64)},
      {"replacesel-undo-off", [](HWND h) { SendMessageW(h, EM_SETUNDOLIMIT, 0, 0); },
       [&](HWND h) { ReplaceAtEnd(h, sParas.c_str()); }},
      {"replacesel-redraw-off", none,
       [&](HWND h) {
         SendMessageW(h, WM_SETREDRAW, FALSE, 0);
         ReplaceAtEnd(h, sParas.c_str());
         SendMessageW(h, WM_SETREDRAW, TRUE, 0);
       }},
      // The report pane's own set-up: its font, text mode and background, hidden as in
      // the first run of a start. Not a faster route: what the design's pane costs.
      {"replacesel-as-the-report-pane",
       [](HWND h) {
         LOGFONTW lf{};
         lf.lfHeight = -11;
         lf.lfCharSet = ANSI_CHARSET;
         wcscpy(lf.lfFaceName, L"Tahoma");
         static HFONT hFont = CreateFontIndirectW(&lf);
         SendMessageW(h, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
         SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
         SendMessageW(h, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_INFOBK));
         ShowWindow(h, SW_HIDE);
       },
       [&](HWND h) { ReplaceAtEnd(h, sParas.c_str()); }},
      {"replacesel-plain-text-mode", [](HWND h) { SendMessageW(h, EM_SETTEXTMODE, TM_PLAINTEXT, 0); },
       [&](HWND h) { ReplaceAtEnd(h, sParas.c_str()); }},
      {"settextex", none,
       [&](HWND h) {
         SETTEXTEX st{ST_SELECTION, 1200};
         SendMessageW(h, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&st), reinterpret_cast<LPARAM>(sParas.c_str()));
       }},
      {"wm-settext", none, [&](HWND h) { SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sParas.c_str())); }},
      {"streamin-text", none, [&](HWND h) { StreamIn(h, sUtf16, SF_TEXT | SF_UNICODE); }},
      {"streamin-rtf", none, [&](HWND h) { StreamIn(h, sRtf, SF_RTF); }},
      // Not a route the program can take: Wine's RichEdit itemizes and shapes every
      // paragraph through Uniscribe unless a password character hides the text. The
      // difference to replacesel-one is what that shaping costs.
      {"whatif-password-char-no-shaping", [](HWND h) { SendMessageW(h, EM_SETPASSWORDCHAR, L'*', 0); },
       [&](HWND h) { ReplaceAtEnd(h, sParas.c_str()); }},
  };
  // --memory ROUTE: that route once, in this fresh process, and the working set the
  // control's history costs (the figure is only clean as the first insertion of a process).
  if (sMemoryRoute) {
    for (const TRoute& r : routes) {
      wchar_t sName[64];
      swprintf(sName, 64, L"%hs", r.sName);
      if (wcscmp(sName, sMemoryRoute) != 0) continue;
      HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                               654, 390, hTop, nullptr, nullptr, nullptr);
      SendMessageW(h, EM_EXLIMITTEXT, 0, 70000);
      SendMessageW(h, EM_SETTARGETDEVICE, 0, 1);
      r.fnPrepare(h);
      const TMemory before = Memory();
      const double t0 = NowMs();
      r.fnInsert(h);
      const double ms = NowMs() - t0;
      UpdateWindow(hTop);
      const TMemory after = Memory();
      std::printf("memory pane-%s chars=%ld first_ms=%.1f ws_before_kb=%lu ws_after_kb=%lu peak_before_kb=%lu "
                  "peak_after_kb=%lu\n",
                  r.sName, static_cast<long>(Length(h)), ms, before.nWorkingSetKb, after.nWorkingSetKb,
                  before.nPeakKb, after.nPeakKb);
      return 0;
    }
    return 2;
  }
  for (const TRoute& r : routes) {
    std::vector<double> ms;
    LONG nLength = 0;
    for (int i = 0; i < nRuns; ++i) {
      HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                               654, 390, hTop, nullptr, nullptr, nullptr);
      SendMessageW(h, EM_EXLIMITTEXT, 0, 70000);
      SendMessageW(h, EM_SETTARGETDEVICE, 0, 1);  // word wrap off, as during a run
      r.fnPrepare(h);
      const double t0 = NowMs();
      r.fnInsert(h);
      ms.push_back(NowMs() - t0);
      nLength = Length(h);
      DestroyWindow(h);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("result pane-%s median_ms=%.1f min_ms=%.1f chars=%ld runs=%d\n", r.sName, ms[ms.size() / 2], ms[0],
                static_cast<long>(nLength), nRuns);
    std::fflush(stdout);
  }

  // Emptying a pane that the history filled, as a repeated run starts: the same text
  // goes in by the first route above, then each way the control offers to empty it.
  // The pane must be empty afterwards with the caret at 0 (chars=0 sel=0,0).
  struct TClear {
    const char* sName;
    std::function<HWND(HWND)> fnClear;  // returns the pane (a new one for "fresh")
  };
  auto create = [&] {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                             654, 390, hTop, nullptr, nullptr, nullptr);
    SendMessageW(h, EM_EXLIMITTEXT, 0, 70000);
    SendMessageW(h, EM_SETTARGETDEVICE, 0, 1);
    return h;
  };
  auto setText = [](HWND h) {
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    return h;
  };
  const TClear clears[] = {
      {"wm-settext", setText},
      {"undo-off-wm-settext",
       [&](HWND h) {
         SendMessageW(h, EM_SETUNDOLIMIT, 0, 0);
         setText(h);
         SendMessageW(h, EM_SETUNDOLIMIT, 100, 0);
         return h;
       }},
      {"settextex-default",
       [](HWND h) {
         SETTEXTEX st{ST_DEFAULT, 1200};
         SendMessageW(h, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&st), reinterpret_cast<LPARAM>(L""));
         return h;
       }},
      {"select-all-replacesel",
       [](HWND h) {
         CHARRANGE all{0, -1};
         SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
         SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
         return h;
       }},
      {"redraw-off-wm-settext",
       [&](HWND h) {
         SendMessageW(h, WM_SETREDRAW, FALSE, 0);
         setText(h);
         SendMessageW(h, WM_SETREDRAW, TRUE, 0);
         InvalidateRect(h, nullptr, TRUE);
         return h;
       }},
      {"hidden-wm-settext",
       [&](HWND h) {
         ShowWindow(h, SW_HIDE);
         setText(h);
         ShowWindow(h, SW_SHOWNA);
         return h;
       }},
      {"streamin-empty",
       [](HWND h) {
         static const char kNone[] = "";
         TSource src{kNone, 0, 0};
         EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, ReadSource};
         SendMessageW(h, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
         return h;
       }},
      {"fresh-control",
       [&](HWND h) {
         DestroyWindow(h);
         return create();
       }},
  };
  for (const TClear& c : clears) {
    std::vector<double> ms;
    LONG nLength = -1;
    CHARRANGE sel{-1, -1};
    for (int i = 0; i < nRuns; ++i) {
      HWND h = create();
      ReplaceAtEnd(h, sParas.c_str());
      const double t0 = NowMs();
      h = c.fnClear(h);
      ms.push_back(NowMs() - t0);
      nLength = Length(h);
      SendMessageW(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
      DestroyWindow(h);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("result clear-%s median_ms=%.1f min_ms=%.1f chars=%ld sel=%ld,%ld runs=%d\n", c.sName,
                ms[ms.size() / 2], ms[0], static_cast<long>(nLength), static_cast<long>(sel.cpMin),
                static_cast<long>(sel.cpMax), nRuns);
    std::fflush(stdout);
  }
  return 0;
}

