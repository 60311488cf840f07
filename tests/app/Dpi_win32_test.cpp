// The program is not DPI-aware and keeps its design pixels on a screen set to more
// dots per inch. Windows scales such a window as a bitmap and reports design pixels
// to it. Wine keeps the window's pixels as well but renders point sizes (the pane's
// 8 point lines) at the higher dpi, so the pane text looks larger there than on
// Windows. Either way the client area stays 654 x 448.
#include <gtest/gtest.h>

#include "common/SichtwerkProcess_win32.h"

namespace sw::test {
namespace {

// Sets HKCU\Control Panel\Desktop "LogPixels" for the test and puts the old state back.
class TLogPixels {
 public:
  explicit TLogPixels(DWORD nDpi) {
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &Fkey, nullptr) != ERROR_SUCCESS)
      return;
    DWORD cb = sizeof(FnOld), type = 0;
    FbHadOld = ::RegQueryValueExW(Fkey, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&FnOld), &cb) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    FbSet = ::RegSetValueExW(Fkey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nDpi), sizeof(nDpi)) ==
            ERROR_SUCCESS;
  }
  ~TLogPixels() {
    if (!Fkey) return;
    if (FbHadOld)
      ::RegSetValueExW(Fkey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&FnOld), sizeof(FnOld));
    else
      ::RegDeleteValueW(Fkey, L"LogPixels");
    ::RegCloseKey(Fkey);
  }
  bool Set() const { return FbSet; }

 private:
  HKEY Fkey = nullptr;
  DWORD FnOld = 0;
  bool FbHadOld = false, FbSet = false;
};

RECT ClientOf(HWND hwnd) {
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  return rc;
}

TEST(Dpi, DesignPixelsOnScreensWithMoreDotsPerInch) {
  for (DWORD nDpi : {120u, 144u}) {
    SCOPED_TRACE(nDpi);
    TLogPixels dpi(nDpi);
    ASSERT_TRUE(dpi.Set());
    TSichtwerkProcess app;
    ASSERT_TRUE(app.Start(ScratchFolder(L"dpi")));
    ASSERT_TRUE(app.WaitForReport());
    const RECT rc = ClientOf(app.MainWindow());
    EXPECT_EQ(rc.right, 654);
    EXPECT_EQ(rc.bottom, 448);
    HWND hClose = app.FindChild(L"Button", L"&Schließen");
    ASSERT_NE(hClose, nullptr);
    const RECT rcButton = ClientOf(hClose);
    EXPECT_EQ(rcButton.right, 75);
    EXPECT_EQ(rcButton.bottom, 25);
    EXPECT_TRUE(app.SaveScreenshot(ArtifactPath(L"mainwindow-" + std::to_wstring(nDpi) + L"dpi.bmp")));
    EXPECT_TRUE(app.Close());
  }
}

}  // namespace
}  // namespace sw::test
