#include "check/QuestionRunner_win32.h"

#include <mutex>

#include "win32/UniqueHandle_win32.h"

namespace sw {

namespace {
// A worker loads msftedit and IP Helper with the DLLs they import, and every DLL's
// attach code runs on its stack: the usual 1 MB (the program's own thread has 2).
// Reserved, not committed.
constexpr SIZE_T kWorkerStackBytes = 1024 * 1024;

class TWinQuestion : public IQuestionRunner::TQuestion {
 public:
  explicit TWinQuestion(std::function<void()> fnAsk)
      : FfnAsk(std::move(fnAsk)), FhDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  bool Done() override { return !FhDone || ::WaitForSingleObject(FhDone.get(), 0) == WAIT_OBJECT_0; }
  HANDLE Event() const { return FhDone.get(); }

  void Run() {
    try {
      FfnAsk();
    } catch (...) {
      // The question keeps its own errors; nothing may leave the thread.
    }
    // The event's wait is the barrier behind which the caller reads the answer.
    if (FhDone) ::SetEvent(FhDone.get());
  }

  // The thread holds the question itself, so a late answer touches only memory it owns.
  static DWORD WINAPI ThreadProc(void* p) {
    std::unique_ptr<std::shared_ptr<TWinQuestion>> pSelf(static_cast<std::shared_ptr<TWinQuestion>*>(p));
    (*pSelf)->Run();
    return 0;
  }

 private:
  std::function<void()> FfnAsk;
  THandleOwner FhDone;
};

// How long a worker that has answered waits for the next question before it ends.
constexpr DWORD kIdleWorkerMs = 10000;

// Starts fnThread(pArg) on a new worker; false when no thread is to be had.
bool StartThread(LPTHREAD_START_ROUTINE fnThread, void* pArg) {
  HANDLE hThread =
      ::CreateThread(nullptr, kWorkerStackBytes, fnThread, pArg, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!hThread) return false;
  ::CloseHandle(hThread);
  return true;
}
}  // namespace

// The worker that is kept. It and the runner share this; whichever lets go last
// frees it, so a runner gone before its worker leaves nothing behind.
struct TWinQuestionRunner::TKeptWorker {
  enum class TState { None, Busy, Idle };  // Idle: it waits on hWake for pNext
  std::mutex Lock;
  THandleOwner hWake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  TState State = TState::None;
  std::shared_ptr<TWinQuestion> pNext;
};

namespace {
struct TKeptWorkerStart {
  std::shared_ptr<TWinQuestionRunner::TKeptWorker> pWorker;
  std::shared_ptr<TWinQuestion> pFirst;
};

DWORD WINAPI KeptWorkerProc(void* p) {
  std::unique_ptr<TKeptWorkerStart> pStart(static_cast<TKeptWorkerStart*>(p));
  const std::shared_ptr<TWinQuestionRunner::TKeptWorker> pWorker = pStart->pWorker;
  std::shared_ptr<TWinQuestion> pQuestion = std::move(pStart->pFirst);
  pStart.reset();
  for (;;) {
    pQuestion->Run();
    pQuestion.reset();
    {
      std::lock_guard<std::mutex> lock(pWorker->Lock);
      pWorker->State = TWinQuestionRunner::TKeptWorker::TState::Idle;
    }
    ::WaitForSingleObject(pWorker->hWake.get(), kIdleWorkerMs);
    std::lock_guard<std::mutex> lock(pWorker->Lock);
    pQuestion = std::move(pWorker->pNext);
    if (pQuestion) continue;  // Start has made it busy again
    // Nothing came: the next question starts a worker of its own.
    pWorker->State = TWinQuestionRunner::TKeptWorker::TState::None;
    return 0;
  }
}
}  // namespace

TWinQuestionRunner::TWinQuestionRunner(std::function<void()> fnPump, std::function<bool()> fnStop)
    : FfnPump(std::move(fnPump)), FfnStop(std::move(fnStop)), FpKept(std::make_shared<TKeptWorker>()) {}

TWinQuestionRunner::~TWinQuestionRunner() = default;

std::shared_ptr<IQuestionRunner::TQuestion> TWinQuestionRunner::Start(std::function<void()> fnAsk) {
  auto pQuestion = std::make_shared<TWinQuestion>(std::move(fnAsk));
  if (pQuestion->Event()) {
    // A thread costs about a millisecond to start under Wine, more on Windows with
    // every DLL's thread attach: the worker that has answered takes the next question.
    // One still busy (a drive that does not answer) is never waited for.
    if (FpKept->hWake) {
      using TState = TKeptWorker::TState;
      std::lock_guard<std::mutex> lock(FpKept->Lock);
      if (FpKept->State == TState::Idle) {
        FpKept->State = TState::Busy;
        FpKept->pNext = pQuestion;
        ::SetEvent(FpKept->hWake.get());
        return pQuestion;
      }
      if (FpKept->State == TState::None) {
        auto* pStart = new TKeptWorkerStart{FpKept, pQuestion};
        if (StartThread(&KeptWorkerProc, pStart)) {
          FpKept->State = TState::Busy;
          return pQuestion;
        }
        delete pStart;
      }
    }
    auto* pOwner = new std::shared_ptr<TWinQuestion>(pQuestion);
    if (StartThread(&TWinQuestion::ThreadProc, pOwner)) return pQuestion;
    delete pOwner;
  }
  // No thread or event to be had: asked here, as it was before there were workers.
  pQuestion->Run();
  return pQuestion;
}

bool TWinQuestionRunner::Wait(TQuestion& aQuestion, unsigned nLimitMs) {
  auto& q = static_cast<TWinQuestion&>(aQuestion);
  if (!q.Event()) return q.Done();
  const DWORD dwStart = ::GetTickCount();
  HANDLE h = q.Event();
  if (!FfnPump) return ::WaitForSingleObject(h, nLimitMs) == WAIT_OBJECT_0;
  for (;;) {
    if (FfnStop && FfnStop()) return q.Done();
    const DWORD dwElapsed = ::GetTickCount() - dwStart;  // unsigned: right across the wrap
    if (dwElapsed >= nLimitMs) return q.Done();
    const DWORD r = ::MsgWaitForMultipleObjects(1, &h, FALSE, nLimitMs - dwElapsed, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_OBJECT_0 + 1) {
      FfnPump();
      continue;
    }
    return q.Done();  // the time is up, or the wait failed
  }
}

}  // namespace sw
