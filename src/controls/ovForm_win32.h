#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace sw {

// The program's icon: group 1 of the running exe at the system's big and small icon
// size (SM_CXICON, SM_CXSMICON). Loaded shared, so never destroyed; null when the exe
// carries no icon. The first goes into a window class, the second onto a window
// (WM_SETICON), which is what WM_GETICON and the taskbar ask first.
void SetProgramIcon(WNDCLASSEXW& wc);
void SetProgramIcon(HWND hwnd);

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

  HWND Fhwnd = nullptr;

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Fire(const TNotify& aEvent);
};

}  // namespace sw
