#include "check/QuestionRunner_win32.h"

#include "win32/UniqueHandle_win32.h"

namespace sw {

namespace {
// Enough for the file-system calls and for loading IP Helper's DLLs; reserved, not
// committed.
constexpr SIZE_T kWorkerStackBytes = 256 * 1024;

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
}  // namespace

std::shared_ptr<IQuestionRunner::TQuestion> TWinQuestionRunner::Start(std::function<void()> fnAsk) {
  auto pQuestion = std::make_shared<TWinQuestion>(std::move(fnAsk));
  if (pQuestion->Event()) {
    auto* pOwner = new std::shared_ptr<TWinQuestion>(pQuestion);
    HANDLE hThread = ::CreateThread(nullptr, kWorkerStackBytes, &TWinQuestion::ThreadProc, pOwner,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (hThread) {
      ::CloseHandle(hThread);
      return pQuestion;
    }
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
