#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "check/DriveQuestions.h"

namespace sw {

// Each question on a worker thread, which does nothing but the question's blocking
// calls and owns all it touches. Nothing ever waits for a worker to end: a call on a
// dead server may outlast the program's window, and Windows cannot always cancel it.
// A worker that has answered is kept a while for the next question; while it is busy,
// a question gets a thread of its own. While the window's thread waits, it handles
// its messages through fnPump (so it repaints and can be moved); fnStop cuts the wait
// short (a held close request).
class TWinQuestionRunner : public IQuestionRunner {
 public:
  struct TKeptWorker;

  TWinQuestionRunner(std::function<void()> fnPump, std::function<bool()> fnStop);
  ~TWinQuestionRunner() override;
  TWinQuestionRunner(const TWinQuestionRunner&) = delete;
  TWinQuestionRunner& operator=(const TWinQuestionRunner&) = delete;

  std::shared_ptr<TQuestion> Start(std::function<void()> fnAsk) override;
  bool Wait(TQuestion& aQuestion, unsigned nLimitMs) override;

 private:
  std::function<void()> FfnPump;
  std::function<bool()> FfnStop;
  std::shared_ptr<TKeptWorker> FpKept;
};

}  // namespace sw
