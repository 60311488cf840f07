#pragma once
#include <cstdint>
#include <string>

namespace sw {

// Root selector: 1 = HKEY_LOCAL_MACHINE, 2 = HKEY_CLASSES_ROOT, anything else HKEY_CURRENT_USER.
using TRootSelector = std::uint8_t;
inline constexpr TRootSelector rsCurrentUser = 0, rsLocalMachine = 1, rsClassesRoot = 2;

// Read-only registry access and the environment, as the detection sees them
// (uRegistryUtils on Windows, fakes in tests). None of these raises.
class IRegistryReader {
 public:
  virtual ~IRegistryReader() = default;
  virtual std::wstring RegReadString(TRootSelector aRoot, const std::wstring& sKey,
                                     const std::wstring& sName, const std::wstring& sDefault) = 0;
  virtual std::int32_t RegReadInteger(TRootSelector aRoot, const std::wstring& sKey,
                                      const std::wstring& sName, std::int32_t iDefault) = 0;
  virtual bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) = 0;
};

class IEnvironment {
 public:
  virtual ~IEnvironment() = default;
  // "" when the variable is not set.
  virtual std::wstring GetEnvVar(const std::wstring& sName) = 0;
};

}  // namespace sw
