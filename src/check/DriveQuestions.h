#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Text.h"

namespace sw {

// How long the window's thread waits for a drive. Windows itself waits 20 to 60 s
// for a server that has gone; the window must answer long before that.
inline constexpr unsigned kDriveAnswerLimitMs = 5000;

// Runs questions that may block (a network drive whose server does not answer) on a
// worker, while the window's thread waits for them and goes on handling its messages.
class IQuestionRunner {
 public:
  class TQuestion {
   public:
    virtual ~TQuestion() = default;
    // True once the question has run; what it wrote is then visible to the caller.
    virtual bool Done() = 0;
  };
  virtual ~IQuestionRunner() = default;
  // Starts fnAsk on a worker. fnAsk keeps alive everything it touches: it may run on
  // long after the caller has let go of the question.
  virtual std::shared_ptr<TQuestion> Start(std::function<void()> fnAsk) = 0;
  // Waits at most nLimitMs for the question, letting the window's messages through.
  // False when it has not run by then, or when a close request cut the wait short.
  virtual bool Wait(TQuestion& aQuestion, unsigned nLimitMs) = 0;
};

// The drive questions of every run of the program. A question that did not answer in
// time is remembered by its drive: while it still waits, that drive is asked nothing
// more and has no answer at once. An answer that comes late is dropped.
class TDriveQuestions {
 public:
  explicit TDriveQuestions(IQuestionRunner& aRunner) : FRunner(aRunner) {}
  TDriveQuestions(const TDriveQuestions&) = delete;
  TDriveQuestions& operator=(const TDriveQuestions&) = delete;

  // fnAsk's answer, asked on the worker; none when it did not come within the limit or
  // a question about the same drive still waits. An error fnAsk raised is raised here.
  template <class T>
  std::optional<T> Ask(wchar_t cDrive, std::function<T()> fnAsk) {
    struct TAnswer {
      std::optional<T> Value;
      std::exception_ptr pError;
    };
    if (StillWaiting(cDrive)) return std::nullopt;
    auto pAnswer = std::make_shared<TAnswer>();
    auto pQuestion = FRunner.Start([pAnswer, fnAsk = std::move(fnAsk)] {
      try {
        pAnswer->Value = fnAsk();
      } catch (...) {
        pAnswer->pError = std::current_exception();
      }
    });
    if (!FRunner.Wait(*pQuestion, kDriveAnswerLimitMs)) {
      FWaiting[AsciiUpper(cDrive)] = std::move(pQuestion);
      return std::nullopt;
    }
    if (pAnswer->pError) std::rethrow_exception(pAnswer->pError);
    return std::move(pAnswer->Value);
  }

 private:
  bool StillWaiting(wchar_t cDrive);

  IQuestionRunner& FRunner;
  std::map<wchar_t, std::shared_ptr<IQuestionRunner::TQuestion>> FWaiting;
};

// The questions that touch a drive. Each may wait as long as the drive's server lets
// it, so they are asked on the worker only.
class IDriveSystem {
 public:
  virtual ~IDriveSystem() = default;
  // False when the system knows no drive at sRoot (GetDriveTypeW: DRIVE_NO_ROOT_DIR).
  virtual bool KnowsRoot(const std::wstring& sRoot) = 0;
  // Free and total bytes at sRoot. On failure both are -1, and bUnknownRoot tells
  // whether the system said it knows no such drive or path.
  virtual bool GetDiskSpace(const std::wstring& sRoot, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes,
                            bool& bUnknownRoot) = 0;
  // File-system name at sRoot, "???" when it cannot be read.
  virtual std::wstring QueryFileSystemName(const std::wstring& sRoot) = 0;
  // The network path the user's profile remembers for a mapped drive letter, "" when none.
  virtual std::wstring RememberedRemotePath(wchar_t cLetter) = 0;
  // True when sPath names an existing file, with the system's "insert a disk" box off.
  virtual bool FileExists(const std::wstring& sPath) = 0;
};

// What a drive told about itself.
struct TDriveFacts {
  bool bAnswered = false;       // sizes read
  bool bUnknownLetter = false;  // the system knows no drive of that letter
  std::int64_t nFree = -1, nTotal = -1;
  std::wstring sFileSystem = L"???";
  std::wstring sRoot;  // where it was measured: "<letter>:\" or a remembered share's root
};

// Sizes and file system of a drive, at "<letter>:\". A letter the system does not
// know (a program started as administrator does not see the drives the user mapped)
// is measured at the root of the network path the user's profile remembers for it.
TDriveFacts MeasureDrive(IDriveSystem& aSystem, wchar_t cLetter);

}  // namespace sw
