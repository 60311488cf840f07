#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "win32/UniqueHandle_win32.h"

namespace sw {

// The one place that shows an error which escaped a window procedure or an event: the
// error sink of hFrom's form, or of the first form owning it that has one (the main
// window hands its own to everything it owns); without one a message box "Fehler"
// with the error text. The program goes on.
using TErrorSink = std::function<void(const std::wstring& sText)>;
void ShowException(HWND hFrom, std::exception_ptr pError) noexcept;
// The text shown for an error (exception texts are UTF-8).
std::wstring ExceptionText(std::exception_ptr pError);

// "Tahoma" at the given pixel height (-11 is 8 point at 96 dpi).
TFont CreateTahoma(int nHeight, BYTE nCharSet);

// The text of any window, "" when it has none.
std::wstring WindowText(HWND hwnd);

// Base of every control object: owns its child window, cannot be copied, destroys the
// window when it dies. The object is found from its window through a window property,
// which goes again at the window's WM_NCDESTROY.
class TovControl {
 public:
  TovControl() = default;
  TovControl(const TovControl&) = delete;
  TovControl& operator=(const TovControl&) = delete;
  virtual ~TovControl();

  HWND Handle() const { return Fhwnd; }
  std::wstring Caption() const;
  void SetCaption(const std::wstring& sCaption);
  void SetBounds(int nLeft, int nTop, int nWidth, int nHeight);
  void SetFont(HFONT hFont);
  HFONT Font() const { return FhFont; }
  // A control that loses the focus by being disabled gets it back from its form when
  // it is enabled again (see TovForm::RestoreFocus).
  void SetEnabled(bool bEnabled);
  bool Enabled() const { return ::IsWindowEnabled(Fhwnd) != FALSE; }

  // The object behind a window created through this family, nullptr for any other
  // window (a form, a control of another program or library).
  static TovControl* FromHandle(HWND hwnd);

 protected:
  // Creates the child window; throws std::runtime_error when Windows refuses.
  void CreateChild(const wchar_t* sClass, HWND hParent, DWORD dwStyle, DWORD dwExStyle,
                   const RECT& rcBounds, const std::wstring& sCaption, int nId);
  // Marks hwnd as this object's window and puts Subclass() in front of its procedure.
  void Attach(HWND hwnd);
  // Takes the object off hwnd, which then is no control of this family any more.
  static void Unmark(HWND hwnd);
  // For WM_NCDESTROY of a control's window: the property goes, and the object, if
  // any still points there, no longer has a window.
  static void Detach(HWND hwnd);
  // The procedure put in front of the class's own, which must end in CallClassProc and
  // pass WM_NCDESTROY to Detach; nullptr for a class whose own procedure does that.
  virtual WNDPROC Subclass() const { return &ControlProc; }
  // The class's own procedure: also for a window whose object is gone.
  static LRESULT CallClassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const auto proc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    return ::CallWindowProcW(proc, hwnd, uMsg, wParam, lParam);
  }

  HWND Fhwnd = nullptr;
  HFONT FhFont = nullptr;  // not owned: fonts belong to the form

 private:
  // Buttons, labels and edits: only WM_NCDESTROY is their object's business.
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
};

class TovButton : public TovControl {
 public:
  using TClick = std::function<void(TovButton& Sender)>;
  void Create(HWND hParent, const RECT& rcBounds, const std::wstring& sCaption, int nId,
              DWORD dwExtraStyle = 0);
  TClick OnClick;
  // Fired by the form for BN_CLICKED; errors are shown, not passed on.
  void Click();
};

// A static text that always takes the size of its text.
class TovLabel : public TovControl {
 public:
  void Create(HWND hParent, int nLeft, int nTop, const std::wstring& sCaption, int nId, HFONT hFont);
  void SetCaption(const std::wstring& sCaption);

 private:
  void AutoSize();
};

// A single-line edit field with a sunken edge.
class TovEdit : public TovControl {
 public:
  void Create(HWND hParent, const RECT& rcBounds, const std::wstring& sText, int nId, DWORD dwExtraStyle = 0);
  std::wstring Text() const { return Caption(); }
};

// A group box whose children report to the form: a plain BUTTON group box keeps their
// WM_COMMAND to itself, so it is subclassed to hand such messages to its parent.
class TovGroupBox : public TovControl {
 public:
  void Create(HWND hParent, const RECT& rcBounds, const std::wstring& sCaption, int nId);
  // The area inside the frame that aligned children share.
  RECT InnerRect() const;

 protected:
  WNDPROC Subclass() const override { return &SubclassProc; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
};

// A panel: background, raised bevel, centred caption; with a rotated font and centred
// alignment it draws its caption upwards along its left edge.
class TovPanel : public TovControl {
 public:
  enum class TAlignment { Left, Right, Center };
  void Create(HWND hParent, const RECT& rcBounds, const std::wstring& sCaption, int nId);
  TAlignment Alignment = TAlignment::Center;
  COLORREF Color() const { return ::GetSysColor(COLOR_BTNFACE); }
  // The drawing surface while Paint runs (nullptr otherwise).
  HDC Canvas() const { return FhCanvas; }

 protected:
  virtual void Paint();
  // The panel's own class procedure sees WM_NCDESTROY.
  WNDPROC Subclass() const override { return nullptr; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void TextOutRotated(const std::wstring& sText, int x, int y);
  HDC FhCanvas = nullptr;
};

}  // namespace sw
