#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "controls/ovControls_win32.h"

namespace sw {

// A top-level window owned by one C++ object. `this` is stored at WM_NCCREATE, checked
// on every message and cleared at WM_NCDESTROY. The form is not DPI-aware: sizes are
// design pixels. It never ends the message loop itself; a derived main window does.
class TovForm {
 public:
  using TNotify = std::function<void(TovForm& Sender)>;

  TovForm() = default;
  TovForm(const TovForm&) = delete;
  TovForm& operator=(const TovForm&) = delete;
  virtual ~TovForm();

  HWND Handle() const { return Fhwnd; }
  std::wstring Caption() const;
  void SetCaption(const std::wstring& sCaption);

  // Where the errors of this form, its controls and the windows it owns are shown
  // (see ShowException). Without a sink a form hands them on to its owner.
  void SetErrorSink(TErrorSink aSink) { FErrorSink = std::move(aSink); }
  const TErrorSink& ErrorSink() const { return FErrorSink; }

  // Shows the form modally: hOwner is disabled, FormShow runs, the window comes up
  // with nCmdShow and the focus on FirstFocus, and the thread's messages are pumped
  // until the window is gone; then hOwner is enabled and activated again. A quit
  // message closes the form and is posted again for the program's own loop.
  void ShowModal(HWND hOwner, int nCmdShow);

  // The form object of a window created by this class, nullptr for any other window.
  static TovForm* FromHandle(HWND hwnd);

  // While a step that lets messages through (a collection run, a mail hand-over,
  // printing, an open modal form) is under way, the form is busy: a close request is
  // held, handed on to the modal form the step shows, and carried out once the last
  // step has ended. Nested steps count.
  class TBusy {
   public:
    explicit TBusy(TovForm& aForm);
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TovForm& FForm;
  };
  bool Busy() const { return FnBusy > 0; }
  // A close request waits for the busy steps to end.
  bool CloseHeld() const { return FbCloseHeld; }

  // Focus: the control that has it when the form is deactivated gets it back when
  // the form is activated again; the first activation gives it to FirstFocus, or the
  // first tab stop. A control that is disabled while it has the focus is remembered
  // (RememberFocus) and gets it back when enabled (RestoreLostFocus), while the form
  // is active and nothing else has taken it.
  void RememberFocus(HWND hControl);
  void RestoreLostFocus();
  // Gives hControl the focus now if the form is active, else when it is activated.
  void FocusControl(HWND hControl);

  TNotify OnExitSizeMove;
  TNotify OnEnterSizeMove;
  TNotify OnMove;

 protected:
  // Registers sClassName once and creates the window with the given client size,
  // centred on the screen. Throws std::runtime_error when Windows refuses.
  void CreateForm(const wchar_t* sClassName, const std::wstring& sCaption, DWORD dwStyle,
                  DWORD dwExStyle, int nClientWidth, int nClientHeight, HWND hOwner = nullptr);
  // Messages not handled here go to DefWindowProc. Exceptions are caught by the caller.
  virtual LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(Fhwnd, uMsg, wParam, lParam);
  }
  // WM_DESTROY of the own window, before WM_NCDESTROY.
  virtual void Destroyed() {}
  // ShowModal's show handler, before the window first becomes visible.
  virtual void FormShow() {}
  // The control that ShowModal gives the focus once the window is up; nullptr: the
  // first tab stop.
  virtual HWND FirstFocus() { return nullptr; }
  // A close request that is not held (close box, Alt+F4, WM_CLOSE): destroys the window.
  virtual void FormClose() { ::DestroyWindow(Fhwnd); }
  // Esc, as the dialog manager reports it (IDCANCEL); a form does nothing by default.
  virtual void EscapePressed() {}
  // The one default-button rule of the form: the button that Enter presses while the
  // focus is on hFocus, which is not a button (a focused button is pressed itself);
  // nullptr: the form's default button whatever has the focus. The dialog manager is
  // told the same button (DM_GETDEFID).
  virtual TovButton* DefaultButton(HWND hFocus) { return nullptr; }

  HWND Fhwnd = nullptr;

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Fire(const TNotify& aEvent);
  bool PressDefaultButton(const MSG& msg);
  void RequestClose();
  bool CanTakeFocus(HWND hControl) const;
  void RestoreFocus();
  static BOOL CALLBACK SendColorChange(HWND hwnd, LPARAM lParam);
  void FollowColors();

  TErrorSink FErrorSink;
  int FnBusy = 0;
  bool FbCloseHeld = false;
  HWND FhModalForm = nullptr;  // the modal form a busy step shows
  HWND FhFocus = nullptr;      // the control to give the focus back to
};

}  // namespace sw
