#include "resultlog/ResultLogFile_win32.h"

#include <windows.h>

#include <algorithm>

#include "win32/ModuleFile_win32.h"
#include "win32/UniqueHandle_win32.h"

namespace sw {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Writers of every running copy lock this one byte, far beyond any real end of file
// so that no reader of the text is ever blocked by it.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kLockOffsetLow = 0;
// A copy holds the lock only for one write; waiting longer than this means
// something else holds it, and the operation gives up instead of hanging the run.
constexpr DWORD kLockWaitMs = 5000;
constexpr DWORD kLockRetryMs = 10;

class TRangeLock {
 public:
  TRangeLock(HANDLE h, bool bExclusive) : Fh(h) {
    const DWORD dwFlags = LOCKFILE_FAIL_IMMEDIATELY | (bExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    for (DWORD dwWaited = 0;; dwWaited += kLockRetryMs) {
      OVERLAPPED ov{};
      ov.Offset = kLockOffsetLow;
      ov.OffsetHigh = kLockOffsetHigh;
      if (::LockFileEx(Fh, dwFlags, 0, 1, 0, &ov)) {
        FbLocked = true;
        return;
      }
      if (::GetLastError() != ERROR_LOCK_VIOLATION) {
        // A file system without byte-range locks (some network shares): the one
        // append-only write is then all the protection there is.
        FbUnsupported = true;
        return;
      }
      if (dwWaited >= kLockWaitMs) return;
      ::Sleep(kLockRetryMs);
    }
  }
  ~TRangeLock() {
    if (!FbLocked) return;
    OVERLAPPED ov{};
    ov.Offset = kLockOffsetLow;
    ov.OffsetHigh = kLockOffsetHigh;
    ::UnlockFileEx(Fh, 0, 1, 0, &ov);
  }
  TRangeLock(const TRangeLock&) = delete;
  TRangeLock& operator=(const TRangeLock&) = delete;
  bool Locked() const { return FbLocked; }
  // True when the lock is held or the file system has none to offer; false only when
  // another writer holds it past the wait.
  bool MayWrite() const { return FbLocked || FbUnsupported; }

 private:
  HANDLE Fh;
  bool FbLocked = false;
  bool FbUnsupported = false;
};

bool IsPlainFile(const std::wstring& sPath) {
  const DWORD a = ::GetFileAttributesW(sPath.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Cuts a failed append back to the size the file had before it.
void CutBack(const std::wstring& sPath, LONGLONG nOldSize) {
  TFileHandle h(::CreateFileW(sPath.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h.get(), &size) || size.QuadPart <= nOldSize) return;
  LARGE_INTEGER pos{};
  pos.QuadPart = nOldSize;
  if (::SetFilePointerEx(h.get(), pos, nullptr, FILE_BEGIN)) ::SetEndOfFile(h.get());
}

}  // namespace

std::wstring LongPathForm(const std::wstring& s) {
  if (s.size() < MAX_PATH || s.rfind(L"\\\\?\\", 0) == 0) return s;
  if (s.size() > 2 && s[1] == L':') return L"\\\\?\\" + s;
  if (s.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + s.substr(2);
  return s;
}

std::wstring FolderOf(const std::wstring& sPath) {
  const auto p = sPath.find_last_of(L"\\/:");
  return p == std::wstring::npos ? std::wstring() : sPath.substr(0, p + 1);
}

TResultLogFileWin32::TResultLogFileWin32() {
  const std::wstring sExe = ExePathW();
  const std::wstring sFolder = FolderOf(sExe);
  if (!sFolder.empty()) FsPath = LongPathForm(sFolder + kResultLogName);
}

bool TResultLogFileWin32::EnsureExists() {
  if (FsPath.empty()) return false;
  if (IsPlainFile(FsPath)) return true;
  // CREATE_NEW never truncates: when another copy created it in between, this fails
  // and the check below finds its file.
  TFileHandle h(::CreateFileW(FsPath.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  h.reset();
  return IsPlainFile(FsPath);
}

bool TResultLogFileWin32::ReadHead(std::size_t cbMax, std::string& sBytes, bool& bTruncated) {
  sBytes.clear();
  bTruncated = false;
  if (FsPath.empty()) return false;
  TFileHandle h(::CreateFileW(FsPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!h) return false;
  // Shared: no copy is half-way through a block while we read. Without the lock the
  // read goes on; at worst the newest block shows in part.
  TRangeLock lock(h.get(), false);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h.get(), &size) || size.QuadPart < 0) return false;
  const unsigned long long cbFile = static_cast<unsigned long long>(size.QuadPart);
  const std::size_t cbWant = cbFile < cbMax ? static_cast<std::size_t>(cbFile) : cbMax;
  std::string buf(cbWant, '\0');
  std::size_t cbGot = 0;
  while (cbGot < cbWant) {
    const DWORD cbChunk = static_cast<DWORD>(std::min<std::size_t>(cbWant - cbGot, 1u << 20));
    DWORD cbRead = 0;
    if (!::ReadFile(h.get(), buf.data() + cbGot, cbChunk, &cbRead, nullptr)) return false;
    if (cbRead == 0) break;  // the file shrank meanwhile
    cbGot += cbRead;
  }
  buf.resize(cbGot);
  sBytes = std::move(buf);
  bTruncated = cbFile > cbGot;
  return true;
}

bool TResultLogFileWin32::Append(const std::string& sBytes) {
  if (FsPath.empty() || sBytes.size() > MAXDWORD) return false;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the
  // file, whoever else writes. FILE_READ_DATA is there for LockFileEx.
  TFileHandle h(::CreateFileW(FsPath.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return false;
  TRangeLock lock(h.get(), true);
  if (!lock.MayWrite()) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h.get(), &size)) return false;
  DWORD cbWritten = 0;
  const DWORD cb = static_cast<DWORD>(sBytes.size());
  const BOOL bOk = ::WriteFile(h.get(), sBytes.data(), cb, &cbWritten, nullptr);
  if (!bOk || cbWritten != cb) {
    // Disk full or a write error: a half block would run into the next one, so the
    // file goes back to its old end (still under the lock, so no copy wrote since;
    // without a lock a block of another copy could follow, and it stays).
    if (lock.Locked()) CutBack(FsPath, size.QuadPart);
    return false;
  }
  return ::FlushFileBuffers(h.get()) != FALSE;
}

}  // namespace sw
