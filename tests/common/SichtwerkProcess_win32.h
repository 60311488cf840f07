#pragma once
// Drives a copy of Sichtwerk.exe from another process, for end-to-end tests.
//
//   sw::test::TSichtwerkProcess app;
//   ASSERT_TRUE(app.Start(sw::test::ScratchFolder(L"e2e")));      // copies the exe there
//   ASSERT_TRUE(app.WaitForReport());                             // status says done
//   std::wstring s = app.PaneText();                              // every line + CR LF
//   app.SaveScreenshot(sw::test::ArtifactPath(L"e2e.bmp"));
//   DWORD code = 0; ASSERT_TRUE(app.Close(&code));
//
// Every call returns false or "" on failure and never throws. The destructor ends a
// program still running (TerminateProcess) so that no test leaves one behind.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <utility>
#include <vector>

namespace sw::test {

// A fresh folder %TEMP%\sw-tests\<sName>-<pid> (emptied of a former Sichtwerk.exe and
// its result log); returns its path without trailing backslash, "" on failure.
std::wstring ScratchFolder(const std::wstring& sName);
// %SW_BINARY_DIR%\artifacts\<sFileName> as a Windows path (the folder is created);
// falls back to the test program's folder when SW_BINARY_DIR is not set.
std::wstring ArtifactPath(const std::wstring& sFileName);
// The folder of the running test program (where the build put Sichtwerk.exe).
std::wstring TestProgramFolder();
// UTF-16 to UTF-8, for printing.
std::string ToUtf8(const std::wstring& s);

inline constexpr const wchar_t* kStatusDone = L"Informationen erfolgreich gesammelt.";

// A window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

class TSichtwerkProcess {
 public:
  using TEnvironment = std::vector<std::pair<std::wstring, std::wstring>>;

  TSichtwerkProcess() = default;
  TSichtwerkProcess(const TSichtwerkProcess&) = delete;
  TSichtwerkProcess& operator=(const TSichtwerkProcess&) = delete;
  ~TSichtwerkProcess();

  // Copies Sichtwerk.exe from sSourceFolder (default: the test program's folder) into
  // sFolder, starts it there with the test's environment plus aExtraEnv (name, value;
  // an empty value removes the name) and waits up to msTimeout for its main window.
  bool Start(const std::wstring& sFolder, const TEnvironment& aExtraEnv = {}, DWORD msTimeout = 30000,
             const std::wstring& sSourceFolder = L"");
  // Waits until the status line reads "Informationen erfolgreich gesammelt.".
  bool WaitForReport(DWORD msTimeout = 60000);
  // Waits until the status line reads sStatus.
  bool WaitForStatus(const std::wstring& sStatus, DWORD msTimeout);
  // Clicks "Informationen erneut sammeln" and waits for that run's report: its entry in
  // the result log beside the exe (the log grows), then the status line.
  bool CollectAgain(DWORD msTimeout = 60000);

  HWND MainWindow() const { return Fhwnd; }
  DWORD ProcessId() const { return Fpi.dwProcessId; }
  HANDLE Process() const { return Fpi.hProcess; }
  // The exe path of the copy that runs.
  const std::wstring& ExePath() const { return FsExe; }

  std::wstring Caption() const;
  std::wstring Status() const;
  // The report pane's text with CR LF after every line (EM_GETTEXTEX in the target).
  std::wstring PaneText() const;
  HWND Pane() const;
  // A child window of the main window by class and exact text ("" matches any text).
  HWND FindChild(const wchar_t* sClass, const std::wstring& sText) const;
  // The character format at one position of the pane, or of another rich-edit control
  // of the program (EM_EXSETSEL + EM_GETCHARFORMAT through memory in the target).
  // Moves the control's selection.
  bool CharFormatAt(LONG nPos, CHARFORMAT2W& cf, HWND hRichEdit = nullptr) const;
  // Posts a click of the button with this caption (with its '&'); does not wait.
  bool PressButton(const std::wstring& sCaption) const;
  // WM_CLOSE, then waits for the exit; pExitCode receives the exit code.
  bool Close(DWORD* pExitCode = nullptr, DWORD msTimeout = 30000);

  // The window's rectangle as it stands on the screen, saved as a 24-bit BMP once the
  // window has painted and its image has settled.
  bool SaveScreenshot(const std::wstring& sBmpPath) const { return SaveWindowScreenshot(Fhwnd, sBmpPath); }
  static bool SaveWindowScreenshot(HWND hwnd, const std::wstring& sBmpPath);

 private:
  PROCESS_INFORMATION Fpi{};
  HWND Fhwnd = nullptr;
  std::wstring FsExe;
};

}  // namespace sw::test
