// The prescribed floor of the start benchmark: what the design itself asks of a start,
// and nothing of Sichtwerk's own work. A themed window (Sichtwerk's manifest, linked in
// by CMake) with the main window's nine controls in their places in Tahoma 8, the
// RichEdit pane in the info colours, one pass over the interface table (GetIfTable,
// then GetIfEntry per row), then the closing status text. Plain Win32 throughout: no
// queries, no render, no log.
#include <windows.h>
#include <iphlpapi.h>
#include <richedit.h>

#include <vector>

#include "common/StartTrace.h"
#include "floor_common_win32.h"

namespace {

constexpr wchar_t kPanelClass[] = L"TFloorPanel";
constexpr wchar_t kStatusText[] = L"Informationen erfolgreich gesammelt.";
constexpr int kClientWidth = 654, kClientHeight = 448;

LRESULT CALLBACK FloorWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// A panel as the main window has them: button face with a raised inner edge.
LRESULT CALLBACK PanelWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rc;
    GetClientRect(hWnd, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(hdc, &rc, BDR_RAISEDINNER, BF_RECT);
    EndPaint(hWnd, &ps);
    return 0;
  }
  if (uMsg == WM_ERASEBKGND) return 1;
  // Buttons in a panel report to the form, as in the main window.
  if (uMsg == WM_COMMAND) return SendMessageW(GetParent(hWnd), uMsg, wParam, lParam);
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

HFONT Tahoma8(BYTE nCharSet) {
  LOGFONTW lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = nCharSet;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

HWND Child(const wchar_t* sClass, const wchar_t* sText, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
           HWND hParent, HFONT hFont) {
  HWND h = CreateWindowExW(dwExStyle, sClass, sText, WS_CHILD | WS_VISIBLE | dwStyle, rc.left, rc.top,
                           rc.right - rc.left, rc.bottom - rc.top, hParent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (h) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
  return h;
}

// One pass over the interface table through IP Helper, as the network question asks.
void InterfacePass() {
  HMODULE hIp = LoadFromSystem(L"iphlpapi.dll");
  if (!hIp) return;
  using TGetIfTable = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
  using TGetIfEntry = DWORD(WINAPI*)(PMIB_IFROW);
  auto getIfTable = reinterpret_cast<TGetIfTable>(reinterpret_cast<void*>(GetProcAddress(hIp, "GetIfTable")));
  auto getIfEntry = reinterpret_cast<TGetIfEntry>(reinterpret_cast<void*>(GetProcAddress(hIp, "GetIfEntry")));
  if (!getIfTable || !getIfEntry) return;
  ULONG cb = 0;
  if (getIfTable(nullptr, &cb, TRUE) != ERROR_INSUFFICIENT_BUFFER || cb == 0) return;
  std::vector<unsigned char> buf(cb);
  auto* table = reinterpret_cast<PMIB_IFTABLE>(buf.data());
  if (getIfTable(table, &cb, TRUE) != NO_ERROR) return;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    MIB_IFROW row{};
    row.dwIndex = table->table[i].dwIndex;
    getIfEntry(&row);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nCmdShow) {
  SW_START_MARK("wWinMain");
  if (!LoadFromSystem(L"msftedit.dll")) return 1;
  SW_START_MARK("msftedit");

  WNDCLASSEXW wc;
  if (!RegisterFloorClass(hInstance, FloorWndProc, wc)) return 1;
  wc.lpfnWndProc = PanelWndProc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kPanelClass;
  if (!RegisterClassExW(&wc)) return 1;

  const HFONT hFont = Tahoma8(DEFAULT_CHARSET);
  const HFONT hPaneFont = Tahoma8(ANSI_CHARSET);
  RECT rc = {0, 0, kClientWidth, kClientHeight};
  const DWORD dwStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD dwExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  AdjustWindowRectEx(&rc, dwStyle, FALSE, dwExStyle);
  HWND hWnd = CreateWindowExW(dwExStyle, kFloorClassName, L"Floor", dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, hInstance, nullptr);
  if (!hWnd) return 1;
  SendMessageW(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
  SW_START_MARK("window");

  // The main window's places: the bottom panel, the group box over the rest, inside
  // it the info panel at its bottom and the pane over what is left.
  const int W = kClientWidth, H = kClientHeight;
  HWND hPanelBottom = Child(kPanelClass, L"", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, RECT{0, H - 27, W, H}, hWnd, hFont);
  Child(L"BUTTON", L"&Schließen", WS_TABSTOP | BS_PUSHBUTTON, 0, RECT{566, 0, 641, 25}, hPanelBottom, hFont);
  Child(L"BUTTON", L"per Mail versenden", WS_TABSTOP | BS_PUSHBUTTON, 0, RECT{8, 0, 153, 25}, hPanelBottom, hFont);
  Child(L"BUTTON", L"Infos &anzeigen/ausdrucken", WS_TABSTOP | BS_PUSHBUTTON, 0, RECT{159, 0, 328, 25},
        hPanelBottom, hFont);
  HWND hGroup = Child(L"BUTTON", L"Informationen", BS_GROUPBOX | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                      RECT{0, 0, W, H - 27}, hWnd, hFont);
  // Below the caption's text height and two pixels inside the frame.
  const RECT inner{2, 13 + 2, W - 2, H - 27 - 2};
  HWND hPanelInfo = Child(kPanelClass, L"", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                          RECT{inner.left, inner.bottom - 35, inner.right, inner.bottom}, hGroup, hFont);
  Child(L"BUTTON", L"Informationen erneut sammeln", WS_TABSTOP | BS_PUSHBUTTON, 0, RECT{6, 2, 326, 27}, hPanelInfo,
        hFont);
  HWND hStatus = Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, RECT{332, 7, 332, 20}, hPanelInfo, hFont);
  HWND hPane = Child(MSFTEDIT_CLASS, L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                         ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                     RECT{inner.left, inner.top, inner.right, inner.bottom - 35}, hGroup, hPaneFont);
  if (!hPanelBottom || !hGroup || !hPanelInfo || !hStatus || !hPane) return 1;
  // The pane in the info colours, as the report pane in its pair.
  SendMessageW(hPane, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_INFOBK));
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = GetSysColor(COLOR_INFOTEXT);
  SendMessageW(hPane, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  SW_START_MARK("controls");
  ShowWindow(hWnd, nCmdShow);
  SW_START_MARK("ShowWindow");
  UpdateWindow(hWnd);
  SW_START_MARK("UpdateWindow");
  InterfacePass();
  SW_START_MARK("interfaces");
  SetWindowTextW(hStatus, kStatusText);
  SetWindowPos(hStatus, nullptr, 0, 0, 300, 13, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SW_START_MARK("run-end");
  SW_START_DUMP();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hWnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
