// The main window's design read back from the real windows, the administrator test
// and the version text.
#include <gtest/gtest.h>

#include <richedit.h>

#include <map>
#include <vector>

#include "app/MainForm_win32.h"
#include "common/ProgramIcon_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "win32/ModuleFile_win32.h"

namespace sw {
namespace {

using test::RectInParent;

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[64] = {};
  ::GetClassNameW(hwnd, buf, ARRAYSIZE(buf));
  return buf;
}

std::vector<HWND> ChildrenInZOrder(HWND hParent) {
  std::vector<HWND> r;
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) r.push_back(h);
  return r;
}

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW lf;
  memset(&lf, 0xbd, sizeof(lf));
  HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
  EXPECT_NE(hFont, nullptr);
  EXPECT_EQ(::GetObjectW(hFont, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  return lf;
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FForm.Create();
    ASSERT_NE(FForm.Handle(), nullptr);
  }
  HWND Item(int nId) {
    for (const auto& row : MainFormLayout()) {
      if (row.nId != nId) continue;
      HWND hParent = row.nParentId ? Item(row.nParentId) : FForm.Handle();
      return ::GetDlgItem(hParent, nId);
    }
    return nullptr;
  }
  TMainForm FForm;
};

TEST_F(MainFormTest, LayoutAsDesigned) {
  HWND hwnd = FForm.Handle();
  EXPECT_EQ(ClassOf(hwnd), L"TMainForm");
  EXPECT_FALSE(::IsWindowVisible(hwnd)) << "shown only after the show handler";
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  EXPECT_EQ(rc.right, 654);
  EXPECT_EQ(rc.bottom, 448);
  EXPECT_EQ(FForm.Caption(), L"Sichtwerk");

  const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "single fixed border";
  EXPECT_TRUE(style & WS_CAPTION);
  MINMAXINFO mmi{};
  ::SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 660);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 300);

  // Group box inner area: below the caption text, two pixels inside the frame.
  HWND hGroup = Item(idGroupBoxInfo);
  ASSERT_NE(hGroup, nullptr);
  RECT rcGroup = RectInParent(hGroup);
  const RECT rcInfoPanel = RectInParent(Item(idPanelInfoBottom));
  const RECT rcPane = RectInParent(Item(idRichEditInfo));

  struct TExpect {
    int nId;
    const wchar_t* sClass;
    const wchar_t* sCaption;
    RECT rc;
  };
  const TExpect rows[] = {
      {idPanelBottom, L"TovPanel", L"", {0, 421, 654, 448}},
      {idButtonClose, L"Button", L"&Schließen", {566, 0, 641, 25}},
      {idButtonMail, L"Button", L"per Mail versenden", {8, 0, 153, 25}},
      {idButtonPreview, L"Button", L"Infos &anzeigen/ausdrucken", {159, 0, 328, 25}},
      {idGroupBoxInfo, L"Button", L"Informationen", {0, 0, 654, 421}},
      {idPanelInfoBottom, L"TovPanel", L"", {2, 419 - 35, 652, 419}},
      {idButtonCollectInfo, L"Button", L"Informationen erneut sammeln", {6, 2, 326, 27}},
      // Below the caption: Tahoma at 11 pixels is 13 high, and 2 inside the frame.
      {idRichEditInfo, L"RICHEDIT50W", L"", {2, 15, 652, 384}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "control " << r.nId);
    HWND h = Item(r.nId);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(h).c_str(), r.sClass), 0) << test::ToUtf8(ClassOf(h));
    if (r.nId != idRichEditInfo) {
      wchar_t buf[128];
      memset(buf, 0xbd, sizeof(buf));
      ::GetWindowTextW(h, buf, ARRAYSIZE(buf));
      EXPECT_STREQ(buf, r.sCaption);
    }
    const RECT got = RectInParent(h);
    EXPECT_EQ(got.left, r.rc.left);
    EXPECT_EQ(got.top, r.rc.top);
    EXPECT_EQ(got.right, r.rc.right);
    EXPECT_EQ(got.bottom, r.rc.bottom);
    EXPECT_TRUE(::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) << "shown with the form";
  }
  // The pane meets the status panel.
  EXPECT_EQ(rcPane.bottom, rcInfoPanel.top);
  EXPECT_EQ(rcGroup.bottom, 421);

  HWND hLabel = Item(idLabelInfoStatus);
  ASSERT_NE(hLabel, nullptr);
  EXPECT_EQ(ClassOf(hLabel), L"Static");
  const RECT rcLabel = RectInParent(hLabel);
  EXPECT_EQ(rcLabel.left, 332);
  EXPECT_EQ(rcLabel.top, 7);
  EXPECT_GT(rcLabel.right, 332) << "sized to its design text";
  EXPECT_EQ(FForm.Status(), L"LabelInfoStatus");

  // A larger window (maximised) lays the aligned and anchored controls out again.
  RECT rcWindow{0, 0, 854, 548};
  ::AdjustWindowRectEx(&rcWindow, style, FALSE, ::GetWindowLongW(hwnd, GWL_EXSTYLE));
  ::SetWindowPos(hwnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::GetClientRect(hwnd, &rc);
  ASSERT_EQ(rc.right, 854);
  ASSERT_EQ(rc.bottom, 548);
  const RECT rcBottom = RectInParent(Item(idPanelBottom));
  EXPECT_EQ(rcBottom.top, 521);
  EXPECT_EQ(rcBottom.right, 854);
  EXPECT_EQ(RectInParent(Item(idButtonClose)).left, 766) << "keeps its gap to the right edge";
  EXPECT_EQ(RectInParent(Item(idButtonMail)).left, 8);
  EXPECT_EQ(RectInParent(Item(idPanelInfoBottom)).bottom, 519);
  const RECT rcPaneLarge = RectInParent(Item(idRichEditInfo));
  EXPECT_EQ(rcPaneLarge.top, rcPane.top);
  EXPECT_EQ(rcPaneLarge.right, 852);
  EXPECT_EQ(rcPaneLarge.bottom, 519 - 35);
}

