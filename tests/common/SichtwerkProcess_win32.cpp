#include "SichtwerkProcess_win32.h"

#include <algorithm>
#include <cwctype>
#include <map>

#include "Wait_win32.h"

namespace sw::test {

namespace {
constexpr const wchar_t* kMainClass = L"TMainForm";

std::wstring EnvValue(const wchar_t* sName) {
  wchar_t buf[2048];
  const DWORD cch = ::GetEnvironmentVariableW(sName, buf, ARRAYSIZE(buf));
  return cch > 0 && cch < ARRAYSIZE(buf) ? std::wstring(buf, cch) : std::wstring();
}

// SW_BINARY_DIR is a Unix path when the test runs under Wine; Z: maps the Unix root.
std::wstring ToWindowsPath(std::wstring s) {
  if (!s.empty() && s[0] == L'/') s = L"Z:" + s;
  for (auto& c : s)
    if (c == L'/') c = L'\\';
  while (s.size() > 3 && s.back() == L'\\') s.pop_back();
  return s;
}

void CreateFolders(const std::wstring& sPath) {
  for (std::size_t i = 3; i <= sPath.size(); ++i)
    if (i == sPath.size() || sPath[i] == L'\\') ::CreateDirectoryW(sPath.substr(0, i).c_str(), nullptr);
}

std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

// Memory in another process, freed when the object dies.
class TRemoteMemory {
 public:
  TRemoteMemory(HANDLE hProcess, SIZE_T cb)
      : Fh(hProcess), Fp(::VirtualAllocEx(hProcess, nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~TRemoteMemory() {
    if (Fp) ::VirtualFreeEx(Fh, Fp, 0, MEM_RELEASE);
  }
  TRemoteMemory(const TRemoteMemory&) = delete;
  TRemoteMemory& operator=(const TRemoteMemory&) = delete;
  void* get() const { return Fp; }
  bool Write(const void* p, SIZE_T cb, SIZE_T nOffset = 0) const {
    SIZE_T done = 0;
    return Fp && ::WriteProcessMemory(Fh, static_cast<char*>(Fp) + nOffset, p, cb, &done) && done == cb;
  }
  bool Read(void* p, SIZE_T cb, SIZE_T nOffset = 0) const {
    SIZE_T done = 0;
    return Fp && ::ReadProcessMemory(Fh, static_cast<char*>(Fp) + nOffset, p, cb, &done) && done == cb;
  }

 private:
  HANDLE Fh;
  void* Fp;
};

std::wstring WindowText(HWND hwnd) {
  if (!hwnd) return {};
  DWORD_PTR cch = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &cch)) return {};
  std::wstring s(cch + 1, L'\0');
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, cch + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000,
                             &got))
    return {};
  s.resize(got <= cch ? got : cch);
  return s;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[128] = {};
  ::GetClassNameW(hwnd, buf, ARRAYSIZE(buf));
  return buf;
}

