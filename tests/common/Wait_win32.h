#pragma once
// Waiting for a condition instead of sleeping for a guessed time: the condition is
// polled every few milliseconds, so a test goes on as soon as it holds, and the wait
// gives up after a generous deadline, so that a fault fails the test instead of
// hanging it.
//
//   ASSERT_TRUE(sw::test::WaitFor([&] { return !::IsWindow(hBox); })) << "box stays";
#include <windows.h>

namespace sw::test {

inline constexpr DWORD kPollMs = 10;

// Calls f until it returns true (true) or msTimeout has passed (the last call's result).
template <class F>
bool WaitFor(F f, DWORD msTimeout = 10000) {
  const ULONGLONG tEnd = ::GetTickCount64() + msTimeout;
  while (!f()) {
    if (::GetTickCount64() >= tEnd) return f();
    ::Sleep(kPollMs);
  }
  return true;
}

}  // namespace sw::test