TEST_F(MainFormTest, TabOrderStylesAndFonts) {
  auto IdsOf = [](const std::vector<HWND>& v) {
    std::vector<int> r;
    for (HWND h : v) r.push_back(::GetDlgCtrlID(h));
    return r;
  };
  EXPECT_EQ(IdsOf(ChildrenInZOrder(FForm.Handle())), (std::vector<int>{idPanelBottom, idGroupBoxInfo}));
  EXPECT_EQ(IdsOf(ChildrenInZOrder(Item(idPanelBottom))),
            (std::vector<int>{idButtonClose, idButtonMail, idButtonPreview}));
  EXPECT_EQ(IdsOf(ChildrenInZOrder(Item(idGroupBoxInfo))), (std::vector<int>{idPanelInfoBottom, idRichEditInfo}));
  EXPECT_EQ(IdsOf(ChildrenInZOrder(Item(idPanelInfoBottom))),
            (std::vector<int>{idButtonCollectInfo, idLabelInfoStatus}));

  for (int nId : {idButtonClose, idButtonMail, idButtonPreview, idButtonCollectInfo}) {
    SCOPED_TRACE(nId);
    const LONG style = ::GetWindowLongW(Item(nId), GWL_STYLE);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";
    const LOGFONTW lf = FontOf(Item(nId));
    EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  }

  HWND hPane = Item(idRichEditInfo);
  const LONG style = ::GetWindowLongW(hPane, GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & WS_TABSTOP) << "the report is read by keyboard too";
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_FALSE(FForm.RichEditInfo().WordWrap());
  // The control's default format: RichEdit does not answer WM_GETFONT.
  CHARFORMAT2W cf;
  memset(&cf, 0xbd, sizeof(cf));
  cf.cbSize = sizeof(cf);
  ::SendMessageW(hPane, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  EXPECT_STREQ(cf.szFaceName, L"Tahoma");
  EXPECT_EQ(cf.bCharSet, ANSI_CHARSET);
  EXPECT_GE(cf.yHeight, 160) << "11 pixels at 96 dpi: 8 point and a quarter";
  EXPECT_LE(cf.yHeight, 170);
  // The vertical bar appears (only) once the text is taller than the pane.
  for (int i = 0; i < 60; ++i) FForm.RichEditInfo().AddPlainLine(std::wstring(200, L'x'));
  const LONG styleFull = ::GetWindowLongW(hPane, GWL_STYLE);
  EXPECT_TRUE(styleFull & WS_VSCROLL);
  EXPECT_FALSE(styleFull & WS_HSCROLL) << "long lines get no horizontal bar";
  // EM_SETBKGNDCOLOR answers with the colour it replaces.
  const COLORREF cInfo = ::GetSysColor(COLOR_INFOBK);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(hPane, EM_SETBKGNDCOLOR, 0, cInfo)), cInfo);
}