struct TFindMain {
  DWORD dwPid;
  HWND hFound;
};
BOOL CALLBACK FindMainProc(HWND hwnd, LPARAM lParam) {
  auto* f = reinterpret_cast<TFindMain*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == f->dwPid && ClassOf(hwnd) == kMainClass) {
    f->hFound = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct TFindChild {
  const wchar_t* sClass;
  const std::wstring* sText;
  HWND hFound;
};
BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM lParam) {
  auto* f = reinterpret_cast<TFindChild*>(lParam);
  if (Upper(ClassOf(hwnd)) == Upper(f->sClass) && (f->sText->empty() || WindowText(hwnd) == *f->sText)) {
    f->hFound = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::string ToUtf8(const std::wstring& s) {
  if (s.empty()) return {};
  const int cb = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(static_cast<std::size_t>(cb), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), cb, nullptr, nullptr);
  return r;
}

std::wstring TestProgramFolder() {
  wchar_t buf[MAX_PATH * 4];
  const DWORD cch = ::GetModuleFileNameW(nullptr, buf, ARRAYSIZE(buf));
  std::wstring s(buf, cch < ARRAYSIZE(buf) ? cch : 0);
  const auto slash = s.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : s.substr(0, slash);
}

std::wstring ScratchFolder(const std::wstring& sName) {
  wchar_t buf[MAX_PATH];
  const DWORD cch = ::GetTempPathW(ARRAYSIZE(buf), buf);
  if (cch == 0 || cch >= ARRAYSIZE(buf)) return {};
  std::wstring s = ToWindowsPath(std::wstring(buf, cch)) + L"\\sw-tests\\" + sName + L"-" +
                   std::to_wstring(::GetCurrentProcessId());
  CreateFolders(s);
  ::DeleteFileW((s + L"\\Sichtwerk.exe").c_str());
  ::DeleteFileW((s + L"\\Ergebnisse des Sichtwerks zur Prüfung.log").c_str());
  return (::GetFileAttributesW(s.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? s : std::wstring();
}

std::wstring ArtifactPath(const std::wstring& sFileName) {
  std::wstring sDir = EnvValue(L"SW_BINARY_DIR");
  sDir = sDir.empty() ? TestProgramFolder() + L"\\artifacts" : ToWindowsPath(sDir) + L"\\artifacts";
  CreateFolders(sDir);
  return sDir + L"\\" + sFileName;
}

TSichtwerkProcess::~TSichtwerkProcess() {
  if (Fpi.hProcess) {
    if (::WaitForSingleObject(Fpi.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(Fpi.hProcess, 99);
      ::WaitForSingleObject(Fpi.hProcess, 10000);
    }
    ::CloseHandle(Fpi.hProcess);
  }
  if (Fpi.hThread) ::CloseHandle(Fpi.hThread);
}

bool TSichtwerkProcess::Start(const std::wstring& sFolder, const TEnvironment& aExtraEnv, DWORD msTimeout,
                              const std::wstring& sSourceFolder) {
  if (Fpi.hProcess || sFolder.empty()) return false;
  const std::wstring sSource = (sSourceFolder.empty() ? TestProgramFolder() : sSourceFolder) + L"\\Sichtwerk.exe";
  FsExe = sFolder + L"\\Sichtwerk.exe";
  if (Upper(sSource) != Upper(FsExe) && !::CopyFileW(sSource.c_str(), FsExe.c_str(), FALSE)) return false;

  // The test's environment with the extra names set or removed.
  std::map<std::wstring, std::pair<std::wstring, std::wstring>> env;  // upper name -> (name, value)
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
      const std::wstring e = p;
      const auto eq = e.find(L'=', 1);  // "=C:=C:\..." entries start with '='
      if (eq == std::wstring::npos) continue;
      env[Upper(e.substr(0, eq))] = {e.substr(0, eq), e.substr(eq + 1)};
    }
    ::FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : aExtraEnv) {
    if (value.empty())
      env.erase(Upper(name));
    else
      env[Upper(name)] = {name, value};
  }
  std::wstring sBlock;
  for (const auto& [key, nv] : env) sBlock += nv.first + L"=" + nv.second + L'\0';
  sBlock += L'\0';

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  std::wstring sCmd = L"\"" + FsExe + L"\"";
  if (!::CreateProcessW(FsExe.c_str(), sCmd.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        sBlock.data(), sFolder.c_str(), &si, &Fpi))
    return false;
  ::WaitForInputIdle(Fpi.hProcess, msTimeout);
  const ULONGLONG tEnd = ::GetTickCount64() + msTimeout;
  do {
    TFindMain f{Fpi.dwProcessId, nullptr};
    ::EnumWindows(&FindMainProc, reinterpret_cast<LPARAM>(&f));
    if (f.hFound) {
      Fhwnd = f.hFound;
      return true;
    }
    if (::WaitForSingleObject(Fpi.hProcess, kPollMs) == WAIT_OBJECT_0) return false;
  } while (::GetTickCount64() < tEnd);
  return false;
}

bool TSichtwerkProcess::WaitForStatus(const std::wstring& sStatus, DWORD msTimeout) {
  if (!Fhwnd) return false;
  const ULONGLONG tEnd = ::GetTickCount64() + msTimeout;
  do {
    if (Status() == sStatus) return true;
    if (::WaitForSingleObject(Fpi.hProcess, kPollMs) == WAIT_OBJECT_0) return false;
  } while (::GetTickCount64() < tEnd);
  return Status() == sStatus;
}

bool TSichtwerkProcess::WaitForReport(DWORD msTimeout) { return WaitForStatus(kStatusDone, msTimeout); }

bool TSichtwerkProcess::CollectAgain(DWORD msTimeout) {
  const std::wstring sLog = FsExe.substr(0, FsExe.find_last_of(L'\\')) + L"\\Ergebnisse des Sichtwerks zur Pr\u00fcfung.log";
  const auto LogSize = [&] {
    WIN32_FILE_ATTRIBUTE_DATA fad{};
    if (!::GetFileAttributesExW(sLog.c_str(), GetFileExInfoStandard, &fad)) return 0ULL;
    return (static_cast<ULONGLONG>(fad.nFileSizeHigh) << 32) | fad.nFileSizeLow;
  };
  const ULONGLONG nBefore = LogSize();
  const ULONGLONG tStart = ::GetTickCount64();
  // The status line alone cannot tell the new run from the last one: it reads the same
  // before the click and after a run that is over quickly.
  if (!PressButton(L"Informationen erneut sammeln") || !WaitFor([&] { return LogSize() > nBefore; }, msTimeout))
    return false;
  const ULONGLONG msSpent = ::GetTickCount64() - tStart;
  return WaitForReport(msSpent < msTimeout ? static_cast<DWORD>(msTimeout - msSpent) : 0);
}

std::wstring TSichtwerkProcess::Caption() const { return WindowText(Fhwnd); }

HWND TSichtwerkProcess::FindChild(const wchar_t* sClass, const std::wstring& sText) const {
  if (!Fhwnd) return nullptr;
  TFindChild f{sClass, &sText, nullptr};
  ::EnumChildWindows(Fhwnd, &FindChildProc, reinterpret_cast<LPARAM>(&f));
  return f.hFound;
}

// The status line is the window's only static control.
std::wstring TSichtwerkProcess::Status() const { return WindowText(FindChild(L"Static", L"")); }

HWND TSichtwerkProcess::Pane() const { return FindChild(L"RICHEDIT50W", L""); }

std::wstring TSichtwerkProcess::PaneText() const {
  HWND hPane = Pane();
  if (!hPane) return {};
  GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_USECRLF | GTL_PRECISE, 1200};
  TRemoteMemory length(Fpi.hProcess, sizeof(gtl));
  if (!length.Write(&gtl, sizeof(gtl))) return {};
  DWORD_PTR cch = 0;
  if (!::SendMessageTimeoutW(hPane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(length.get()), 0, SMTO_ABORTIFHUNG,
                             5000, &cch))
    return {};
  const SIZE_T cbText = (cch + 1) * sizeof(wchar_t);
  TRemoteMemory mem(Fpi.hProcess, sizeof(GETTEXTEX) + cbText);
  GETTEXTEX gt{};
  gt.cb = static_cast<DWORD>(cbText);
  gt.flags = GT_USECRLF;
  gt.codepage = 1200;
  if (!mem.Write(&gt, sizeof(gt))) return {};
  auto* pText = static_cast<char*>(mem.get()) + sizeof(GETTEXTEX);
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutW(hPane, EM_GETTEXTEX, reinterpret_cast<WPARAM>(mem.get()), reinterpret_cast<LPARAM>(pText),
                             SMTO_ABORTIFHUNG, 5000, &got))
    return {};
  if (got > cch) got = cch;
  std::wstring s(got, L'\0');
  if (got && !mem.Read(s.data(), got * sizeof(wchar_t), sizeof(GETTEXTEX))) return {};
  return s;
}

