// The form and control classes over real windows.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "controls/ovControls_win32.h"
#include "controls/ovForm_win32.h"

namespace sw {
namespace {

constexpr UINT WM_TEST_THROW = WM_APP + 1;

class TTestForm : public TovForm {
 public:
  // With pErrors the form collects what the error display would have shown.
  explicit TTestForm(std::vector<std::wstring>* pErrors = nullptr) {
    if (pErrors) SetErrorSink([pErrors](const std::wstring& s) { pErrors->push_back(s); });
  }
  void Create(int nWidth = 300, int nHeight = 200, HWND hOwner = nullptr) {
    CreateForm(L"TTestForm", L"Test", WS_OVERLAPPEDWINDOW, 0, nWidth, nHeight, hOwner);
  }

 protected:
  LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == WM_TEST_THROW) throw std::runtime_error("Absturz im Fenster: äöü");
    return TovForm::WndProc(uMsg, wParam, lParam);
  }
};

// Collects what the one error display would have shown.
class ControlsTest : public ::testing::Test {
 protected:
  static bool QuitPosted() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  }
  std::vector<std::wstring> FErrors;
};

TEST_F(ControlsTest, FormEventsFireWithTheFormAsSender) {
  TTestForm form(&FErrors);
  form.Create();
  ASSERT_NE(form.Handle(), nullptr);
  // Unassigned events: the messages are taken without error.
  for (UINT uMsg : {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE, WM_MOVE}) {
    SCOPED_TRACE(uMsg);
    EXPECT_EQ(::SendMessageW(form.Handle(), uMsg, 0, MAKELPARAM(10, 10)), 0);
  }
  struct TRow {
    UINT uMsg;
    TovForm::TNotify TovForm::*pEvent;
  };
  const TRow rows[] = {{WM_ENTERSIZEMOVE, &TovForm::OnEnterSizeMove},
                       {WM_EXITSIZEMOVE, &TovForm::OnExitSizeMove},
                       {WM_MOVE, &TovForm::OnMove}};
  int nEnter = 0, nExit = 0, nMove = 0;
  TovForm* pSender = nullptr;
  form.OnEnterSizeMove = [&](TovForm& s) { ++nEnter, pSender = &s; };
  form.OnExitSizeMove = [&](TovForm& s) { ++nExit, pSender = &s; };
  form.OnMove = [&](TovForm& s) { ++nMove, pSender = &s; };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.uMsg);
    pSender = nullptr;
    EXPECT_EQ(::SendMessageW(form.Handle(), r.uMsg, 0, 0), 0);
    EXPECT_EQ(pSender, &form);
  }
  EXPECT_EQ(nEnter, 1);
  EXPECT_EQ(nExit, 1);
  // A real move sends WM_MOVE too.
  ::SetWindowPos(form.Handle(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(nMove, 2);
  EXPECT_TRUE(FErrors.empty());
}

TEST_F(ControlsTest, FormKeepsItsClientSizeCentredAndDesignPixels) {
  TTestForm form(&FErrors);
  form.Create(654, 448);
  RECT rc{};
  ASSERT_TRUE(::GetClientRect(form.Handle(), &rc));
  EXPECT_EQ(rc.right, 654);
  EXPECT_EQ(rc.bottom, 448);
  RECT rw{};
  ::GetWindowRect(form.Handle(), &rw);
  const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN), cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs((rw.left + rw.right) - cxScreen), 1);
  EXPECT_LE(std::abs((rw.top + rw.bottom) - cyScreen), 1);
}

TEST_F(ControlsTest, ExceptionsStopAtTheWindowProcedure) {
  TTestForm form(&FErrors);
  form.Create();
  EXPECT_EQ(::SendMessageW(form.Handle(), WM_TEST_THROW, 0, 0), 0);
  ASSERT_EQ(FErrors.size(), 1u);
  EXPECT_EQ(FErrors[0], L"Absturz im Fenster: äöü");
  EXPECT_TRUE(::IsWindow(form.Handle())) << "the program goes on";

  TovButton button;
  button.Create(form.Handle(), RECT{5, 5, 80, 30}, L"Knopf", 7);
  button.OnClick = [](TovButton&) { throw std::logic_error("Klick ging schief"); };
  ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
  ASSERT_EQ(FErrors.size(), 2u);
  EXPECT_EQ(FErrors[1], L"Klick ging schief");
  button.OnClick = [](TovButton&) { throw 42; };
  ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(FErrors.size(), 3u);
  EXPECT_EQ(FErrors[2], L"Unbekannter Fehler");

  // A form without a sink of its own hands its errors to the form that owns it.
  TTestForm owned;
  owned.Create(300, 200, form.Handle());
  EXPECT_EQ(::SendMessageW(owned.Handle(), WM_TEST_THROW, 0, 0), 0);
  ASSERT_EQ(FErrors.size(), 4u);
  EXPECT_EQ(FErrors[3], L"Absturz im Fenster: äöü");
}