// Caption and taskbar: WM_GETICON answers first, the class icons stand behind it.
TEST_F(MainFormTest, CaptionAndTaskbarShowTheProgramIcon) {
  HWND hwnd = FForm.Handle();
  const auto hBig = reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
  const auto hSmall = reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
  EXPECT_TRUE(test::IsProgramIcon(hBig, ::GetSystemMetrics(SM_CXICON)));
  EXPECT_TRUE(test::IsProgramIcon(hSmall, ::GetSystemMetrics(SM_CXSMICON)));
  EXPECT_EQ(reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd, GCLP_HICON)), hBig);
  EXPECT_EQ(reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd, GCLP_HICONSM)), hSmall);
}

TEST_F(MainFormTest, CloseButtonDestroysTheWindowAndEndsTheLoop) {
  HWND hwnd = FForm.Handle();
  ::SendMessageW(Item(idButtonClose), BM_CLICK, 0, 0);
  // Not inside the button's own click: the close is posted, the loop carries it out.
  EXPECT_TRUE(::IsWindow(hwnd));
  MSG msg;
  bool bQuit = false;
  for (int i = 0; i < 100 && !bQuit; ++i) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        bQuit = true;
        break;
      }
      ::DispatchMessageW(&msg);
    }
    if (!bQuit) ::Sleep(10);
  }
  ASSERT_TRUE(bQuit);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Caption, PiecesAreJoinedAsTheyStand) {
  struct TRow {
    bool bAdmin;
    const wchar_t* sVersion;
    const wchar_t* sExpected;
  } rows[] = {
      {true, L"3.0.0.13", L"Sichtwerk (Administrator)  Version: 3.0.0.13"},
      {false, L"3.0.0.13", L"Sichtwerk (kein Administrator)  Version: 3.0.0.13"},
      {false, L"", L"Sichtwerk (kein Administrator)  Version: "},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sExpected));
    EXPECT_EQ(ExtendedCaption(L"Sichtwerk", r.bAdmin, r.sVersion), r.sExpected);
  }
}

// S-1-5-32-<rid> and S-1-1-0 built for hand-made group lists.
class TSidList {
 public:
  PSID Builtin(DWORD nRid) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID p = nullptr;
    EXPECT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, nRid, 0, 0, 0, 0, 0, 0, &p));
    FSids.emplace_back(p);
    return p;
  }
  PSID Everyone() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID p = nullptr;
    EXPECT_TRUE(::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &p));
    FSids.emplace_back(p);
    return p;
  }

 private:
  std::vector<TSid> FSids;
};

