#include "share/Mapi_win32.h"

#include "common/ShareDrive_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "common/Text.h"
#include "common/Wait_win32.h"
#include "share/MailFallback_win32.h"
#include "share/MailTo.h"
#include "share/ShareFrames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace sw {
namespace {

const wchar_t* const kMessagingKey = L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem";

std::wstring SystemDir() {
  wchar_t s[MAX_PATH];
  const UINT n = ::GetSystemDirectoryW(s, MAX_PATH);
  return std::wstring(s, n);
}

std::wstring ExeDir() {
  wchar_t s[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, s, MAX_PATH);
  std::wstring p(s, n);
  return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring WindowTextOf(HWND h) {
  wchar_t s[1024] = {};
  ::SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(s), SMTO_ABORTIFHUNG, 5000, nullptr);
  return s;
}

bool UnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Parses the recorder's file: key=value lines, texts as key[len]=bytes.
std::map<std::string, std::string> ReadRecord(const std::wstring& sPath) {
  std::map<std::string, std::string> m;
  std::ifstream f(std::filesystem::path(sPath), std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string s = ss.str();
  std::size_t p = 0;
  while (p < s.size()) {
    const std::size_t eq = s.find('=', p);
    if (eq == std::string::npos) break;
    std::string key = s.substr(p, eq - p);
    const std::size_t br = key.find('[');
    if (br != std::string::npos) {
      const std::size_t len = std::stoul(key.substr(br + 1));
      key.resize(br);
      m[key] = s.substr(eq + 1, len);
      p = eq + 1 + len + 1;
    } else {
      const std::size_t nl = s.find('\n', eq);
      if (nl == std::string::npos) break;  // a line still being written
      m[key] = s.substr(eq + 1, nl - eq - 1);
      p = nl + 1;
    }
  }
  return m;
}

std::string ToAnsi(const std::wstring& s) {
  const int cb = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(static_cast<std::size_t>(cb), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), r.data(), cb, nullptr, nullptr);
  return r;
}

std::string ReadFileBytes(const std::wstring& sPath) {
  std::ifstream f(std::filesystem::path(sPath), std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The mailto: handler of the prefix (HKCR\mailto\shell\open\command), replaced or
// removed for one test and put back as it was by the destructor: the prefix is shared.
class TMailtoHandlerScratch {
 public:
  TMailtoHandlerScratch() {
    HKEY h = nullptr;
    FbHadKey = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_READ, &h) == ERROR_SUCCESS;
    if (!h) return;
    wchar_t s[1024] = {};
    DWORD cb = sizeof(s) - sizeof(wchar_t);
    FbHadValue = ::RegQueryValueExW(h, nullptr, nullptr, &FdwType, reinterpret_cast<BYTE*>(s), &cb) == ERROR_SUCCESS;
    FsOld = s;
    ::RegCloseKey(h);
  }
  ~TMailtoHandlerScratch() {
    if (!FbHadKey) {
      ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kCommandKey);
      return;
    }
    if (FbHadValue) Set(FsOld, FdwType);
  }
  TMailtoHandlerScratch(const TMailtoHandlerScratch&) = delete;
  TMailtoHandlerScratch& operator=(const TMailtoHandlerScratch&) = delete;

  static bool Set(const std::wstring& sCommand, DWORD dwType = REG_SZ) {
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
      return false;
    const LONG r = ::RegSetValueExW(h, nullptr, 0, dwType, reinterpret_cast<const BYTE*>(sCommand.c_str()),
                                    static_cast<DWORD>((sCommand.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    return r == ERROR_SUCCESS;
  }
  static bool Remove() {
    const LONG r = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kCommandKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
  }

 private:
  static constexpr const wchar_t* kCommandKey = L"mailto\\shell\\open\\command";
  bool FbHadKey = false, FbHadValue = false;
  DWORD FdwType = REG_SZ;
  std::wstring FsOld;
};

// The clipboard as another program sees it; empty texts when it holds no such format.
struct TClipboardContent {
  std::wstring sText;
  std::string sHtml;
  bool bSentinel = false;  // the format the test put there before
};
const wchar_t* const kSentinelFormat = L"Sichtwerk Test Sentinel";

bool OpenClipboardWaiting() {
  return test::WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 5000);
}

// Puts text and a private format on the clipboard, which the program is to replace.
bool PutSentinelOnClipboard() {
  if (!OpenClipboardWaiting()) return false;
  ::EmptyClipboard();
  bool bOk = true;
  for (UINT nFormat : {static_cast<UINT>(CF_UNICODETEXT), ::RegisterClipboardFormatW(kSentinelFormat)}) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(L"sentinel"));
    if (!h) { bOk = false; continue; }
    memcpy(::GlobalLock(h), L"sentinel", sizeof(L"sentinel"));
    ::GlobalUnlock(h);
    if (!::SetClipboardData(nFormat, h)) { ::GlobalFree(h); bOk = false; }
  }
  ::CloseClipboard();
  return bOk;
}

TClipboardContent ReadClipboard() {
  TClipboardContent c;
  if (!OpenClipboardWaiting()) return c;
  if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
      c.sText.assign(p, wcsnlen(p, ::GlobalSize(h) / sizeof(wchar_t)));
      ::GlobalUnlock(h);
    }
  }
  if (HANDLE h = ::GetClipboardData(::RegisterClipboardFormatW(L"HTML Format"))) {
    if (const auto* p = static_cast<const char*>(::GlobalLock(h))) {
      c.sHtml.assign(p, strnlen(p, ::GlobalSize(h)));
      ::GlobalUnlock(h);
    }
  }
  c.bSentinel = ::IsClipboardFormatAvailable(::RegisterClipboardFormatW(kSentinelFormat)) != FALSE;
  ::CloseClipboard();
  return c;
}

