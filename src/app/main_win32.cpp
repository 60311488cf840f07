#include <windows.h>

#include "sysquery/win32/SystemLibrary.h"

// Placeholder entry until the main window lands.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  sw::RestrictDllSearchToSystem();
  return 0;
}