TEST(Administrator, GroupListDecidesWhateverTheAttributes) {
  TSidList sids;
  struct TGroups {
    DWORD GroupCount;
    SID_AND_ATTRIBUTES Groups[3];
  };
  const PSID pEveryone = sids.Everyone(), pUsers = sids.Builtin(DOMAIN_ALIAS_RID_USERS),
             pAdmins = sids.Builtin(DOMAIN_ALIAS_RID_ADMINS), pGuests = sids.Builtin(DOMAIN_ALIAS_RID_GUESTS);
  struct TRow {
    const char* sName;
    TGroups groups;
    bool bExpected;
  } rows[] = {
      {"no groups", {0, {}}, false},
      {"users only", {2, {{pEveryone, SE_GROUP_ENABLED}, {pUsers, SE_GROUP_ENABLED}}}, false},
      {"guests and users", {2, {{pGuests, SE_GROUP_ENABLED}, {pUsers, SE_GROUP_ENABLED}}}, false},
      {"admins enabled", {2, {{pEveryone, SE_GROUP_ENABLED}, {pAdmins, SE_GROUP_ENABLED}}}, true},
      {"admins deny-only (UAC)", {3, {{pEveryone, SE_GROUP_ENABLED}, {pUsers, 0}, {pAdmins, SE_GROUP_USE_FOR_DENY_ONLY}}},
       true},
      {"admins first, no attributes", {1, {{pAdmins, 0}}}, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.sName);
    const void* pGroups = &r.groups;
    EXPECT_EQ(GroupsHaveAdministrators(*static_cast<const TOKEN_GROUPS*>(pGroups)), r.bExpected);
  }
}

TEST(Administrator, ThreadTokenIsAskedBeforeTheProcessToken) {
  HANDLE hProcessToken = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY,
                                 &hProcessToken));
  THandleOwner processToken(hProcessToken);
  const bool bProcessAdmin = TokenHasAdministrators(processToken.get());
  EXPECT_EQ(IsAdministrator(), bProcessAdmin) << "no impersonation: the process token decides";

  // A restricted copy that keeps Administrators only for deny (as UAC does) still
  // counts as an administrator's token.
  TSidList sids;
  SID_AND_ATTRIBUTES disable{sids.Builtin(DOMAIN_ALIAS_RID_ADMINS), 0};
  HANDLE hRestricted = nullptr;
  if (!::CreateRestrictedToken(processToken.get(), 0, 1, &disable, 0, nullptr, 0, nullptr, &hRestricted))
    GTEST_SKIP() << "CreateRestrictedToken not available here, error " << ::GetLastError();
  THandleOwner restricted(hRestricted);
  ASSERT_TRUE(::ImpersonateLoggedOnUser(restricted.get()));
  const bool bImpersonated = IsAdministrator();
  HANDLE hThreadToken = nullptr;
  const bool bHasThreadToken = ::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &hThreadToken);
  THandleOwner threadToken(hThreadToken);
  const bool bThreadAdmin = bHasThreadToken && TokenHasAdministrators(threadToken.get());
  ::RevertToSelf();
  ASSERT_TRUE(bHasThreadToken);
  EXPECT_EQ(bImpersonated, bThreadAdmin);
  EXPECT_EQ(bImpersonated, bProcessAdmin) << "deny-only Administrators still count";

  // A token whose verdict differs: an anonymous-level one cannot be opened, and a thread
  // that impersonates it is no administrator, whatever the process token says.
  if (!bProcessAdmin) GTEST_SKIP() << "the process token must be an administrator's (as Wine's user is)";
  ASSERT_TRUE(::ImpersonateSelf(SecurityAnonymous));
  const bool bAnonymous = IsAdministrator();
  HANDLE hAnonymous = nullptr;
  SetLastError(0xdeadbeef);
  const bool bOpened = ::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &hAnonymous);
  const DWORD dwError = ::GetLastError();
  THandleOwner anonymous(hAnonymous);
  ::RevertToSelf();
  EXPECT_FALSE(bOpened);
  EXPECT_EQ(dwError, static_cast<DWORD>(ERROR_CANT_OPEN_ANONYMOUS));
  EXPECT_FALSE(bAnonymous) << "the process token decided, not the thread's";
}

