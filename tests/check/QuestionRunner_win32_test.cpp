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
  auto pFirstThread = std::make_shared<std::atomic<DWORD>>(0);
  auto first = runner.Start([pFirstThread] { *pFirstThread = ::GetCurrentThreadId(); });
  ASSERT_TRUE(runner.Wait(*first, 5000));
  ::Sleep(50);  // the worker goes back to waiting once the answer is out

  // A question that does not answer until released, on the kept worker.
  HANDLE hRelease = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(hRelease, nullptr);
  auto pBlockedThread = std::make_shared<std::atomic<DWORD>>(0);
  auto blocked = runner.Start([pBlockedThread, hRelease] {
    *pBlockedThread = ::GetCurrentThreadId();
    ::WaitForSingleObject(hRelease, INFINITE);
  });
  EXPECT_FALSE(runner.Wait(*blocked, 200));
  EXPECT_NE(*pFirstThread, 0u);
  EXPECT_EQ(*pBlockedThread, *pFirstThread) << "a new thread for every question";

  auto pThirdThread = std::make_shared<std::atomic<DWORD>>(0);
  auto third = runner.Start([pThirdThread] { *pThirdThread = ::GetCurrentThreadId(); });
  EXPECT_TRUE(runner.Wait(*third, 2000)) << "queued behind the question that does not answer";
  EXPECT_NE(*pThirdThread, *pFirstThread);

  ::SetEvent(hRelease);
  EXPECT_TRUE(runner.Wait(*blocked, 5000));
  ::CloseHandle(hRelease);
}

}  // namespace
}  // namespace sw
