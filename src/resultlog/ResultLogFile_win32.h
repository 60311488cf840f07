#pragma once
#include <string>

#include "resultlog/ResultLogFile.h"

namespace sw {

// "Ergebnisse des Sichtwerks zur Prüfung.log" in the folder of the running exe, or
// the file given. Opened with full sharing for each call, so that an editor or a
// second copy of the tool never makes an operation fail; appends of several copies
// are serialised with a byte-range lock, and an append that fails (disk full) is
// cut back to the old end, so that the file only ever grows by whole blocks.
class TResultLogFileWin32 : public IResultLogFile {
 public:
  TResultLogFileWin32();
  explicit TResultLogFileWin32(std::wstring sPath) : FsPath(std::move(sPath)) {}
  // Empty when the exe's own path could not be read; every operation then fails.
  const std::wstring& Path() const { return FsPath; }

  bool EnsureExists() override;
  bool ReadHead(std::size_t cbMax, std::string& sBytes, bool& bTruncated) override;
  bool Append(const std::string& sBytes) override;

 private:
  std::wstring FsPath;
};

inline constexpr const wchar_t* kResultLogName = L"Ergebnisse des Sichtwerks zur Prüfung.log";

// Paths of MAX_PATH characters or more in the \\?\ form, which Windows needs
// for them unless the process is long-path aware.
std::wstring LongPathForm(const std::wstring& sPath);
// The folder of a path with its trailing separator ("" when there is none).
std::wstring FolderOf(const std::wstring& sPath);

}  // namespace sw
