#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "check/DriveQuestions.h"

namespace sw {

// Each question on a thread of its own, which does nothing but the question's blocking
// calls and owns all it touches. Nothing ever waits for such a thread to end: a call
// on a dead server may outlast the program's window, and Windows cannot always cancel
// it. While the window's thread waits, it handles its messages through fnPump (so it
// repaints and can be moved); fnStop cuts the wait short (a held close request).
class TWinQuestionRunner : public IQuestionRunner {
 public:
  TWinQuestionRunner(std::function<void()> fnPump, std::function<bool()> fnStop)
      : FfnPump(std::move(fnPump)), FfnStop(std::move(fnStop)) {}

  std::shared_ptr<TQuestion> Start(std::function<void()> fnAsk) override;
  bool Wait(TQuestion& aQuestion, unsigned nLimitMs) override;

 private:
  std::function<void()> FfnPump;
  std::function<bool()> FfnStop;
};

}  // namespace sw
