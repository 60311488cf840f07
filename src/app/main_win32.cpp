#include <windows.h>

#include "app/MainForm_win32.h"
#include "common/StartTrace.h"
#include "win32/SystemLibrary_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int nCmdShow) {
  SW_START_MARK("wWinMain");
  // Before any DLL is loaded at run time (msftedit, version, ...).
  sw::RemoveCurrentFolderFromDllSearch();
  try {
    sw::TMainForm form;
    form.Create();
    form.Show(nCmdShow);
    SW_START_DUMP();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (form.Handle() && ::IsDialogMessageW(form.Handle(), &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  } catch (...) {
    // Only the creation of the window can get here.
    sw::ShowException(nullptr, std::current_exception());
    return 1;
  }
  return 0;
}
