#include "win32/SystemDllLoad.h"

namespace sw {

namespace {
// LoadLibraryExW's answer to flags the system does not know.
constexpr std::uint32_t kErrorInvalidParameter = 87;
}  // namespace

TSystemDllLoad FirstSystemDllLoad(bool bSearchFlagsKnown) {
  return bSearchFlagsKnown ? TSystemDllLoad::SearchSystem32 : TSystemDllLoad::FullPathOnly;
}

TSystemDllLoad NextSystemDllLoad(TSystemDllLoad aTried, std::uint32_t dwError) {
  if (aTried == TSystemDllLoad::SearchSystem32 && dwError == kErrorInvalidParameter)
    return TSystemDllLoad::FullPathOnly;
  return TSystemDllLoad::None;
}

}  // namespace sw
