// The question runner's workers: the one that has answered takes the next question,
// and one that does not answer never holds up the next.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "check/QuestionRunner_win32.h"

namespace sw {
namespace {

TEST(WinQuestionRunner, AnsweredWorkerTakesTheNextQuestionABusyOneNever) {
  TWinQuestionRunner runner(nullptr, nullptr);
  // The first question starts the kept worker and does not answer until released.
  HANDLE hRelease = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(hRelease, nullptr);
  auto pKeptThread = std::make_shared<std::atomic<DWORD>>(0);
  auto blocked = runner.Start([pKeptThread, hRelease] {
    *pKeptThread = ::GetCurrentThreadId();
    ::WaitForSingleObject(hRelease, INFINITE);
  });
  EXPECT_FALSE(runner.Wait(*blocked, 200));

  auto pThread = std::make_shared<std::atomic<DWORD>>(0);
  auto next = runner.Start([pThread] { *pThread = ::GetCurrentThreadId(); });
  EXPECT_TRUE(runner.Wait(*next, 2000)) << "queued behind the question that does not answer";
  EXPECT_NE(*pThread, *pKeptThread);

  ::SetEvent(hRelease);
  ASSERT_TRUE(runner.Wait(*blocked, 5000));
  // Once back to waiting, the kept worker takes a question again.
  bool bReused = false;
  for (int i = 0; i < 100 && !bReused; ++i) {
    auto again = runner.Start([pThread] { *pThread = ::GetCurrentThreadId(); });
    ASSERT_TRUE(runner.Wait(*again, 2000));
    bReused = *pThread == *pKeptThread;
    if (!bReused) ::Sleep(20);
  }
  EXPECT_TRUE(bReused) << "a new thread for every question";
  ::CloseHandle(hRelease);
}

}  // namespace
}  // namespace sw
