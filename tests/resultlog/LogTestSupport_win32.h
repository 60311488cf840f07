#pragma once
// Scratch folders and file helpers of the result-log tests under Wine.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "win32/UniqueHandle_win32.h"

namespace sw::test {

inline std::wstring Widen(const std::string& s) {
  std::wstring w(s.size(), L'\0');
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                      static_cast<int>(w.size()));
  w.resize(n > 0 ? n : 0);
  return w;
}

// A Unix path of the build tree as Wine's drive Z: shows it.
inline std::wstring WinePathOf(const std::string& sUnix) {
  std::wstring s = L"Z:" + Widen(sUnix);
  for (auto& c : s)
    if (c == L'/') c = L'\\';
  return s;
}

inline std::string EnvA(const char* sName) {
  const char* p = std::getenv(sName);
  return p ? p : "";
}

inline bool WriteFileBytes(const std::wstring& sPath, const std::string& sBytes) {
  const TFileHandle h(
      ::CreateFileW(sPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return false;
  DWORD cb = 0;
  const BOOL ok = ::WriteFile(h.get(), sBytes.data(), static_cast<DWORD>(sBytes.size()), &cb, nullptr);
  return ok && cb == sBytes.size();
}

// The whole file; "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const std::wstring& sPath) {
  const TFileHandle h(::CreateFileW(sPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return "<missing>";
  std::string s;
  char buf[65536];
  DWORD cb = 0;
  while (::ReadFile(h.get(), buf, sizeof buf, &cb, nullptr) && cb) s.append(buf, cb);
  return s;
}

// Fills the drive that holds sFillFile to the last byte; false when the file cannot be made.
inline bool FillDrive(const std::wstring& sFillFile) {
  const TFileHandle hFill(::CreateFileW(sFillFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!hFill) return false;
  const std::string sChunk(65536, 'f');
  for (const std::size_t cb : {std::size_t(65536), std::size_t(4096), std::size_t(1)}) {
    DWORD cbWritten = 0;
    while (::WriteFile(hFill.get(), sChunk.data(), static_cast<DWORD>(cb), &cbWritten, nullptr) && cbWritten == cb) {
    }
  }
  return true;
}

inline bool Exists(const std::wstring& sPath) { return ::GetFileAttributesW(sPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Deletes a folder tree (paths in the \\?\ form work as well).
inline void RemoveTree(const std::wstring& sDir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((sDir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring sName = fd.cFileName;
      if (sName == L"." || sName == L"..") continue;
      const std::wstring sPath = sDir + L"\\" + sName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(sPath);
      } else {
        ::SetFileAttributesW(sPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(sPath.c_str());
      }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  ::RemoveDirectoryW(sDir.c_str());
}

// A fresh folder of the test's own under a parent (the temp folder by default),
// removed with everything in it at the end.
class TScratchDir {
 public:
  explicit TScratchDir(std::wstring sParent = L"") {
    if (sParent.empty()) {
      wchar_t buf[MAX_PATH + 1];
      const DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
      sParent.assign(buf, n);
    }
    if (!sParent.empty() && sParent.back() == L'\\') sParent.pop_back();
    static int nCounter = 0;
    for (;;) {
      FsPath = sParent + L"\\sw-log-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++nCounter);
      if (::CreateDirectoryW(FsPath.c_str(), nullptr)) break;
      if (::GetLastError() != ERROR_ALREADY_EXISTS) {
        FsPath.clear();
        break;
      }
    }
  }
  ~TScratchDir() {
    if (!FsPath.empty()) RemoveTree(FsPath);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::wstring& Path() const { return FsPath; }
  std::wstring operator/(const std::wstring& sName) const { return FsPath + L"\\" + sName; }

 private:
  std::wstring FsPath;
};

// The mounts of tests/resultlog/mounts.sh, as Wine paths; empty when not in place.
struct TLogMounts {
  std::wstring sReadOnly, sReadOnlySource, sSmallDrive;
  static TLogMounts Get() {
    TLogMounts m;
    const std::string sRoot = EnvA("SW_BINARY_DIR") + "/resultlog-mnt";
    if (EnvA("SW_BINARY_DIR").empty() || !Exists(WinePathOf(sRoot + "/ready"))) return m;
    m.sReadOnly = WinePathOf(sRoot + "/ro");
    m.sReadOnlySource = WinePathOf(sRoot + "/ro-src");
    m.sSmallDrive = L"Y:";
    return m;
  }
};

}  // namespace sw::test
