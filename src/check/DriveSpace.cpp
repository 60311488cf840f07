#include "check/Measurements.h"
#include "report/InfoItem.h"

namespace sw {

// Placeholder until the drive rating lands.
void TServiceInfos::GetDriveSpaceInformation(wchar_t, std::wstring&, TColor& cColor, std::int32_t,
                                             IDriveQuery&, ILocale&) {
  cColor = clNavy;
}

}  // namespace sw
