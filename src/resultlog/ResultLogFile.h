#pragma once
#include <cstddef>
#include <string>

namespace sw {

// The result log file beside the executable, as bytes (a Win32 adapter on Windows,
// a folder of the test's own in tests). No operation raises.
class IResultLogFile {
 public:
  virtual ~IResultLogFile() = default;
  // Creates the file empty when it is missing; false when it still does not exist.
  virtual bool EnsureExists() = 0;
  // Reads at most cbMax bytes from the start. bTruncated tells whether the file holds
  // more. False when the file cannot be read.
  virtual bool ReadHead(std::size_t cbMax, std::string& sBytes, bool& bTruncated) = 0;
  // Appends the bytes at the end of the file in one write; false on any error.
  virtual bool Append(const std::string& sBytes) = 0;
};

}  // namespace sw