// Puts the recorder in the system directory and sets the availability value; both
// are put back as they were afterwards, so the prefix is left unchanged.
class MapiDispatch : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sSysDll = SystemDir() + L"\\mapi32.dll";
    sBackup = sSysDll + L".sw-backup";
    // A backup left by an aborted run is the original: put it back first.
    if (::GetFileAttributesW(sBackup.c_str()) != INVALID_FILE_ATTRIBUTES)
      ::MoveFileExW(sBackup.c_str(), sSysDll.c_str(), MOVEFILE_REPLACE_EXISTING);
    bHadDll = ::GetFileAttributesW(sSysDll.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (bHadDll) ::MoveFileExW(sSysDll.c_str(), sBackup.c_str(), MOVEFILE_REPLACE_EXISTING);
    bCopied = ::CopyFileW((ExeDir() + L"\\mapi32.dll").c_str(), sSysDll.c_str(), FALSE) != 0;

    HKEY h = nullptr;
    bHadKey = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMessagingKey, 0, KEY_READ, &h) == ERROR_SUCCESS;
    if (h) {
      DWORD cb = sizeof(FOldValue);
      bHadValue = ::RegQueryValueExW(h, L"MAPI", nullptr, &dwOldType, FOldValue, &cb) == ERROR_SUCCESS;
      cbOld = cb;
      ::RegCloseKey(h);
    }
  }
  // Every binding of these tests is gone by now, so the recorder is no longer loaded
  // (the process-wide binding is left alone here for that reason).
  static void TearDownTestSuite() {
    ::DeleteFileW(sSysDll.c_str());
    if (bHadDll) ::MoveFileExW(sBackup.c_str(), sSysDll.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!bHadKey) {
      ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMessagingKey);
    } else {
      HKEY h = nullptr;
      if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMessagingKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
        if (bHadValue)
          ::RegSetValueExW(h, L"MAPI", 0, dwOldType, FOldValue, cbOld);
        else
          ::RegDeleteValueW(h, L"MAPI");
        ::RegCloseKey(h);
      }
    }
  }

  void SetUp() override {
    // Never let Wine's builtin library run: it would hand the mail to the desktop.
    if (UnderWine()) {
      const char* s = std::getenv("WINEDLLOVERRIDES");
      ASSERT_TRUE(s && std::string(s).find("mapi32=n") != std::string::npos)
          << "run with WINEDLLOVERRIDES=mapi32=n";
    }
    ASSERT_TRUE(bCopied) << "recorder not copied into the system directory";
    wchar_t sTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, sTemp);
    sRecord = std::wstring(sTemp) + L"sw-mapi-record.txt";
    ::DeleteFileW(sRecord.c_str());
    ::SetEnvironmentVariableW(L"SW_MAPI_RECORD", sRecord.c_str());
    ::SetEnvironmentVariableW(L"SW_MAPI_RESULT", nullptr);
  }
  void TearDown() override {
    ::DeleteFileW(sRecord.c_str());
    ::SetEnvironmentVariableW(L"SW_MAPI_RESULT", nullptr);
  }

  static void SetAvailability(const wchar_t* sValue, DWORD dwType = REG_SZ) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMessagingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &h, nullptr),
              ERROR_SUCCESS);
    if (sValue) {
      ::RegSetValueExW(h, L"MAPI", 0, dwType, reinterpret_cast<const BYTE*>(sValue),
                       static_cast<DWORD>((wcslen(sValue) + 1) * sizeof(wchar_t)));
    } else {
      ::RegDeleteValueW(h, L"MAPI");
    }
    ::RegCloseKey(h);
  }

  bool Recorded() const { return ::GetFileAttributesW(sRecord.c_str()) != INVALID_FILE_ATTRIBUTES; }

  std::wstring sRecord;
  static inline std::wstring sSysDll, sBackup;
  static inline bool bHadDll = false, bCopied = false, bHadKey = false, bHadValue = false;
  static inline DWORD dwOldType = REG_NONE, cbOld = 0;
  static inline BYTE FOldValue[256];
};

