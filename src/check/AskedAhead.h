#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "check/DriveQuestions.h"

namespace sw {

// A query of the first run, asked on a worker while the window is still being shown.
// The first Take gets its answer; after that, or when the answer does not come within
// the limit, the caller asks the query itself.
template <class T>
class TAskedAhead {
 public:
  void Start(IQuestionRunner& aRunner, std::function<T()> fnAsk) {
    FpRunner = &aRunner;
    FpAnswer = std::make_shared<std::optional<T>>();
    FpQuestion = aRunner.Start([pAnswer = FpAnswer, fnAsk = std::move(fnAsk)] {
      try {
        *pAnswer = fnAsk();
      } catch (...) {
        // No answer: the caller asks again.
      }
    });
  }

  std::optional<T> Take(unsigned nLimitMs) {
    if (!FpQuestion) return std::nullopt;
    const auto pQuestion = std::move(FpQuestion);
    const auto pAnswer = std::move(FpAnswer);
    if (!FpRunner->Wait(*pQuestion, nLimitMs)) return std::nullopt;
    return std::move(*pAnswer);
  }

  // An answer not taken by the run it was asked for is not given to a later one.
  void Forget() {
    FpQuestion.reset();
    FpAnswer.reset();
  }

 private:
  IQuestionRunner* FpRunner = nullptr;
  std::shared_ptr<IQuestionRunner::TQuestion> FpQuestion;
  std::shared_ptr<std::optional<T>> FpAnswer;
};

}  // namespace sw
