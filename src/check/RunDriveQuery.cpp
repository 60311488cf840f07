#include "check/RunDriveQuery.h"

namespace sw {

const TRunDriveQuery::TAnswer& TRunDriveQuery::Ask(wchar_t cLetter) {
  const wchar_t cKey = (cLetter >= L'a' && cLetter <= L'z') ? static_cast<wchar_t>(cLetter - L'a' + L'A') : cLetter;
  const auto it = FAnswers.find(cKey);
  if (it != FAnswers.end()) return it->second;
  TAnswer a;
  try {
    a.bAnswered = FDrives.GetDiskSpace(cLetter, a.nFree, a.nTotal);
  } catch (...) {
    a.bAnswered = false;
    a.pError = std::current_exception();
  }
  return FAnswers.emplace(cKey, std::move(a)).first->second;
}

bool TRunDriveQuery::GetDiskSpace(wchar_t cLetter, std::int64_t& nFreeBytes, std::int64_t& nTotalBytes) {
  const TAnswer& a = Ask(cLetter);
  if (a.pError) std::rethrow_exception(a.pError);
  nFreeBytes = a.nFree;
  nTotalBytes = a.nTotal;
  return a.bAnswered;
}

std::wstring TRunDriveQuery::QueryFileSystemName(wchar_t cLetter) {
  if (!Answers(cLetter)) return L"???";
  return FDrives.QueryFileSystemName(cLetter);
}

bool TRunDriveQuery::Answers(wchar_t cLetter) { return Ask(cLetter).bAnswered; }

}  // namespace sw