// A visible top-level window of this thread, as the main window would be.
struct TTestWindow {
  TTestWindow() {
    h = ::CreateWindowExW(0, L"STATIC", L"Sichtwerk-Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                          100, nullptr, nullptr, nullptr, nullptr);
  }
  ~TTestWindow() { ::DestroyWindow(h); }
  HWND h;
};

TEST_F(MapiDispatch, RecordReachesTheMailSystemAsTheTableSays) {
  SetAvailability(L"1");
  ::SetEnvironmentVariableW(L"SW_MAPI_RESULT", L"26");  // MAPI_E_NOT_SUPPORTED: any code comes back as it is
  TTestWindow wnd, other;
  ASSERT_TRUE(wnd.h && other.h);
  TMailRecord rec = BuildReportMail(L"support@vendor.example",
                                    L"Sehr geehrte Damen und Herren,\r\n\r\nPrüfung: Größe ÄÖÜ ß\r\n");
  TMapiBinding binding;
  ::SetForegroundWindow(other.h);
  ::SetLastError(0xdeadbeef);
  EXPECT_EQ(SendMailMapi(binding, wnd.h, rec), 26u);
  ASSERT_TRUE(Recorded());
  auto m = ReadRecord(sRecord);
  EXPECT_EQ(m["session"], "0");
  EXPECT_EQ(m["uiparam"], std::to_string(reinterpret_cast<ULONG_PTR>(wnd.h)));
  EXPECT_EQ(m["flags"], "11");
  EXPECT_EQ(m["reserved"], "0");
  EXPECT_EQ(m["recips"], "1");
  EXPECT_EQ(m["class"], "1");
  EXPECT_EQ(m["name"], "support@vendor.example");
  EXPECT_EQ(m["address"], "(null)");
  EXPECT_EQ(m["eidsize"], "0");
  EXPECT_EQ(m["entryid"], "(null)");
  EXPECT_EQ(m["subject"], "Ergebnisse des Sichtwerks zur Pr\xFC" "fung");
  EXPECT_EQ(m["body"], "Sehr geehrte Damen und Herren,\r\n\r\nPr\xFC" "fung: Gr\xF6\xDF" "e \xC4\xD6\xDC \xDF\r\n");
  EXPECT_EQ(m["files"], "0");
  EXPECT_EQ(m["lpfiles"], "(null)");
  EXPECT_EQ(m["originator"], "(null)");
  EXPECT_EQ(m["msgflags"], "0");
  EXPECT_EQ(m["msgreserved"], "0");
  EXPECT_EQ(m["type"], "(null)");
  EXPECT_EQ(m["date"], "(null)");
  EXPECT_EQ(m["conversation"], "(null)");
  // During the call no window of the tool could be used; afterwards all are back.
  EXPECT_NE(m["windows"], "0");
  EXPECT_EQ(m["enabled"], "0");
  EXPECT_TRUE(::IsWindowEnabled(wnd.h));
  EXPECT_TRUE(::IsWindowEnabled(other.h));
  EXPECT_EQ(::GetForegroundWindow(), wnd.h) << "the owner is not back in front";
  // The library came from the system directory.
  std::string sSys(MAX_PATH, '\0');
  sSys.resize(::GetSystemDirectoryA(sSys.data(), MAX_PATH));
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, m["module"].c_str(), -1,
                           (sSys + "\\mapi32.dll").c_str(), -1),
            CSTR_EQUAL)
      << m["module"];
}

