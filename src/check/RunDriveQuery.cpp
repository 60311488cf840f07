#include "check/RunDriveQuery.h"

#include <memory>

#include "common/Text.h"

namespace sw {

const TRunDriveQuery::TAnswer& TRunDriveQuery::Ask(wchar_t cLetter) {
  const wchar_t cKey = AsciiUpper(cLetter);
  const auto it = FAnswers.find(cKey);
  if (it != FAnswers.end()) return it->second;
  TAnswer a;
  try {
    // The worker holds the drive system itself: the run may end before it answers.
    std::shared_ptr<IDriveSystem> pSystem = FMeasure.DriveSystem();
    a.Facts = FMeasure.DriveQuestions().Ask<TDriveFacts>(
        cLetter, [pSystem, cLetter] { return MeasureDrive(*pSystem, cLetter); });
  } catch (...) {
    a.Facts.reset();
    a.pError = std::current_exception();
  }
  return FAnswers.emplace(cKey, std::move(a)).first->second;
}

bool TRunDriveQuery::GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) {
  const TAnswer& a = Ask(cLetter);
  if (a.pError) std::rethrow_exception(a.pError);
  nFreeBytes = a.Facts ? a.Facts->nFree : -1;
  nTotalBytes = a.Facts ? a.Facts->nTotal : -1;
  return a.Answered();
}

std::wstring TRunDriveQuery::QueryFileSystemName(wchar_t cLetter) {
  const TAnswer& a = Ask(cLetter);
  return a.Answered() ? a.Facts->sFileSystem : L"???";
}

std::wstring TRunDriveQuery::UnreachableText(wchar_t cLetter) {
  const TAnswer& a = Ask(cLetter);
  // Only where the system itself said it knows no such letter; a drive that is known
  // but silent, or that did not answer in time, keeps the plain text.
  if (a.Facts && a.Facts->bUnknownLetter && !a.Answered() && FMeasure.RunsElevated())
    return kDriveUnreachableElevated;
  return kDriveUnreachable;
}

bool TRunDriveQuery::Answers(wchar_t cLetter) { return Ask(cLetter).Answered(); }

bool TRunDriveQuery::FileExists(wchar_t cLetter, const std::wstring& sPath) {
  const TAnswer& a = Ask(cLetter);
  if (!a.Answered()) return false;
  // On a letter measured at its remembered share, the file is looked for there too.
  std::wstring sWhere = sPath;
  if (sWhere.size() >= 3 && sWhere[1] == L':' && sWhere[2] == L'\\' && a.Facts->sRoot.rfind(L"\\\\", 0) == 0)
    sWhere = a.Facts->sRoot + sWhere.substr(3);
  std::shared_ptr<IDriveSystem> pSystem = FMeasure.DriveSystem();
  return FMeasure.DriveQuestions()
      .Ask<bool>(cLetter, [pSystem, sWhere] { return pSystem->FileExists(sWhere); })
      .value_or(false);
}

}  // namespace sw