bool TSichtwerkProcess::CharFormatAt(LONG nPos, CHARFORMAT2W& cf, HWND hRichEdit) const {
  HWND hPane = hRichEdit ? hRichEdit : Pane();
  if (!hPane) return false;
  TRemoteMemory mem(Fpi.hProcess, sizeof(CHARRANGE) + sizeof(CHARFORMAT2W));
  CHARRANGE cr{nPos, nPos + 1};
  CHARFORMAT2W in{};
  in.cbSize = sizeof(in);
  if (!mem.Write(&cr, sizeof(cr)) || !mem.Write(&in, sizeof(in), sizeof(cr))) return false;
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(hPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(mem.get()), SMTO_ABORTIFHUNG, 5000, &r))
    return false;
  auto* pcf = static_cast<char*>(mem.get()) + sizeof(CHARRANGE);
  if (!::SendMessageTimeoutW(hPane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(pcf), SMTO_ABORTIFHUNG,
                             5000, &r))
    return false;
  return mem.Read(&cf, sizeof(cf), sizeof(CHARRANGE));
}

bool TSichtwerkProcess::PressButton(const std::wstring& sCaption) const {
  HWND hButton = FindChild(L"Button", sCaption);
  if (!hButton) return false;
  // The notification a real click sends, posted so that a modal loop behind it
  // does not block the test.
  return ::PostMessageW(::GetParent(hButton), WM_COMMAND,
                        MAKEWPARAM(::GetDlgCtrlID(hButton), BN_CLICKED), reinterpret_cast<LPARAM>(hButton)) != FALSE;
}