TEST_F(MapiDispatch, EmptyFieldsAreLeftOutNotPassedEmpty) {
  SetAvailability(L"1");
  TMapiBinding binding;
  TMailRecord rec;  // nothing at all
  EXPECT_EQ(SendMailMapi(binding, nullptr, rec), 0u);
  auto m = ReadRecord(sRecord);
  EXPECT_EQ(m["recips"], "0");
  EXPECT_EQ(m["lprecips"], "(null)");
  EXPECT_EQ(m["subject"], "(null)");
  EXPECT_EQ(m["body"], "(null)");
  EXPECT_EQ(m["uiparam"], "0");
}

TEST_F(MapiDispatch, WithoutTheValueOneNothingIsCalledAndTheResultIsNotAvailable) {
  const struct {
    const wchar_t* sValue;
    DWORD dwType;
  } kRows[] = {{nullptr, REG_SZ}, {L"0", REG_SZ}, {L"", REG_SZ}, {L"11", REG_SZ}, {L"1 ", REG_SZ},
               {L"1", REG_EXPAND_SZ}, {L"1234567891", REG_SZ}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.sValue ? row.sValue : L"(no value)");
    SetAvailability(row.sValue, row.dwType);
    TMapiBinding binding;
    EXPECT_EQ(SendMailMapi(binding, nullptr, BuildReportMail(L"a@b.example", L"x")), kMapiNotAvailable);
    EXPECT_FALSE(Recorded());
    EXPECT_FALSE(binding.Loaded());
  }
}

// Not available has a code of its own: a cancel by the user (MAPI_USER_ABORT) is 1.
static_assert(kMapiNotAvailable == MAPI_E_NOT_SUPPORTED && kMapiNotAvailable != MAPI_USER_ABORT);

TEST_F(MapiDispatch, AvailabilityIsDecidedOnceEitherWay) {
  {
    SetAvailability(L"0");
    TMapiBinding binding;
    EXPECT_EQ(SendMailMapi(binding, nullptr, BuildReportMail(L"", L"x")), kMapiNotAvailable);
    SetAvailability(L"1");  // a mail system that appears later is not seen
    EXPECT_EQ(SendMailMapi(binding, nullptr, BuildReportMail(L"", L"x")), kMapiNotAvailable);
    EXPECT_FALSE(Recorded());
    EXPECT_EQ(binding.AvailabilityTests(), 1);
  }
  {
    SetAvailability(L"1");
    TMapiBinding binding;
    EXPECT_EQ(SendMailMapi(binding, nullptr, BuildReportMail(L"", L"x")), 0u);
    SetAvailability(L"0");
    ::DeleteFileW(sRecord.c_str());
    EXPECT_EQ(SendMailMapi(binding, nullptr, BuildReportMail(L"", L"y")), 0u);
    EXPECT_TRUE(Recorded());
    EXPECT_EQ(ReadRecord(sRecord)["body"], "y");
    EXPECT_EQ(binding.AvailabilityTests(), 1);
  }
}

