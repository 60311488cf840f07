#include "report/InfoItem.h"

namespace sw {

std::wstring TServiceInfos::CollectOvraHeaderInfos() { return std::wstring(); }

}  // namespace sw