TEST_F(ControlsTest, ObjectAndWindowLiveAndDieTogether) {
  HWND hwnd = nullptr;
  {
    TTestForm form(&FErrors);
    form.Create();
    hwnd = form.Handle();
    ASSERT_TRUE(::IsWindow(hwnd));
  }
  EXPECT_FALSE(::IsWindow(hwnd)) << "the object destroys its window";
  EXPECT_FALSE(QuitPosted()) << "a base class never ends the message loop";

  TTestForm form(&FErrors);
  form.Create();
  hwnd = form.Handle();
  ::DestroyWindow(hwnd);
  EXPECT_EQ(form.Handle(), nullptr) << "cleared at WM_NCDESTROY";
  EXPECT_FALSE(QuitPosted());
  // Messages to the dead handle reach nothing; the object's destructor has nothing to do.
  SetLastError(0xdeadbeef);
  EXPECT_EQ(::SendMessageW(hwnd, WM_MOVE, 0, 0), 0);
}

// A procedure on top of the controls' own that counts, after they have seen
// WM_NCDESTROY, the properties their windows still hold.
struct TPropsAtEnd {
  static inline std::vector<std::pair<HWND, WNDPROC>> Next;
  static inline std::vector<int> Left;
  static BOOL CALLBACK Count(HWND, LPWSTR, HANDLE, ULONG_PTR nCount) {
    ++*reinterpret_cast<int*>(nCount);
    return TRUE;
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    WNDPROC next = nullptr;
    for (const auto& [h, p] : Next)
      if (h == hwnd) next = p;
    const LRESULT r = ::CallWindowProcW(next, hwnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
      int n = 0;
      ::EnumPropsExW(hwnd, &Count, reinterpret_cast<LPARAM>(&n));
      Left.push_back(n);
    }
    return r;
  }
  static void Watch(HWND hwnd) {
    Next.emplace_back(hwnd, reinterpret_cast<WNDPROC>(
                                ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc))));
  }
};

// Windows wants every property of a window removed by the end of its WM_NCDESTROY;
// the controls here die with their form while their objects live on.
TEST_F(ControlsTest, ControlsLeaveNoPropertyBehind) {
  TTestForm form(&FErrors);
  form.Create();
  TovGroupBox group;
  group.Create(form.Handle(), RECT{0, 0, 300, 150}, L"Gruppe", 10);
  TovPanel panel;
  panel.Create(group.Handle(), RECT{2, 20, 298, 60}, L"", 11);
  TovButton button;
  button.Create(group.Handle(), RECT{10, 70, 100, 95}, L"Knopf", 12);
  TovLabel label;
  label.Create(panel.Handle(), 5, 5, L"Text", 13, nullptr);
  TovEdit edit;
  edit.Create(form.Handle(), RECT{10, 160, 100, 180}, L"", 14);
  std::vector<TovControl*> controls{&group, &panel, &button, &label, &edit};
  TPropsAtEnd::Next.clear();
  TPropsAtEnd::Left.clear();
  for (TovControl* c : controls) {
    ASSERT_EQ(TovControl::FromHandle(c->Handle()), c);
    TPropsAtEnd::Watch(c->Handle());
  }
  ::DestroyWindow(form.Handle());
  EXPECT_EQ(TPropsAtEnd::Left, std::vector<int>(controls.size(), 0));
  for (TovControl* c : controls) EXPECT_EQ(c->Handle(), nullptr) << "the object knows its window is gone";
  EXPECT_TRUE(FErrors.empty());
}

