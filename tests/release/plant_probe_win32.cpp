// The positive control of the planting test: loads each named DLL the ordinary way,
// with the default search order (the exe's folder first), as a careless program would.
// Prints one line per name: "<name> loaded <path>" or "<name> failed <error>".
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    HMODULE h = ::LoadLibraryW(argv[i]);
    if (!h) {
      std::wprintf(L"%ls failed %lu\n", argv[i], ::GetLastError());
      continue;
    }
    wchar_t sPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(h, sPath, MAX_PATH);
    std::wprintf(L"%ls loaded %ls\n", argv[i], sPath);
  }
  return 0;
}