TEST(VersionText, FromTheVersionResourceOrEmpty) {
  const std::wstring sFolder = test::TestProgramFolder();
  EXPECT_EQ(GetFileVersionText(sFolder + L"\\Sichtwerk.exe"), L"3.0.0.13");
  // The test program itself carries no version resource.
  EXPECT_EQ(GetToolVersion(), L"");

  const std::wstring sScratch = test::ScratchFolder(L"version");
  ASSERT_FALSE(sScratch.empty());
  const std::wstring sText = sScratch + L"\\kein-programm.txt";
  HANDLE h = ::CreateFileW(sText.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  ::WriteFile(h, "MZ nur Text", 11, &done, nullptr);
  ::CloseHandle(h);
  struct TRow {
    std::wstring sFile;
  } rows[] = {{sText}, {sScratch + L"\\fehlt.exe"}, {L""}, {sFolder + L"\\sw_app_wintests.exe"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(test::ToUtf8(r.sFile));
    EXPECT_EQ(GetFileVersionText(r.sFile), L"");
  }
  ::DeleteFileW(sText.c_str());

  // A system DLL: four numbers, cross-checked with the fixed info read directly.
  wchar_t sys[MAX_PATH];
  ASSERT_GT(::GetSystemDirectoryW(sys, MAX_PATH), 0u);
  const std::wstring sKernel = std::wstring(sys) + L"\\kernel32.dll";
  const std::wstring sVersion = GetFileVersionText(sKernel);
  EXPECT_EQ(std::count(sVersion.begin(), sVersion.end(), L'.'), 3) << test::ToUtf8(sVersion);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

std::size_t Count(const std::wstring& s, const std::wstring& sPart) {
  std::size_t n = 0;
  for (auto p = s.find(sPart); p != std::wstring::npos; p = s.find(sPart, p + 1)) ++n;
  return n;
}

// A preview that a click during the run opened: noted and closed, so the test goes on.
int g_nPreviewsOpened = 0;
void CALLBACK ClosePreviewOfThisProcess(HWND, UINT, UINT_PTR, DWORD) {
  HWND hPreview = ::FindWindowW(L"TFormPreview", nullptr);
  DWORD dwPid = 0;
  if (hPreview) ::GetWindowThreadProcessId(hPreview, &dwPid);
  if (dwPid != ::GetCurrentProcessId()) return;
  ++g_nPreviewsOpened;
  ::DestroyWindow(hPreview);
}

// The rule (no second run inside the first) is CollectionRun's host test; here the real
// message pump of the form's run hands queued clicks to the form: a second run is
// dropped by the run, and Mail and Preview, which would work on the half-filled pane,
// are dropped by the form.
TEST(CollectionRun, ClickWaitingDuringTheRunDoesNotStartASecondOne) {
  std::vector<std::wstring> errors;
  const std::wstring sLog = test::ScratchFolder(L"rerun") + L"\\Ergebnisse des Sichtwerks zur Prüfung.log";
  {
    TMainForm form;
    form.SetErrorSink([&](const std::wstring& s) { errors.push_back(s); });
    form.SetResultLogPath(sLog);
    form.Create();
    HWND hButton = ::FindWindowExW(::GetDlgItem(::GetDlgItem(form.Handle(), idGroupBoxInfo), idPanelInfoBottom),
                                   nullptr, L"Button", L"Informationen erneut sammeln");
    ASSERT_NE(hButton, nullptr);
    HWND hPanelBottom = ::GetDlgItem(form.Handle(), idPanelBottom);
    HWND hMail = ::GetDlgItem(hPanelBottom, idButtonMail), hPreview = ::GetDlgItem(hPanelBottom, idButtonPreview);
    ASSERT_TRUE(hMail && hPreview);
    // The clicks wait in the queue; the run's own message pump hands them over. (A mail
    // that went out would find no mail system: the test's mapi32 is switched off, and
    // the form's error sink would get the message.)
    for (HWND h : {hButton, hMail, hPreview})
      ASSERT_TRUE(::PostMessageW(::GetParent(h), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(h), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(h)));
    g_nPreviewsOpened = 0;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, &ClosePreviewOfThisProcess);
    form.Show(SW_SHOWNOACTIVATE);
    ::KillTimer(nullptr, nTimer);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE)) << "the clicks were handled";
    EXPECT_EQ(Count(form.RichEditInfo().Text(), L"Check gestartet"), 1u) << "one report, no second run inside the first";
    EXPECT_EQ(form.Status(), L"Informationen erfolgreich gesammelt.");
    EXPECT_EQ(g_nPreviewsOpened, 0) << "a preview of the half-filled pane";
    EXPECT_TRUE(::IsWindowEnabled(hMail) && ::IsWindowEnabled(hPreview));
    EXPECT_TRUE(errors.empty()) << "nothing is shown for the dropped clicks";
  }
  ::DeleteFileW(sLog.c_str());
}