TEST_F(MapiDispatch, ACopyBesideTheExeIsNotLoaded) {
  // The test program's folder holds a mapi32.dll too (the build puts it there). With
  // the system copy gone, nothing may be loaded at all.
  ASSERT_NE(::GetFileAttributesW((ExeDir() + L"\\mapi32.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  SetAvailability(L"1");
  const std::wstring sAside = sSysDll + L".sw-aside";
  ASSERT_TRUE(::MoveFileExW(sSysDll.c_str(), sAside.c_str(), MOVEFILE_REPLACE_EXISTING));
  wchar_t sOldDir[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, sOldDir);
  ::SetCurrentDirectoryW(ExeDir().c_str());  // the current directory must not count either
  TMapiBinding binding;
  const ULONG r = SendMailMapi(binding, nullptr, BuildReportMail(L"a@b.example", L"x"));
  ::SetCurrentDirectoryW(sOldDir);
  ::MoveFileExW(sAside.c_str(), sSysDll.c_str(), MOVEFILE_REPLACE_EXISTING);
  EXPECT_EQ(r, kMapiNotAvailable);
  EXPECT_FALSE(binding.Loaded());
  EXPECT_FALSE(Recorded());
}

TEST_F(MapiDispatch, MailButtonOfTheRunningProgram) {
  SetAvailability(L"1");
  test::TSichtwerkProcess app;
  // MEDISTARDIR makes the run detect a practice system, whose vendor gets the mail.
  // The recorder answers the program's four mails in turn: taken, taken, MAPI_E_FAILURE,
  // cancelled by the user.
  ASSERT_TRUE(app.Start(test::ScratchFolder(L"share-mail"),
                        {{L"MEDISTARDIR", L"C:\\MEDISTAR"}, {L"SW_MAPI_RESULT", L"0,0,2,1"}}));
  ASSERT_TRUE(app.WaitForReport());
  const std::wstring sPane = app.PaneText();
  ASSERT_TRUE(app.PressButton(L"per Mail versenden"));
  ASSERT_TRUE(app.WaitForStatus(L"Mailsystem hat keinen Fehler gemeldet.", 30000));
  ASSERT_TRUE(Recorded()) << "the recorder was not called";
  auto m = ReadRecord(sRecord);
  EXPECT_EQ(m["uiparam"], std::to_string(reinterpret_cast<ULONG_PTR>(app.MainWindow())));
  EXPECT_EQ(m["flags"], "11");
  EXPECT_EQ(m["enabled"], "0") << "the main window was usable during the call";
  EXPECT_EQ(m["recips"], "1");
  EXPECT_EQ(m["name"], "medistar-support@medistar.example");
  EXPECT_EQ(m["subject"], "Ergebnisse des Sichtwerks zur Pr\xFC" "fung");
  const std::string& sBody = m["body"];
  EXPECT_EQ(sBody.rfind("Sehr geehrte Damen und Herren,\r\n", 0), 0u);
  EXPECT_NE(sBody.find("Praxisname:\r\n"), std::string::npos) << "labels stay bare in the mail";
  EXPECT_NE(sBody.find("Nachfolgend automatisch generierte Informationen: \r\n"), std::string::npos);
  // The body ends with the pane's whole text in the ANSI code page.
  const std::string sPaneAnsi = ToAnsi(sPane);
  ASSERT_GE(sBody.size(), sPaneAnsi.size());
  EXPECT_EQ(sBody.substr(sBody.size() - sPaneAnsi.size()), sPaneAnsi);
  EXPECT_TRUE(::IsWindowEnabled(app.MainWindow()));
  EXPECT_TRUE(::IsWindowEnabled(app.FindChild(L"Button", L"per Mail versenden")));
  // A second mail carries the same body: the letter is built afresh, not appended to.
  ::DeleteFileW(sRecord.c_str());
  ASSERT_TRUE(app.PressButton(L"per Mail versenden"));
  // The recorder writes the attachment list last.
  std::map<std::string, std::string> m2;
  ASSERT_TRUE(test::WaitFor([&] {
    m2 = ReadRecord(sRecord);
    return m2.count("lpfiles") > 0;
  })) << "the second mail was not recorded";
  EXPECT_EQ(m2["body"], sBody);
  EXPECT_EQ(m2["calls"], "2");

  // A mail that the mail program refused: the status line does not claim success, and a
  // box over the main window says so, points to printing and offers the clipboard and a
  // new mail; No leaves it at that.
  ASSERT_TRUE(app.WaitForStatus(L"Mailsystem hat keinen Fehler gemeldet.", 30000));
  ASSERT_TRUE(app.PressButton(L"per Mail versenden"));
  HWND hBox = test::share_drive::WaitForWindow(app.ProcessId(), L"#32770", app.MainWindow());
  ASSERT_TRUE(hBox) << "no message box after a failed mail";
  EXPECT_EQ(WindowTextOf(hBox), L"Sichtwerk");
  EXPECT_EQ(WindowTextOf(::GetDlgItem(hBox, 0xFFFF)),
            L"Das Mailprogramm hat die Mail nicht angenommen (MAPI-Fehler 2).\n\nDie Informationen wurden "
            L"nicht versendet. Sie können sie stattdessen mit \"Infos anzeigen/ausdrucken\" ausdrucken.\n\n"
            L"Soll Sichtwerk das Anschreiben und die Informationen in die Zwischenablage kopieren und eine neue "
            L"Mail in Ihrem Standard-Mailprogramm öffnen? Dort fügen Sie sie mit Strg+V ein.");
  EXPECT_EQ(app.Status(), L"Mail konnte nicht übergeben werden.");
  EXPECT_TRUE(::IsWindowEnabled(app.FindChild(L"Button", L"per Mail versenden")));
  ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hBox, IDNO)));
  ASSERT_TRUE(test::WaitFor([&] { return !::IsWindow(hBox); }));
  EXPECT_EQ(app.Status(), L"Mail konnte nicht übergeben werden.");

  // Cancelled by the user in the mail program: silent, as before.
  ASSERT_TRUE(app.PressButton(L"per Mail versenden"));
  ASSERT_TRUE(app.WaitForStatus(L"Mailsystem hat keinen Fehler gemeldet.", 30000));
  EXPECT_EQ(ReadRecord(sRecord)["calls"], "4");
  EXPECT_EQ(test::share_drive::WaitForWindow(app.ProcessId(), L"#32770", nullptr, 300), nullptr)
      << "a box after a cancel";
  DWORD code = 1;
  ASSERT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

// A close request right behind the click used to be carried out in the frame's message
// pump: the window went, and a mail with an empty report followed. It now waits for
// the mail, which carries the report.
TEST_F(MapiDispatch, CloseBehindTheMailClickWaitsForTheMail) {
  SetAvailability(L"1");
  test::TSichtwerkProcess app;
  ASSERT_TRUE(app.Start(test::ScratchFolder(L"share-mail-close"), {{L"SW_MAPI_RESULT", L"0"}}));
  ASSERT_TRUE(app.WaitForReport());
  ASSERT_TRUE(app.PressButton(L"per Mail versenden"));
  ASSERT_TRUE(::PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0));
  ASSERT_EQ(::WaitForSingleObject(app.Process(), 30000), WAIT_OBJECT_0);
  DWORD dwCode = 0xdeadbeef;
  ::GetExitCodeProcess(app.Process(), &dwCode);
  EXPECT_EQ(dwCode, 0u);
  ASSERT_TRUE(Recorded());
  const std::string sBody = ReadRecord(sRecord)["body"];
  EXPECT_NE(sBody.find("----- Check gestartet: "), std::string::npos) << sBody;
  EXPECT_EQ(sBody.find("- keine informationen gesammelt"), std::string::npos);
}

