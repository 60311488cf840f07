#pragma once
#include <string>

#include "sysquery/RegistryReader.h"

namespace sw {

// Finds the installed practice information system. All three outputs are written in
// every call: display name, the vendor's support address and the installation path as
// the registry or the environment holds it, each "" when nothing is detected.
// The first row whose key exists decides, even when its path value is missing.
void GetAISInstallation(IRegistryReader& aRegistry, IEnvironment& aEnvironment, std::wstring& sName,
                        std::wstring& sMailTo, std::wstring& sPath);

}  // namespace sw
