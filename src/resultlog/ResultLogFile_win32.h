#pragma once
#include <string>

#include "resultlog/ResultLogFile.h"

namespace sw {

// "Ergebnisse des Sichtwerks zur Prüfung.log" in the folder of the running exe, or
// the file given.
class TResultLogFileWin32 : public IResultLogFile {
 public:
  TResultLogFileWin32();
  explicit TResultLogFileWin32(std::wstring sPath) : FsPath(std::move(sPath)) {}
  const std::wstring& Path() const { return FsPath; }

  bool EnsureExists() override;
  bool ReadHead(std::size_t cbMax, std::string& sBytes, bool& bTruncated) override;
  bool Append(const std::string& sBytes) override;

 private:
  std::wstring FsPath;
};

}  // namespace sw