// A close request while a step runs is carried out when the last step has ended.
TEST_F(ControlsTest, CloseRequestWaitsForTheStepsUnderWay) {
  TTestForm form(&FErrors);
  form.Create();
  {
    TovForm::TBusy outer(form);
    {
      TovForm::TBusy inner(form);
      ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
      ::SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_NE(form.Handle(), nullptr) << "closed while a step was under way";
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  EXPECT_EQ(form.Handle(), nullptr) << "the held request was not carried out";
  EXPECT_TRUE(FErrors.empty());
}

TEST_F(ControlsTest, ClicksReachTheFormThroughPanelAndGroupBox) {
  TTestForm form(&FErrors);
  form.Create();
  TFont font = CreateTahoma(-11, DEFAULT_CHARSET);
  TovGroupBox group;
  group.Create(form.Handle(), RECT{0, 0, 300, 150}, L"Gruppe", 10);
  group.SetFont(font.get());
  TovPanel panel;
  panel.Create(group.Handle(), RECT{2, 20, 298, 60}, L"", 11);
  TovButton inGroup, inPanel;
  inGroup.Create(group.Handle(), RECT{10, 70, 100, 95}, L"in der Gruppe", 12);
  inPanel.Create(panel.Handle(), RECT{5, 5, 100, 30}, L"im Panel", 13);
  std::vector<TovButton*> clicked;
  inGroup.OnClick = inPanel.OnClick = [&](TovButton& b) { clicked.push_back(&b); };
  ::SendMessageW(inGroup.Handle(), BM_CLICK, 0, 0);
  ::SendMessageW(inPanel.Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(clicked.size(), 2u);
  EXPECT_EQ(clicked[0], &inGroup);
  EXPECT_EQ(clicked[1], &inPanel);
  EXPECT_EQ(TovControl::FromHandle(panel.Handle()), &panel);
  // Windows of other kinds keep other pointers in their user data: they are no control.
  EXPECT_EQ(TovControl::FromHandle(form.Handle()), nullptr);
  HWND hForeign = ::CreateWindowExW(0, L"BUTTON", L"fremd", WS_CHILD, 0, 0, 5, 5, form.Handle(), nullptr, nullptr, nullptr);
  ::SetWindowLongPtrW(hForeign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
  EXPECT_EQ(TovControl::FromHandle(hForeign), nullptr);
  ::DestroyWindow(hForeign);

  // The inner area lies below the caption and inside the frame.
  const RECT inner = group.InnerRect();
  EXPECT_EQ(inner.left, 2);
  EXPECT_GT(inner.top, 10);
  EXPECT_EQ(inner.right, 298);
  EXPECT_EQ(inner.bottom, 148);
  EXPECT_TRUE(FErrors.empty());
}

TEST_F(ControlsTest, LabelKeepsTheSizeOfItsText) {
  TTestForm form(&FErrors);
  form.Create();
  TFont font = CreateTahoma(-11, DEFAULT_CHARSET);
  TovLabel label;
  label.Create(form.Handle(), 30, 7, L"LabelInfoStatus", 5, font.get());
  RECT r1{}, r2{}, r3{};
  ::GetWindowRect(label.Handle(), &r1);
  label.SetCaption(L"Informationen erfolgreich gesammelt.");
  ::GetWindowRect(label.Handle(), &r2);
  label.SetCaption(L"");
  ::GetWindowRect(label.Handle(), &r3);
  EXPECT_GT(r1.right - r1.left, 0);
  EXPECT_GT(r2.right - r2.left, r1.right - r1.left);
  EXPECT_EQ(r3.right - r3.left, 0);
  EXPECT_EQ(r1.left, r2.left) << "the label keeps its place";
  EXPECT_EQ(label.Caption(), L"");
}

// Bounding box of the pixels that are not the panel's colour, inside its bevel.
RECT InkBox(HWND hwnd, COLORREF cBack) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  RECT box{rc.right, rc.bottom, -1, -1};
  HDC hdc = ::GetDC(hwnd);
  for (int y = 2; y < rc.bottom - 2; ++y)
    for (int x = 2; x < rc.right - 2; ++x)
      if (::GetPixel(hdc, x, y) != cBack) {
        box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x), box.bottom = std::max<LONG>(box.bottom, y);
      }
  ::ReleaseDC(hwnd, hdc);
  return box;
}

TEST_F(ControlsTest, PanelDrawsARotatedCaptionUpwardsAtTheLeft) {
  TTestForm form(&FErrors);
  form.Create(300, 300);
  ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfEscapement = lf.lfOrientation = 900;
  wcscpy_s(lf.lfFaceName, L"Tahoma");
  TFont rotated(::CreateFontIndirectW(&lf));
  TFont flat = CreateTahoma(-16, DEFAULT_CHARSET);

  TovPanel panel;
  panel.Create(form.Handle(), RECT{10, 10, 110, 270}, L"Seitentext", 1);
  panel.SetFont(flat.get());
  const RECT flatBox = InkBox(panel.Handle(), panel.Color());
  ASSERT_GE(flatBox.right, 0) << "the caption is drawn";
  EXPECT_GT(flatBox.right - flatBox.left, flatBox.bottom - flatBox.top) << "horizontal text";

  panel.SetFont(rotated.get());
  const RECT box = InkBox(panel.Handle(), panel.Color());
  ASSERT_GE(box.right, 0);
  EXPECT_GT(box.bottom - box.top, box.right - box.left) << "upright text";
  EXPECT_LT(box.left, 25) << "along the left edge";
  // Centred vertically: it ends at half the height plus half its width.
  const LONG nMid = (box.top + box.bottom) / 2;
  EXPECT_LE(std::abs(nMid - 130), 6);
  ::DestroyWindow(form.Handle());
}

}  // namespace
}  // namespace sw
