#pragma once
#include <cstdint>
#include <exception>
#include <map>
#include <string>

#include "check/Measurements.h"

namespace sw {

// The drives as one collection run asks them: each drive once. A drive that does not
// answer (a network drive whose server is off) keeps every question waiting for the
// network's time-out, so in this run it is asked nothing more. Made anew for each run.
class TRunDriveQuery : public IDriveQuery {
 public:
  explicit TRunDriveQuery(IDriveQuery& aDrives) : FDrives(aDrives) {}
  TRunDriveQuery(const TRunDriveQuery&) = delete;
  TRunDriveQuery& operator=(const TRunDriveQuery&) = delete;

  // The first question for a drive goes to the platform; every later one gets the same
  // answer, a raised error included.
  bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) override;
  // "???" without asking the platform when the drive gave no sizes.
  std::wstring QueryFileSystemName(wchar_t cLetter) override;
  // True when the drive gave its sizes; false when it did not or its query raised.
  bool Answers(wchar_t cLetter);

 private:
  struct TAnswer {
    bool bAnswered = false;
    std::int64_t nFree = -1, nTotal = -1;
    std::exception_ptr pError;
  };
  const TAnswer& Ask(wchar_t cLetter);

  IDriveQuery& FDrives;
  std::map<wchar_t, TAnswer> FAnswers;  // by upper-case letter: "d:" and "D:" are one drive
};

}  // namespace sw
