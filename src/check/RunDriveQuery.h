#pragma once
#include <cstdint>
#include <exception>
#include <map>
#include <optional>
#include <string>

#include "check/Measurements.h"

namespace sw {

inline constexpr const wchar_t* kDriveUnreachableElevated =
    L"Laufwerk nicht erreichbar! (Als Administrator gestartet: Netzlaufwerke des Benutzers sind nicht verbunden.)";

// The drives as one collection run asks them: each drive once, on the worker, for at
// most kDriveAnswerLimitMs. A drive that does not answer (a network drive whose server
// is off) is asked nothing more in this run. Made anew for each run.
class TRunDriveQuery : public IDriveQuery {
 public:
  explicit TRunDriveQuery(IMeasurements& aMeasure) : FMeasure(aMeasure) {}
  TRunDriveQuery(const TRunDriveQuery&) = delete;
  TRunDriveQuery& operator=(const TRunDriveQuery&) = delete;

  // The first question for a drive goes to the worker; every later one gets the same
  // answer, a raised error included.
  bool GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) override;
  // "???" when the drive gave no sizes.
  std::wstring QueryFileSystemName(wchar_t cLetter) override;
  // Says why, where a program started as administrator cannot see the user's drive.
  std::wstring UnreachableText(wchar_t cLetter) override;
  // True when the drive gave its sizes; false when it did not or its query raised.
  bool Answers(wchar_t cLetter);
  // Whether the file exists, asked on the worker once its drive cLetter has answered;
  // false for a drive that has not.
  bool FileExists(wchar_t cLetter, const std::wstring& sPath);

 private:
  struct TAnswer {
    std::optional<TDriveFacts> Facts;  // none: no answer in time
    std::exception_ptr pError;
    bool Answered() const { return Facts && Facts->bAnswered; }
  };
  const TAnswer& Ask(wchar_t cLetter);

  IMeasurements& FMeasure;
  std::map<wchar_t, TAnswer> FAnswers;  // by upper-case letter: "d:" and "D:" are one drive
};

}  // namespace sw
