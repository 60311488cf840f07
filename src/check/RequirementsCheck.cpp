#include "check/Measurements.h"
#include "report/InfoItem.h"

namespace sw {

// Placeholder until the requirements check lands.
void TServiceInfos::CollectImportantEnvironmentInfos(std::wstring& sAISMail_To, IMeasurements&) {
  iPoints = 0;
  sAISMail_To.clear();
}

}  // namespace sw
