// The floor of the start-time and memory benchmarks: the least a program can do to
// show what Sichtwerk shows at the end of its first run, a window holding a RichEdit
// control and a label with the closing status text. Nothing is measured or read.
#include <windows.h>

#include "common/StartTrace.h"
#include "floor_common_win32.h"
#ifdef SW_FLOOR_COMDLG
#include <commdlg.h>
#endif

namespace {

#ifdef SW_FLOOR_COMDLG
// Referenced only so that comdlg32 (and shell32 behind it) is mapped at load time, as
// in Sichtwerk.exe: this variant tells what that import costs.
BOOL(WINAPI* volatile gKeepComdlg)(LPPRINTDLGW) = &PrintDlgW;
#endif

constexpr wchar_t kStatusText[] = L"Informationen erfolgreich gesammelt.";

LRESULT CALLBACK FloorWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nCmdShow) {
  SW_START_MARK("wWinMain");
  // The same DLL as the report pane, from the system folder only.
  if (!LoadFromSystem(L"msftedit.dll")) return 1;
  SW_START_MARK("msftedit");

  WNDCLASSEXW wc;
  if (!RegisterFloorClass(hInstance, FloorWndProc, wc)) return 1;

  // Same client size as the main window of Sichtwerk.
  RECT rc = {0, 0, 654, 448};
  const DWORD dwStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&rc, dwStyle, FALSE, 0);
  HWND hWnd = CreateWindowExW(0, kFloorClassName, L"Floor", dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                              hInstance, nullptr);
  if (!hWnd) return 1;
  SW_START_MARK("window");
  if (!CreateWindowExW(WS_EX_CLIENTEDGE, L"RICHEDIT50W", L"",
                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 8, 8,
                       638, 390, hWnd, nullptr, hInstance, nullptr))
    return 1;
  if (!CreateWindowExW(0, L"STATIC", kStatusText, WS_CHILD | WS_VISIBLE, 332, 420, 300, 16,
                       hWnd, nullptr, hInstance, nullptr))
    return 1;
  SW_START_MARK("controls");
  ShowWindow(hWnd, nCmdShow);
  SW_START_MARK("ShowWindow");
  UpdateWindow(hWnd);
  SW_START_MARK("UpdateWindow");
  SW_START_DUMP();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
