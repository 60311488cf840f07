// The exe starts on Windows XP, whose kernel32 has no GetTickCount64, and XP's loader
// refuses an image that imports a function the system lacks. The C++ runtime's thread
// library (winpthreads, under the guards of function-local statics) imports it for
// its wait time-outs. This file defines the import's address slot itself, so the
// linker takes nothing from kernel32 for it: the slot points at a function that asks
// kernel32 at run time and counts with GetTickCount where the call is missing.
// It is linked into Sichtwerk.exe as an object of its own, not from a library: only
// then is the slot defined before the linker reaches winpthreads.
#include <windows.h>

namespace {

// No function-local static with a guard in here: the guard itself runs on winpthreads.
using TTickCount64 = ULONGLONG(WINAPI*)();
TTickCount64 GSystemTickCount64 = nullptr;
bool GbLookedUp = false;
DWORD GdwLastTick = 0;
ULONGLONG GnWraps = 0;

ULONGLONG WINAPI TickCount64() {
  if (!GbLookedUp) {
    GSystemTickCount64 = reinterpret_cast<TTickCount64>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    GbLookedUp = true;
  }
  if (GSystemTickCount64) return GSystemTickCount64();
  // 32 bits run over after 49.7 days: count the turns (the program has one thread).
  const DWORD dwTick = ::GetTickCount();
  if (dwTick < GdwLastTick) GnWraps += 0x100000000ULL;
  GdwLastTick = dwTick;
  return GnWraps + dwTick;
}

}  // namespace

// The name the import library gives the slot of KERNEL32!GetTickCount64.
extern "C" {
TTickCount64 SwGetTickCount64Slot asm("__imp__GetTickCount64@0") = &TickCount64;
}
