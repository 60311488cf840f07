#include "check/DriveQuestions.h"

namespace sw {

bool TDriveQuestions::StillWaiting(wchar_t cDrive) {
  const auto it = FWaiting.find(AsciiUpper(cDrive));
  if (it == FWaiting.end()) return false;
  if (!it->second->Done()) return true;
  // It has answered since: asked anew, the late answer counts for nothing.
  FWaiting.erase(it);
  return false;
}

TDriveFacts MeasureDrive(IDriveSystem& aSystem, wchar_t cLetter) {
  TDriveFacts f;
  std::wstring sRoot{cLetter, L':', L'\\'};
  bool bUnknown = !aSystem.KnowsRoot(sRoot);
  if (!bUnknown) f.bAnswered = aSystem.GetDiskSpace(sRoot, f.nFree, f.nTotal, bUnknown);
  if (bUnknown) {
    f.bUnknownLetter = true;
    const std::wstring sRemote = aSystem.RememberedRemotePath(cLetter);
    if (sRemote.size() > 2 && sRemote.compare(0, 2, L"\\\\") == 0) {
      sRoot = sRemote.back() == L'\\' ? sRemote : sRemote + L'\\';
      bool bIgnored = false;
      f.bAnswered = aSystem.GetDiskSpace(sRoot, f.nFree, f.nTotal, bIgnored);
    }
  }
  if (f.bAnswered) f.sFileSystem = aSystem.QueryFileSystemName(sRoot);
  f.sRoot = std::move(sRoot);
  return f;
}

}  // namespace sw
