// The exe starts on Windows XP, whose kernel32 has no GetTickCount64, and XP's loader
// refuses an image that imports a function the system lacks. The C++ runtime's thread
// library (winpthreads, under the guards of function-local statics) imports it for
// its wait time-outs. This file defines the import's address slot itself, so the
// linker takes nothing from kernel32 for it: the slot points at a function that asks
// kernel32 at run time and counts with GetTickCount where the call is missing.
// It is linked into Sichtwerk.exe as an object of its own, not from a library: only
// then is the slot defined before the linker reaches winpthreads.
#include <windows.h>

#include <atomic>

namespace {

// No function-local static with a guard in here: the guard itself runs on winpthreads.
// The state is shared by every thread that waits with a time-out: atomics only, which
// are constant-initialised and lock-free (cmpxchg8b) on every processor XP runs on.
using TTickCount64 = ULONGLONG(WINAPI*)();
// Not yet looked up: the function itself stands in the slot.
ULONGLONG WINAPI TickCount64();
std::atomic<TTickCount64> GSystemTickCount64{&TickCount64};
// The turns of the 32-bit count in the high half, the last count seen in the low half.
std::atomic<ULONGLONG> GnTicks{0};

ULONGLONG CountedTicks() {
  ULONGLONG nSeen = GnTicks.load();
  for (;;) {
    const DWORD dwTick = ::GetTickCount();
    const DWORD dwLast = static_cast<DWORD>(nSeen);
    ULONGLONG nTurns = nSeen & 0xFFFFFFFF00000000ULL;
    if (dwTick < dwLast) {
      // Slightly behind: another thread read the count later and stored it first.
      if (dwLast - dwTick < 0x80000000UL) return nSeen;
      // 32 bits run over after 49.7 days.
      nTurns += 0x100000000ULL;
    }
    const ULONGLONG nNow = nTurns | dwTick;
    if (GnTicks.compare_exchange_weak(nSeen, nNow)) return nNow;
  }
}

ULONGLONG WINAPI TickCount64() {
  TTickCount64 fn = GSystemTickCount64.load();
  if (fn == &TickCount64) {
    fn = reinterpret_cast<TTickCount64>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    GSystemTickCount64.store(fn);
  }
  if (fn) return fn();
  return CountedTicks();
}

}  // namespace

// The name the import library gives the slot of KERNEL32!GetTickCount64.
extern "C" {
TTickCount64 SwGetTickCount64Slot asm("__imp__GetTickCount64@0") = &TickCount64;
}
