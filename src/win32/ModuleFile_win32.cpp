#include "win32/ModuleFile_win32.h"

#include <vector>

#include "common/VersionResource.h"
#include "win32/SystemLibrary_win32.h"

namespace sw {

std::wstring ExePathW(unsigned long cchStart) {
  // GetModuleFileNameW cuts the name silently when the buffer is too small (and does
  // not end it with NUL on XP): grow until the result is shorter than the buffer.
  std::wstring buf(cchStart ? cchStart : 1, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::wstring();
    if (n < buf.size() && ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      buf.resize(n);
      return buf;
    }
    if (buf.size() >= 65536) return std::wstring();
    buf.resize(buf.size() * 2);
  }
}

bool ReadFixedFileInfo(const std::wstring& sFileName, VS_FIXEDFILEINFO& aInfo) {
  using TSize = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using TInfo = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using TQuery = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  // Bound at first use and kept: importing it would load it at every start.
  static TModule version = LoadSystemLibrary(L"version.dll");
  const auto pSize = GetProc<TSize>(version.get(), "GetFileVersionInfoSizeW");
  const auto pInfo = GetProc<TInfo>(version.get(), "GetFileVersionInfoW");
  const auto pQuery = GetProc<TQuery>(version.get(), "VerQueryValueW");
  if (!pSize || !pInfo || !pQuery) return false;

  DWORD dwHandle = 0;
  const DWORD cbInfo = pSize(sFileName.c_str(), &dwHandle);
  if (cbInfo == 0) return false;
  std::vector<BYTE> info(cbInfo);
  if (!pInfo(sFileName.c_str(), 0, cbInfo, info.data())) return false;
  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT cbFixed = 0;
  if (!pQuery(info.data(), L"\\", reinterpret_cast<LPVOID*>(&pFixed), &cbFixed) || !pFixed ||
      cbFixed < sizeof(VS_FIXEDFILEINFO))
    return false;
  aInfo = *pFixed;
  return true;
}

std::wstring GetFileVersionText(const std::wstring& sFileName) {
  VS_FIXEDFILEINFO fixed{};
  if (!ReadFixedFileInfo(sFileName, fixed)) return L"";
  return VersionText(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
}

std::wstring GetToolVersion() {
  // The program's own version resource where the loader has mapped it: neither
  // version.dll nor a second mapping of the file at every start.
  HMODULE hSelf = ::GetModuleHandleW(nullptr);
  HRSRC hInfo = ::FindResourceW(hSelf, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL hData = hInfo ? ::LoadResource(hSelf, hInfo) : nullptr;
  const auto* pBlock = hData ? static_cast<const unsigned char*>(::LockResource(hData)) : nullptr;
  if (!pBlock) return L"";
  return FileVersionTextOfResource({pBlock, ::SizeofResource(hSelf, hInfo)});
}

}  // namespace sw