bool TSichtwerkProcess::Close(DWORD* pExitCode, DWORD msTimeout) {
  if (!Fpi.hProcess) return false;
  if (Fhwnd && ::IsWindow(Fhwnd)) ::PostMessageW(Fhwnd, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(Fpi.hProcess, msTimeout) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  ::GetExitCodeProcess(Fpi.hProcess, &code);
  if (pExitCode) *pExitCode = code;
  Fhwnd = nullptr;
  return true;
}

bool TSichtwerkProcess::SaveWindowScreenshot(HWND hwnd, const std::wstring& sBmpPath) {
  RECT rc{};
  if (!hwnd || !::GetWindowRect(hwnd, &rc)) return false;
  ::SetForegroundWindow(hwnd);
  // The window's own thread paints (RDW_UPDATENOW sends it WM_PAINT and waits), and
  // its picture reaches the screen when that thread is idle again: after a round trip
  // through its queue, captures are taken until two in a row are the same.
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  DWORD_PTR r = 0;
  ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return false;
  HDC hScreen = ::GetDC(nullptr);
  HDC hMem = ::CreateCompatibleDC(hScreen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HBITMAP hBmp = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  const DWORD cbRow = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
  const DWORD cbBits = cbRow * static_cast<DWORD>(h);
  bool bOk = false;
  if (hBmp && hMem) {
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    std::vector<char> aLast;
    WaitFor(
        [&] {
          bOk = ::BitBlt(hMem, 0, 0, w, h, hScreen, rc.left, rc.top, SRCCOPY) != FALSE;
          ::GdiFlush();
          const char* p = static_cast<const char*>(pBits);
          const bool bSettled = bOk && aLast.size() == cbBits && std::equal(aLast.begin(), aLast.end(), p);
          aLast.assign(p, p + cbBits);
          return !bOk || bSettled;
        },
        3000);
    ::SelectObject(hMem, hOld);
  }
  if (bOk) {
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + cbBits;
    bi.bmiHeader.biSizeImage = cbBits;
    HANDLE hFile = ::CreateFileW(sBmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bOk = hFile != INVALID_HANDLE_VALUE;
    if (bOk) {
      DWORD done = 0;
      bOk = ::WriteFile(hFile, &fh, sizeof(fh), &done, nullptr) && done == sizeof(fh) &&
            ::WriteFile(hFile, &bi.bmiHeader, sizeof(bi.bmiHeader), &done, nullptr) && done == sizeof(bi.bmiHeader) &&
            ::WriteFile(hFile, pBits, cbBits, &done, nullptr) && done == cbBits;
      ::CloseHandle(hFile);
    }
  }
  if (hBmp) ::DeleteObject(hBmp);
  if (hMem) ::DeleteDC(hMem);
  ::ReleaseDC(nullptr, hScreen);
  return bOk;
}

}  // namespace sw::test