// The mail's second way, driven as a user would: the recording MAPI answers, the
// question is answered Yes, and the tests' own mailto: handler stands in for the mail
// program. The clipboard is read while the program runs: Wine empties it when its
// desktop process ends.
class MailFallback : public MapiDispatch {
 protected:
  void SetUp() override {
    MapiDispatch::SetUp();
    wchar_t sTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, sTemp);
    sUrlRecord = std::wstring(sTemp) + L"sw-mailto-record.txt";
    ::DeleteFileW(sUrlRecord.c_str());
    ASSERT_TRUE(PutSentinelOnClipboard());
  }
  void TearDown() override {
    ::DeleteFileW(sUrlRecord.c_str());
    MapiDispatch::TearDown();
  }

  // Starts the program with a detected practice system and the MAPI answer nMapiResult,
  // presses Mail and answers the question Yes; false when it did not get there.
  bool MailAndAnswerYes(test::TSichtwerkProcess& app, const wchar_t* sMapiResult) {
    SetAvailability(L"1");
    if (!app.Start(test::ScratchFolder(L"share-mailto"), {{L"MEDISTARDIR", L"C:\\MEDISTAR"},
                                                           {L"SW_MAPI_RESULT", sMapiResult},
                                                           {L"SW_MAILTO_RECORD", sUrlRecord}}))
      return false;
    if (!app.WaitForReport() || !app.PressButton(L"per Mail versenden")) return false;
    HWND hBox = test::share_drive::WaitForWindow(app.ProcessId(), L"#32770", app.MainWindow());
    if (!hBox) return false;
    sQuestion = WindowTextOf(::GetDlgItem(hBox, 0xFFFF));
    // Yes and No, Yes the default.
    bYesDefault = (::GetWindowLongW(::GetDlgItem(hBox, IDYES), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON &&
                  ::GetDlgItem(hBox, IDNO) && !::GetDlgItem(hBox, IDOK);
    ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hBox, IDYES)));
    return test::WaitFor([&] { return !::IsWindow(hBox); });
  }

  // What the clipboard must hold: the body the recording MAPI received, and the first
  // rated report line in its colour, read from the pane.
  void ExpectMailOnClipboard(test::TSichtwerkProcess& app, const TClipboardContent& c) {
    const std::string sMapiBody = ReadRecord(sRecord)["body"];
    ASSERT_FALSE(sMapiBody.empty()) << "the recording MAPI was not called";
    EXPECT_EQ(ToAnsi(c.sText), sMapiBody) << "not the text of the mail";
    EXPECT_EQ(c.sText.rfind(L"Sehr geehrte Damen und Herren,\r\n", 0), 0u);
    EXPECT_FALSE(c.bSentinel) << "the clipboard was not emptied first";
    EXPECT_EQ(c.sHtml.rfind("Version:0.9\r\n", 0), 0u);
    EXPECT_NE(c.sHtml.find("<div style=\"color:#000000\">Sehr geehrte Damen und Herren,</div>"), std::string::npos);
    const std::wstring sPane = app.PaneText();
    LONG nPos = 0;
    for (const std::wstring& sLine : SplitLines(sPane)) {
      if (sLine.rfind(L"Gruen: ", 0) == 0 || sLine.rfind(L"Gelb: ", 0) == 0 || sLine.rfind(L"Rot: ", 0) == 0) {
        CHARFORMAT2W cf{};
        ASSERT_TRUE(app.CharFormatAt(nPos, cf));
        const std::string sDiv =
            "<div style=\"color:" + HtmlColor(cf.crTextColor) + "\">" + test::ToUtf8(sLine.substr(0, 5));
        EXPECT_NE(c.sHtml.find(sDiv), std::string::npos) << sDiv;
        EXPECT_NE(HtmlColor(cf.crTextColor), "#000000");
        return;
      }
      nPos += static_cast<LONG>(sLine.size()) + 1;
    }
    ADD_FAILURE() << "no rated line in the report";
  }

  std::wstring sUrlRecord, sQuestion;
  bool bYesDefault = false;
};

