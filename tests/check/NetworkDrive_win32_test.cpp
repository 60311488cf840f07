// A practice system on a network drive, run as the real Sichtwerk.exe under Wine
// (drives from tests/check/drives.sh). S: is a FUSE file system whose calls wait, as on
// a server that does not answer. M: is a letter the prefix does not know, whose network
// path the test makes the user's profile remember: that is how a program started as
// administrator sees a drive that the user mapped (Wine itself neither writes nor reads
// HKCU\Network, and its token is elevated).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/SichtwerkProcess_win32.h"
#include "common/Wait_win32.h"

namespace sw::test {
namespace {

const std::wstring kDriveLabel = L" belegter/gesamter Platz, Dateisystem / ";
const std::wstring kUnreachable = L"Laufwerk nicht erreichbar!";

// SW_CHECK_MOUNTS as a Windows path (Z: maps the Unix root); "" when not set.
std::wstring MountRoot() {
  wchar_t s[MAX_PATH] = {};
  const DWORD cch = ::GetEnvironmentVariableW(L"SW_CHECK_MOUNTS", s, MAX_PATH);
  if (cch == 0 || cch >= MAX_PATH || s[0] != L'/') return L"";
  std::wstring sPath = L"Z:" + std::wstring(s, cch);
  for (wchar_t& c : sPath)
    if (c == L'/') c = L'\\';
  return sPath;
}

// The first report line that begins with sPrefix.
std::wstring LineOf(const std::wstring& sPane, const std::wstring& sPrefix) {
  const std::size_t at = sPane.find(L"\r\n" + sPrefix);
  if (at == std::wstring::npos) return L"";
  const std::size_t end = sPane.find(L"\r\n", at + 2);
  return sPane.substr(at + 2, end == std::wstring::npos ? std::wstring::npos : end - at - 2);
}

// Wine takes a window that handles no messages for hung: SMTO_ABORTIFHUNG then fails at
// once, and so does a message that is not handled within the time-out.
bool Answers(HWND hwnd) {
  DWORD_PTR r = 0;
  return ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r) != 0;
}

ULONGLONG Since(ULONGLONG t) { return ::GetTickCount64() - t; }

TEST(NetworkDrive, ServerThatDoesNotAnswerNeverFreezesTheWindow) {
  const std::wstring sRoot = MountRoot();
  // Not GetLogicalDrives: Wine leaves S: out of it.
  if (sRoot.empty() || ::GetFileAttributesW((sRoot + L"\\ready").c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "drive S: of tests/check/drives.sh is missing (it needs root and FUSE)";
  const std::wstring sRelease = sRoot + L"\\dead-release";
  const std::wstring sLine = L"Rot: MEDISTAR auf S:" + kDriveLabel + L"??? = " + kUnreachable;

  TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(ScratchFolder(L"check-dead"), {{L"MEDISTARDIR", L"S:\\MEDISTAR"}}));
  const ULONGLONG tShown = ::GetTickCount64();
  HWND hwnd = app.MainWindow();
  // While the run waits for S:, the window handles its messages: it answers, repaints
  // and moves.
  int nChecks = 0;
  while (Since(tShown) < 4000 && app.Status() != kStatusDone) {
    EXPECT_TRUE(Answers(hwnd)) << "after " << Since(tShown) << " ms";
    EXPECT_TRUE(::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN));
    ++nChecks;
    ::Sleep(250);
  }
  EXPECT_GE(nChecks, 8) << "the run did not wait for S:";
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  ::SetWindowPos(hwnd, nullptr, rc.left + 10, rc.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
  EXPECT_TRUE(WaitFor([&] {
    RECT now{};
    ::GetWindowRect(hwnd, &now);
    return now.left == rc.left + 10;
  }, 2000)) << "the window did not move";

  // At most the 5 s limit, plus the run's own time (long under emulation).
  ASSERT_TRUE(app.WaitForReport(30000)) << ToUtf8(app.Status());
  EXPECT_LT(Since(tShown), 15000u);
  EXPECT_EQ(LineOf(app.PaneText(), L"Rot: MEDISTAR auf "), sLine);

  // The second run asks S: nothing while the first question still waits.
  const ULONGLONG tAgain = ::GetTickCount64();
  ASSERT_TRUE(app.CollectAgain(30000));
  EXPECT_LT(Since(tAgain), 4500u) << "the second run waited for S: again";
  EXPECT_EQ(LineOf(app.PaneText(), L"Rot: MEDISTAR auf "), sLine);

  // A close during the wait takes the window away at once.
  TSichtwerkProcess closing;
  ASSERT_TRUE(closing.Start(ScratchFolder(L"check-dead-close"), {{L"MEDISTARDIR", L"S:\\MEDISTAR"}}));
  ASSERT_TRUE(WaitFor([&] { return closing.Status() == L"Informationen sammeln: Sichtwek..."; }, 10000));
  HWND hClosing = closing.MainWindow();
  const ULONGLONG tClose = ::GetTickCount64();
  ::PostMessageW(hClosing, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hClosing); }, 3000)) << "still there after " << Since(tClose) << " ms";
  // Under Wine the processes live on until the waiting call returns: the server goes
  // for good, and both end with 0.
  HANDLE hRelease = ::CreateFileW(sRelease.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(hRelease, INVALID_HANDLE_VALUE);
  ::CloseHandle(hRelease);
  DWORD code = 1;
  ASSERT_EQ(::WaitForSingleObject(closing.Process(), 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(::GetExitCodeProcess(closing.Process(), &code));
  EXPECT_EQ(code, 0u);
  code = 1;
  ASSERT_TRUE(app.Close(&code, 10000));
  EXPECT_EQ(code, 0u);
}

// HKEY_CURRENT_USER\Network\M for the life of the object.
class TRememberedDriveM {
 public:
  explicit TRememberedDriveM(const std::wstring& sRemotePath) {
    FbNetworkNew = !KeyExists(L"Network");
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Network\\M", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
      return;
    const DWORD cb = static_cast<DWORD>((sRemotePath.size() + 1) * sizeof(wchar_t));
    FbOk = ::RegSetValueExW(h, L"RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(sRemotePath.c_str()), cb) ==
           ERROR_SUCCESS;
    ::RegCloseKey(h);
  }
  ~TRememberedDriveM() { Forget(); }
  TRememberedDriveM(const TRememberedDriveM&) = delete;
  TRememberedDriveM& operator=(const TRememberedDriveM&) = delete;

  bool Ok() const { return FbOk; }
  void Forget() {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Network\\M");
    if (FbNetworkNew) ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Network");
    EXPECT_FALSE(KeyExists(L"Network\\M"));
  }

 private:
  static bool KeyExists(const wchar_t* sKey) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, sKey, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
  }
  bool FbNetworkNew = false;
  bool FbOk = false;
};

TEST(NetworkDrive, LetterTheProgramDoesNotSeeIsMeasuredAtTheRememberedShare) {
  ASSERT_FALSE(::GetLogicalDrives() & (1u << (L'M' - L'A'))) << "M: is a drive of the prefix";
  ULARGE_INTEGER uTotal{};
  if (!::GetDiskFreeSpaceExW(L"\\\\praxis-server\\medistar\\", nullptr, &uTotal, nullptr))
    GTEST_SKIP() << "the share of tests/check/drives.sh is missing (it needs root)";
  ASSERT_EQ(uTotal.QuadPart, 4ULL << 30) << "the share is not the 4 GB tmpfs";
  TRememberedDriveM remembered(L"\\\\praxis-server\\medistar");
  ASSERT_TRUE(remembered.Ok());

  TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(ScratchFolder(L"check-remembered"), {{L"MEDISTARDIR", L"M:\\MEDISTAR"}}));
  ASSERT_TRUE(app.WaitForReport(30000)) << ToUtf8(app.Status());
  // The share's sizes under the letter. "???": Wine's GetVolumeInformationW refuses a
  // share's root (ERROR_DIR_NOT_ROOT), where Windows names the share's file system.
  EXPECT_EQ(LineOf(app.PaneText(), L"Rot: MEDISTAR auf "),
            L"Rot: MEDISTAR auf M:" + kDriveLabel +
                L"??? = 0 GB/4 GB belegt (0 %) = 4 GB frei - Zuwenig freier Platz auf diesem Laufwerk!");

  // Nothing remembered: unreachable, and why, since the program runs elevated.
  remembered.Forget();
  ASSERT_TRUE(app.CollectAgain(30000));
  EXPECT_EQ(LineOf(app.PaneText(), L"Rot: MEDISTAR auf "),
            L"Rot: MEDISTAR auf M:" + kDriveLabel + L"??? = " + kUnreachable +
                L" (Als Administrator gestartet: Netzlaufwerke des Benutzers sind nicht verbunden.)");
  DWORD code = 1;
  EXPECT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sw::test
