// Many collection runs in one process: GDI and USER object counts and private memory
// stay flat, and the result log then holds one whole block per run. Runs only when
// SW_ENDURANCE_RUNS is set: the CTest entry win.release.endurance sets 100, the
// benchmark command bench/endurance.sh 1000.
//
// The runs happen in this process, through the main window's own button, so that the
// objects can be counted where they live: Windows counts them for any process
// (GetGuiResources), Wine's GetGuiResources is a stub that answers 0, and there the
// counts come from probing the process's handle tables (below).
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "app/MainForm_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "controls/ovControls_win32.h"

namespace sw {
namespace {

using test::ToUtf8;

int RunsWanted() {
  wchar_t s[32] = L"";
  const DWORD n = ::GetEnvironmentVariableW(L"SW_ENDURANCE_RUNS", s, 32);
  return n > 0 && n < 32 ? _wtoi(s) : 0;
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&pmc), sizeof pmc))
    return 0;
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

struct TObjectCounts {
  DWORD nGdi = 0, nUser = 0;
  bool bProbed = false;  // counted by the Wine probe, not by GetGuiResources
};

// Wine keeps a process's GDI objects in a table indexed by the low word of the handle
// and accepts a handle whose high word (the generation) is 0 for any generation; its
// USER handles are (index * 2 + 0x20) with the same rule. So every live object answers
// to one small number. Windows refuses such handles, and needs no probe.
TObjectCounts ProbeWineHandles() {
  TObjectCounts c;
  c.bProbed = true;
  for (UINT_PTR i = 1; i < 0x10000; ++i)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++c.nGdi;
  const DWORD dwPid = ::GetCurrentProcessId();
  for (UINT_PTR i = 0x20; i < 0x10000; i += 2) {
    HWND h = reinterpret_cast<HWND>(i);
    DWORD dwOwner = 0;
    if (::IsWindow(h) && ::GetWindowThreadProcessId(h, &dwOwner) && dwOwner == dwPid) {
      ++c.nUser;
    } else if (::IsMenu(reinterpret_cast<HMENU>(h))) {
      ++c.nUser;
    } else {
      ICONINFO ii{};  // icons and cursors; the copies of their bitmaps go again
      if (::GetIconInfo(reinterpret_cast<HICON>(h), &ii)) {
        ++c.nUser;
        if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
        if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
      }
    }
  }
  return c;
}

TObjectCounts CountObjects() {
  TObjectCounts c;
  c.nGdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  c.nUser = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  if (c.nGdi == 0 && c.nUser == 0) return ProbeWineHandles();
  return c;
}

// The probe must see what it counts, or a flat count proves nothing.
TEST(Endurance, ObjectCountSeesCreatedObjects) {
  struct TObjects {
    HBRUSH aBrushes[5];
    HWND hwnd;
    HMENU hMenu;
    HICON hIcon;
    void Create() {
      for (HBRUSH& h : aBrushes) h = ::CreateSolidBrush(RGB(1, 2, 3));
      hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
      hMenu = ::CreateMenu();
      hIcon = ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
    }
    void Destroy() {
      for (HBRUSH h : aBrushes) ::DeleteObject(h);
      ::DestroyWindow(hwnd);
      ::DestroyMenu(hMenu);
      ::DestroyIcon(hIcon);
    }
  } objects;
  // Once before counting: the first window of a thread and the first icon bring
  // objects of their own (desktop, DCs, the system icon's bitmaps).
  objects.Create();
  objects.Destroy();
  const TObjectCounts c0 = CountObjects();
  ASSERT_GT(c0.nGdi, 0u) << "stock objects at least";
  objects.Create();
  const TObjectCounts c1 = CountObjects();
  EXPECT_GE(c1.nGdi, c0.nGdi + 5) << "five brushes (and the icon's bitmaps)";
  EXPECT_GE(c1.nUser, c0.nUser + 3) << "a window, a menu, an icon";
  objects.Destroy();
  const TObjectCounts c2 = CountObjects();
  EXPECT_EQ(c2.nGdi, c0.nGdi);
  EXPECT_EQ(c2.nUser, c0.nUser);
  std::printf("objects counted by %s: GDI %lu -> %lu -> %lu, USER %lu -> %lu -> %lu\n",
              c0.bProbed ? "the Wine handle probe" : "GetGuiResources", c0.nGdi, c1.nGdi, c2.nGdi, c0.nUser, c1.nUser,
              c2.nUser);
}