// Windows shows an "open with" picker (8 and later) or an error box (Vista, 7) of its
// own when no program takes mailto:, before the program's box. Wine sets the flag
// itself, so the call is checked at the adapter's seam.
struct TShellCall {
  int nCalls = 0;
  ULONG fMask = 0;
  HWND hwnd = nullptr;
  std::wstring sVerb, sFile;
  BOOL bResult = TRUE;
} gShellCall;

BOOL WINAPI RecordShellExecuteEx(SHELLEXECUTEINFOW* p) {
  ++gShellCall.nCalls;
  gShellCall.fMask = p->fMask;
  gShellCall.hwnd = p->hwnd;
  gShellCall.sVerb = p->lpVerb ? p->lpVerb : L"";
  gShellCall.sFile = p->lpFile ? p->lpFile : L"";
  return gShellCall.bResult;
}

TEST(OpenWithShell, AsksTheShellForNoWindowOfItsOwn) {
  HWND hOwner = ::GetDesktopWindow();
  for (const BOOL bResult : {TRUE, FALSE}) {
    gShellCall = TShellCall{};
    gShellCall.bResult = bResult;
    EXPECT_EQ(OpenWithShell(hOwner, L"mailto:praxis@x.example", &RecordShellExecuteEx), bResult != FALSE);
    EXPECT_EQ(gShellCall.nCalls, 1);
    EXPECT_EQ(gShellCall.fMask & SEE_MASK_FLAG_NO_UI, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI));
    EXPECT_EQ(gShellCall.hwnd, hOwner);
    EXPECT_EQ(gShellCall.sVerb, L"open");
    EXPECT_EQ(gShellCall.sFile, L"mailto:praxis@x.example");
  }
}

