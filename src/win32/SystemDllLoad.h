#pragma once
#include <cstdint>

namespace sw {

// How the program loads a DLL of the system folder: always by its full path, and,
// where Windows knows the flag, with LOAD_LIBRARY_SEARCH_SYSTEM32 so that the DLL's
// own imports come from there too. Only this call is restricted: the process's
// default search order stays as it is, for the DLLs that others load into the
// process (the mail program's MAPI provider with the DLLs of its own folder, printer
// drivers).
enum class TSystemDllLoad {
  None,            // give up: the DLL cannot be had from the system folder
  SearchSystem32,  // full path with LOAD_LIBRARY_SEARCH_SYSTEM32
  FullPathOnly,    // full path alone (XP; Vista and 7 without the update KB2533623)
};

// The first way to try. bSearchFlagsKnown: kernel32 exports AddDllDirectory, which
// comes with the LOAD_LIBRARY_SEARCH_* flags.
TSystemDllLoad FirstSystemDllLoad(bool bSearchFlagsKnown);

// The way to try after `aTried` failed with the system error dwError, None when there
// is none. Only a refused flag leads to the full path alone: a DLL or dependency
// missing from the system folder is not looked for anywhere else.
TSystemDllLoad NextSystemDllLoad(TSystemDllLoad aTried, std::uint32_t dwError);

}  // namespace sw