// One run through the button, synchronously: the handler returns when the run is done.
void CollectOnce(HWND hButton) {
  ::SendMessageW(::GetParent(hButton), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hButton), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hButton));
}

TEST(Endurance, ManyRunsStayFlat) {
  const int nRuns = RunsWanted();
  if (nRuns <= 0) GTEST_SKIP() << "set SW_ENDURANCE_RUNS (win.release.endurance, bench/endurance.sh)";
  const std::wstring sFolder = test::ScratchFolder(L"endurance");
  ASSERT_FALSE(sFolder.empty());
  const std::wstring sLog = sFolder + L"\\Ergebnisse des Sichtwerks zur Prüfung.log";
  ::DeleteFileW(sLog.c_str());
  std::vector<std::wstring> errors;

  TObjectCounts c0, c1;
  SIZE_T cbPrivate0 = 0, cbPrivate1 = 0;
  {
    TMainForm form;
    form.SetErrorSink([&](const std::wstring& s) { errors.push_back(s); });
    form.SetResultLogPath(sLog);
    form.Create();
    form.Show(SW_SHOWNOACTIVATE);  // the first run, at show time
    HWND hButton = ::FindWindowExW(::GetDlgItem(::GetDlgItem(form.Handle(), idGroupBoxInfo), idPanelInfoBottom),
                                   nullptr, L"Button", L"Informationen erneut sammeln");
    ASSERT_NE(nullptr, hButton);

    // Figures after a warm-up, then at the end. The warm-up fills the pane, the fonts
    // and caches and the pane's undo list (memory stops growing after about 55 runs).
    const int nWarmUp = nRuns >= 200 ? nRuns / 10 : std::max(1, nRuns / 2);
    for (int i = 1; i < nRuns; ++i) {
      CollectOnce(hButton);
      form.ProcessMessages();  // paint what the run changed, as the main loop would
      if (i == nWarmUp) {
        c0 = CountObjects();
        cbPrivate0 = PrivateBytes();
      }
    }
    EXPECT_EQ(test::kStatusDone, form.Status());
    c1 = CountObjects();
    cbPrivate1 = PrivateBytes();
  }
  EXPECT_TRUE(errors.empty()) << ToUtf8(errors.front());
  std::printf("runs %d: GDI %lu -> %lu, USER %lu -> %lu (%s), private %lu -> %lu bytes\n", nRuns, c0.nGdi, c1.nGdi,
              c0.nUser, c1.nUser, c0.bProbed ? "Wine handle probe" : "GetGuiResources",
              static_cast<unsigned long>(cbPrivate0), static_cast<unsigned long>(cbPrivate1));

  // Not one object more after the warm-up: a run creates and frees the same ones.
  ASSERT_GT(c0.nGdi, 0u);
  EXPECT_LE(c1.nGdi, c0.nGdi) << "GDI objects grow";
  EXPECT_LE(c1.nUser, c0.nUser) << "USER objects grow";
  // The pane is full after a few dozen runs, so memory must stop growing: 4 MB of
  // slack for the heap's own fragmentation (over a thousand runs in the benchmark).
  ASSERT_GT(cbPrivate0, 0u);
  EXPECT_LE(cbPrivate1, cbPrivate0 + 4u * 1024 * 1024) << "private memory grows";

  // One whole block per run: every block opens with the check's first line, and the
  // file ends with a line end.
  std::ifstream f(sLog.c_str(), std::ios::binary);
  const std::string sText((std::istreambuf_iterator<char>(f)), {});
  ASSERT_FALSE(sText.empty());
  const std::string sFirst = sText.substr(0, sText.find("\r\n"));
  ASSERT_FALSE(sFirst.empty());
  // The first line carries date and time; its text before the first digit is fixed.
  const std::string sHead = "\r\n" + sFirst.substr(0, sFirst.find_first_of("0123456789"));
  int nBlocks = 1;
  for (std::size_t at = sText.find(sHead); at != std::string::npos; at = sText.find(sHead, at + 1)) ++nBlocks;
  EXPECT_EQ(nRuns, nBlocks) << "first line: " << sFirst;
  EXPECT_EQ("\r\n", sText.substr(sText.size() - 2));
}

}  // namespace
}  // namespace sw