TEST_F(MailFallback, NoMailSystemYesPutsTheMailOnTheClipboardAndOpensANewOne) {
  TMailtoHandlerScratch handler;
  const std::wstring sRecorder = ExeDir() + L"\\sw_mailto_recorder.exe";
  ASSERT_NE(::GetFileAttributesW(sRecorder.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(TMailtoHandlerScratch::Set(L"\"" + sRecorder + L"\" \"%1\""));
  test::TSichtwerkProcess app;
  ASSERT_TRUE(MailAndAnswerYes(app, L"26"));  // MAPI_E_NOT_SUPPORTED: no mail system
  EXPECT_EQ(sQuestion.rfind(L"Auf diesem PC ist kein Mailprogramm eingerichtet, dem Sichtwerk eine Mail", 0), 0u);
  EXPECT_NE(sQuestion.find(L"Zwischenablage kopieren und eine neue Mail"), std::wstring::npos);
  EXPECT_TRUE(bYesDefault);
  ASSERT_TRUE(app.WaitForStatus(L"Neue Mail geöffnet, Informationen in der Zwischenablage.", 30000))
      << test::ToUtf8(app.Status());
  ASSERT_TRUE(test::WaitFor([&] { return ::GetFileAttributesW(sUrlRecord.c_str()) != INVALID_FILE_ATTRIBUTES; }))
      << "the mailto: handler was not started";
  const std::string sUrl = ReadFileBytes(sUrlRecord);
  EXPECT_EQ(sUrl.rfind("mailto:medistar-support@medistar.example"
                       "?subject=Ergebnisse%20des%20Sichtwerks%20zur%20Pr%C3%BCfung&body=",
                       0),
            0u)
      << sUrl;
  EXPECT_LT(sUrl.size(), 400u) << "the report went into the URL";
  ExpectMailOnClipboard(app, ReadClipboard());
  EXPECT_EQ(test::share_drive::WaitForWindow(app.ProcessId(), L"#32770", nullptr, 300), nullptr)
      << "a box after success";
  DWORD code = 1;
  ASSERT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

// No program for mailto: (ShellExecuteW gives SE_ERR_NOASSOC): the text stays on the
// clipboard, and box and status line say so. Wine follows HKCR\mailto\shell\open\command
// alone, so removing that key leaves no handler; Windows 8 and later pick the handler
// through UserChoice, where this scratch change would not be enough.
TEST_F(MailFallback, WithoutAMailtoHandlerTheClipboardStillHoldsTheMail) {
  TMailtoHandlerScratch handler;
  ASSERT_TRUE(TMailtoHandlerScratch::Remove());
  test::TSichtwerkProcess app;
  ASSERT_TRUE(MailAndAnswerYes(app, L"2"));  // MAPI_E_FAILURE: the mail program's error
  EXPECT_EQ(sQuestion.rfind(L"Das Mailprogramm hat die Mail nicht angenommen (MAPI-Fehler 2).", 0), 0u);
  ASSERT_TRUE(app.WaitForStatus(L"Informationen in der Zwischenablage, kein Mailprogramm gefunden.", 30000))
      << test::ToUtf8(app.Status());
  HWND hBox = test::share_drive::WaitForWindow(app.ProcessId(), L"#32770", app.MainWindow());
  ASSERT_TRUE(hBox) << "no box after a mail that could not be opened";
  const std::wstring sBox = WindowTextOf(::GetDlgItem(hBox, 0xFFFF));
  EXPECT_EQ(sBox.rfind(L"Auf diesem PC ist kein Mailprogramm eingerichtet, das neue Mails öffnet (mailto:).", 0), 0u)
      << test::ToUtf8(sBox);
  EXPECT_NE(sBox.find(L"medistar-support@medistar.example"), std::wstring::npos) << "the support address is not named";
  EXPECT_NE(sBox.find(L"Infos anzeigen/ausdrucken"), std::wstring::npos) << "no pointer to printing";
  ExpectMailOnClipboard(app, ReadClipboard());
  EXPECT_EQ(::GetFileAttributesW(sUrlRecord.c_str()), INVALID_FILE_ATTRIBUTES);
  ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hBox, IDOK)));
  ASSERT_TRUE(test::WaitFor([&] { return !::IsWindow(hBox); }));
  DWORD code = 1;
  ASSERT_TRUE(app.Close(&code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sw