// A pane that takes no text: EM_REPLACESEL is swallowed, as by a control that has no
// memory left. The pane's own check sees the missing line and raises its error.
WNDPROC g_pfnPaneProc = nullptr;
bool g_bPaneRefuses = false;
LRESULT CALLBACK RefusingPaneProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == EM_REPLACESEL && g_bPaneRefuses) return 0;
  return ::CallWindowProcW(g_pfnPaneProc, hwnd, uMsg, wParam, lParam);
}

TEST(CollectionRun, FailureInTheShowHandlerIsShownAndTheWindowStillComesUp) {
  std::vector<std::wstring> errors;
  const std::wstring sLog = test::ScratchFolder(L"showfail") + L"\\Ergebnisse des Sichtwerks zur Prüfung.log";
  ::DeleteFileW(sLog.c_str());
  {
    TMainForm form;
    form.SetErrorSink([&](const std::wstring& s) { errors.push_back(s); });
    form.SetResultLogPath(sLog);
    form.Create();
    HWND hPane = form.RichEditInfo().Handle();
    ASSERT_NE(hPane, nullptr);
    g_pfnPaneProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingPaneProc)));
    ASSERT_NE(g_pfnPaneProc, nullptr);
    g_bPaneRefuses = true;

    form.Show(SW_SHOWNOACTIVATE);
    // The error escaped the run and the show handler and was shown once; the window
    // came up all the same, with the run's clean-up done.
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], EPaneInsertError::Text());
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
    EXPECT_EQ(form.Status(), L"Fehler beim Sammeln der Informationen.");
    // The test program carries no version resource.
    EXPECT_EQ(form.Caption(), IsAdministrator() ? L"Sichtwerk (Administrator)  Version: "
                                                : L"Sichtwerk (kein Administrator)  Version: ");
    EXPECT_EQ(form.RichEditInfo().TextLength(), 0u) << "nothing partial in the pane";
    EXPECT_EQ(::GetFileAttributesW(sLog.c_str()), INVALID_FILE_ATTRIBUTES) << "a failed run is not logged";
    EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));

    // The program goes on: with the pane taking text again, the next click is a full run.
    g_bPaneRefuses = false;
    HWND hButton = ::FindWindowExW(::GetDlgItem(::GetDlgItem(form.Handle(), idGroupBoxInfo), idPanelInfoBottom),
                                   nullptr, L"Button", L"Informationen erneut sammeln");
    ASSERT_NE(hButton, nullptr);
    ::SendMessageW(::GetParent(hButton), WM_COMMAND, MAKEWPARAM(idButtonCollectInfo, BN_CLICKED),
                   reinterpret_cast<LPARAM>(hButton));
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(Count(form.RichEditInfo().Text(), L"Check gestartet"), 1u);
    EXPECT_NE(::GetFileAttributesW(sLog.c_str()), INVALID_FILE_ATTRIBUTES);
    ::SetWindowLongPtrW(hPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnPaneProc));
  }
  ::DeleteFileW(sLog.c_str());
}

}  // namespace
}  // namespace sw
