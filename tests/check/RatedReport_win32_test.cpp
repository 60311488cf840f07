// The rated report of the real Sichtwerk.exe, read from its window, with practice
// systems registered in the test prefix and drive X: a 4 GB tmpfs (tests/check/drives.sh).
// Written for Windows; where Wine differs: the tmpfs names itself NTFS (the tests take
// the name from GetVolumeInformationW instead of assuming it), and Wine's user may write
// HKLM and HKCR, which on Windows needs an elevated test process.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "check/SystemMeasurements_win32.h"
#include "common/SichtwerkProcess_win32.h"
#include "report/InfoItem.h"
#include "report/MemoryPane.h"
#include "report/Render.h"

namespace sw::test {
namespace {

const std::wstring kHyphens(40, L'-');
const std::wstring kBang(44, L'!');
const std::wstring kDiskNote =
    L"Der freie Festplattenplatz auf dem Installationslaufwerk muss mindestens 5 GB betragen,empfohlen werden "
    L"mindestens 10 GB.";
const std::wstring kNotFound =
    L"Die Installation eines Arztinformationssystems wurde nicht gefunden, es wird der freie Platz auf Ihrem "
    L"Windows-Laufwerk angezeigt.";
const std::wstring kDriveLabel = L" belegter/gesamter Platz, Dateisystem / ";
const std::wstring kFull4GB = L"0 GB/4 GB belegt (0 %) = 4 GB frei";
const std::wstring kTooLittle = L" - Zuwenig freier Platz auf diesem Laufwerk!";

const wchar_t* const kAlbisKey = L"SOFTWARE\\CG\\ALBIS\\Albis on Windows";
const wchar_t* const kM1Key = L"SOFTWARE\\CompuMed\\M1";
const wchar_t* const kTurboKey = L"SOFTWARE\\TurboMed EDV GmbH\\TurboMed\\Current";
const wchar_t* const kAppPathKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TurboMed.exe";
const wchar_t* const kServerKey = L"CLSID\\{5D3A9C41-7E2B-4F08-A6C1-93B4E07D2F15}\\LocalServer32";

// A key made for one test in the 32-bit view (the one the 32-bit program reads). Every
// component it had to create is removed again, deepest first; values it set in a key
// that was there before are deleted.
class TScratchKey {
 public:
  TScratchKey(HKEY hRoot, const std::wstring& sPath) : FhRoot(hRoot) {
    std::size_t at = 0;
    while (at != std::wstring::npos) {
      at = sPath.find(L'\\', at + 1);
      const std::wstring sPart = sPath.substr(0, at);
      HKEY h = nullptr;
      DWORD dwDisposition = 0;
      SetLastError(0xdeadbeef);
      const LONG r = ::RegCreateKeyExW(hRoot, sPart.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                                       &h, &dwDisposition);
      if (r != ERROR_SUCCESS) {
        ADD_FAILURE() << "RegCreateKeyExW " << ToUtf8(sPart) << ": " << r;
        return;
      }
      if (dwDisposition == REG_CREATED_NEW_KEY) FCreated.push_back(sPart);
      if (at == std::wstring::npos) {
        FhKey = h;
        FbLeafIsNew = dwDisposition == REG_CREATED_NEW_KEY;
      } else {
        ::RegCloseKey(h);
      }
    }
  }
  ~TScratchKey() {
    if (FhKey) {
      if (!FbLeafIsNew)
        for (const std::wstring& s : FValues) ::RegDeleteValueW(FhKey, s.c_str());
      ::RegCloseKey(FhKey);
    }
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) {
      const LONG r = ::RegDeleteKeyExW(FhRoot, it->c_str(), KEY_WOW64_32KEY, 0);
      EXPECT_EQ(r, ERROR_SUCCESS) << "left behind: " << ToUtf8(*it);
    }
  }
  TScratchKey(const TScratchKey&) = delete;
  TScratchKey& operator=(const TScratchKey&) = delete;

  void SetString(const std::wstring& sName, const std::wstring& sValue) {
    ASSERT_NE(FhKey, nullptr);
    const DWORD cb = static_cast<DWORD>((sValue.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(::RegSetValueExW(FhKey, sName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(sValue.c_str()), cb),
              ERROR_SUCCESS);
    FValues.push_back(sName);
  }

 private:
  HKEY FhRoot;
  HKEY FhKey = nullptr;
  bool FbLeafIsNew = false;
  std::vector<std::wstring> FCreated;
  std::vector<std::wstring> FValues;
};

bool KeyExists32(HKEY hRoot, const wchar_t* sPath) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(hRoot, sPath, 0, KEY_READ | KEY_WOW64_32KEY, &h) != ERROR_SUCCESS) return false;
  ::RegCloseKey(h);
  return true;
}

// Drive X: is the 4 GB tmpfs when it reports exactly 4 x 2^30 bytes.
bool DriveXReady() {
  ULARGE_INTEGER uFree{}, uTotal{};
  if (!::GetDiskFreeSpaceExW(L"X:\\", &uFree, &uTotal, nullptr)) return false;
  return uTotal.QuadPart == 4ULL << 30;
}

// Drive N: of the prefix is the folder n in SW_CHECK_MOUNTS (tests/check/drives.sh).
// Moved aside for the life of this object, it leaves the letter pointing at nothing, as
// a mapped drive whose server is off; moved back after, for the tests that follow.
class TLostDriveN {
 public:
  TLostDriveN() {
    wchar_t sRoot[MAX_PATH] = {};
    const DWORD cch = ::GetEnvironmentVariableW(L"SW_CHECK_MOUNTS", sRoot, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH || sRoot[0] != L'/') return;
    // A Unix path: Z: maps the Unix root.
    std::wstring s = L"Z:" + std::wstring(sRoot, cch);
    for (wchar_t& c : s)
      if (c == L'/') c = L'\\';
    FsFolder = s + L"\\n";
    FsAside = s + L"\\n-aside";
    FbMoved = ::MoveFileW(FsFolder.c_str(), FsAside.c_str()) != FALSE;
  }
  ~TLostDriveN() {
    if (!FbMoved) return;
    EXPECT_TRUE(::MoveFileW(FsAside.c_str(), FsFolder.c_str())) << "N: left pointing at nothing";
  }
  TLostDriveN(const TLostDriveN&) = delete;
  TLostDriveN& operator=(const TLostDriveN&) = delete;

  // True when N: is there as a letter and does not answer.
  bool Lost() const {
    ULARGE_INTEGER uFree{};
    SetLastError(0xdeadbeef);
    return FbMoved && !::GetDiskFreeSpaceExW(L"N:\\", &uFree, nullptr, nullptr);
  }

 private:
  std::wstring FsFolder, FsAside;
  bool FbMoved = false;
};

std::wstring FileSystemOf(wchar_t cLetter) {
  TWinDriveSystem drives;
  return drives.QueryFileSystemName(std::wstring{cLetter, L':', L'\\'});
}

struct TLine {
  std::wstring sText;
  LONG nPos;  // character index in the pane, where a line end counts one
};

// The newest report: the pane's lines up to and including the first row of hyphens.
std::vector<TLine> NewestReport(const std::wstring& sPane) {
  std::vector<TLine> lines;
  std::size_t at = 0;
  LONG nPos = 0;
  while (at < sPane.size()) {
    std::size_t end = sPane.find(L"\r\n", at);
    if (end == std::wstring::npos) end = sPane.size();
    lines.push_back({sPane.substr(at, end - at), nPos});
    nPos += static_cast<LONG>(end - at) + 1;
    at = end + 2;
    if (lines.back().sText == kHyphens) break;
  }
  return lines;
}

int IndexOf(const std::vector<TLine>& lines, const std::wstring& sPrefix) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].sText.rfind(sPrefix, 0) == 0) return static_cast<int>(i);
  return -1;
}

bool StartsWith(const std::wstring& s, const std::wstring& sPrefix) { return s.rfind(sPrefix, 0) == 0; }

TColor ColorOf(const TSichtwerkProcess& app, const TLine& line) {
  CHARFORMAT2W cf;
  memset(&cf, 0xbd, sizeof(cf));
  if (!app.CharFormatAt(line.nPos, cf)) return 0xbdbdbdbd;
  return cf.crTextColor;
}

// Each verdict word is painted in its colour; lines without one are black, except the
// drive line that reached no verdict (navy) and values the renderer marks for "???".
void ExpectVerdictColours(const TSichtwerkProcess& app, const std::vector<TLine>& lines) {
  for (const TLine& line : lines) {
    if (line.sText.empty() || line.sText.find(L"???") != std::wstring::npos) continue;
    SCOPED_TRACE(ToUtf8(line.sText));
    const TColor c = ColorOf(app, line);
    if (StartsWith(line.sText, L"Gruen: "))
      EXPECT_EQ(c, clGreen);
    else if (StartsWith(line.sText, L"Gelb: "))
      EXPECT_EQ(c, clOlive);
    else if (StartsWith(line.sText, L"Rot: "))
      EXPECT_EQ(c, clRed);
    else if (line.sText.find(kDriveLabel) != std::wstring::npos)
      EXPECT_EQ(c, clNavy);
    else
      EXPECT_EQ(c, clBlack);
  }
}

struct TReport {
  std::vector<TLine> Lines;
  std::wstring sPane;
};

// Starts a copy of the exe in its own folder and reads its first report.
bool RunSichtwerk(TSichtwerkProcess& app, const std::wstring& sScratch, const TSichtwerkProcess::TEnvironment& env,
                  TReport& r) {
  const std::wstring sFolder = ScratchFolder(sScratch);
  if (sFolder.empty() || !app.Start(sFolder, env) || !app.WaitForReport()) return false;
  r.sPane = app.PaneText();
  r.Lines = NewestReport(r.sPane);
  return !r.Lines.empty() && r.Lines.back().sText == kHyphens;
}

TEST(RatedReport, NoPracticeSystemRatesTheWindowsDrive) {
  for (const wchar_t* sKey : {kAlbisKey, kM1Key, kTurboKey, kAppPathKey})
    ASSERT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, sKey)) << "left over in the prefix: " << ToUtf8(sKey);

  TSichtwerkProcess app;
  TReport r;
  ASSERT_TRUE(RunSichtwerk(app, L"check-none", {{L"MEDISTARDIR", L""}}, r)) << ToUtf8(app.PaneText());

  // Every row as it must read in the test prefix: the screen is the test display's
  // (tests/wine/wine-env.sh), the prefix a 64-bit one, and Wine reports no adapter's
  // speed. Where the value is the machine's own (time, name, memory, clock, drive C:),
  // the row's start and end; the drive's row is checked below.
  const std::pair<std::wstring, const wchar_t*> kRows[] = {  // start, end (nullptr: whole)
      {L"----- Check gestartet: ", L" -----"}, {L"Name des Rechners = ", L"  (64 Bit)"}, {L"", nullptr},
      {L"Freier RAM-Speicher sollte mindestens 256 MBytes groß sein.", nullptr},
      {L"Gruen: Freier RAM-Speicher = ", L" MBytes - OK!"}, {L"", nullptr},
      {L"Die CPU Taktfrequenz sollte mindestens 1 GHz betragen.", nullptr},
      {L"Gruen: CPU Taktfrequenz = ", L" GHz - OK!"}, {L"CPU Name = ", L""}, {L"", nullptr},
      {L"Netzwerk gefunden. Die Netzwerk Geschwindigkeit sollte mindestens 50 MBit betragen.", nullptr},
      {L"Die Netzwerk Geschwindigkeit konnte nicht festgestellt werden.", nullptr}, {L"", nullptr},
      {L"Die Bildschirmauflösung sollte mindestens 1024x768 Pixel sein.", nullptr},
      {L"Gruen: Bildschirm Auflösung in Pixel = 1280x1024 - OK!", nullptr}, {L"", nullptr},
      {L"Die darstellbaren Farben müssen mindestens 16-Bit, 16384 Colors (Farben) sein.", nullptr},
      {L"Gruen: Bildschirm Farbtiefe = 32-Bit, true Color - OK!", nullptr}, {L"", nullptr},
      {kDiskNote, nullptr}, {kNotFound, nullptr}, {L"", L""}, {kHyphens, nullptr},
  };
  ASSERT_EQ(r.Lines.size(), std::size(kRows)) << ToUtf8(r.sPane);
  for (std::size_t i = 0; i < r.Lines.size(); ++i) {
    SCOPED_TRACE(ToUtf8(r.Lines[i].sText));
    const std::wstring& s = r.Lines[i].sText;
    const auto& [sStart, sEnd] = kRows[i];
    if (!sEnd) {
      EXPECT_EQ(s, sStart);
    } else {
      EXPECT_TRUE(StartsWith(s, sStart) && s.size() >= sStart.size() + wcslen(sEnd) &&
                  s.compare(s.size() - wcslen(sEnd), std::wstring::npos, sEnd) == 0);
    }
  }

  const int iNote = IndexOf(r.Lines, kNotFound);
  ASSERT_GE(iNote, 2) << ToUtf8(r.sPane);
  EXPECT_EQ(r.Lines[iNote - 1].sText, kDiskNote);
  EXPECT_EQ(r.Lines[iNote - 2].sText, L"") << "the note's leading line feed";
  const std::wstring& sDrive = r.Lines[iNote + 1].sText;
  wchar_t sWinDir[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryW(sWinDir, MAX_PATH), 0u);
  wchar_t cWin = sWinDir[0];
  if (cWin >= L'a' && cWin <= L'z') cWin = static_cast<wchar_t>(cWin - L'a' + L'A');
  const std::wstring sLabel = L"Windows auf " + std::wstring(1, cWin) + L":" + kDriveLabel + FileSystemOf(cWin) + L" = ";
  EXPECT_NE(sDrive.find(sLabel), std::wstring::npos) << ToUtf8(sDrive);
  EXPECT_NE(FileSystemOf(cWin), L"???");
  ExpectVerdictColours(app, r.Lines);
  EXPECT_TRUE(app.SaveScreenshot(ArtifactPath(L"check-none.bmp")));
  EXPECT_TRUE(app.Close());
}

struct TKeySpec {
  HKEY hRoot;
  const wchar_t* sKey;
  const wchar_t* sValueName;
  const wchar_t* sPath;
};

// What the real Win32 adds to the check's choice of drive (the rules are proven against
// fakes in RequirementsCheck and AisDetection): the practice system read from the 32-bit
// view of the prefix's HKLM or from the child's environment, the product server from
// HKCR with its file on the drive, and the real query of drive X:, and of drive N:
// whose folder is gone.
TEST(RatedReport, PracticeSystemFromThePrefixRatesItsRealDrive) {
  if (!DriveXReady()) GTEST_SKIP() << "drive X: is not the 4 GB tmpfs (tests/check/drives.sh needs root)";
  const std::wstring sFs = FileSystemOf(L'X');
  ASSERT_NE(sFs, L"???");
  ASSERT_FALSE(KeyExists32(HKEY_CLASSES_ROOT, kServerKey)) << "left over in the prefix";
  // An empty file: it takes no block of the tmpfs, so X: stays at 4 GB free.
  ASSERT_TRUE(::CreateDirectoryW(L"X:\\Produkt", nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
  {
    HANDLE h = ::CreateFileW(L"X:\\Produkt\\Server.exe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
  }
  const std::wstring sX = kDriveLabel + sFs + L" = " + kFull4GB;
  struct TCase {
    const char* sName;
    std::vector<TKeySpec> Keys;
    const wchar_t* sMedistar;  // nullptr: removed from the child's environment
    std::wstring sDriveRow;    // the line after the disk-space note
    TColor cColor;
    bool bDriveNLost = false;
  };
  const TCase kCases[] = {
      {"Albis in HKLM, no product server: red",
       {{HKEY_LOCAL_MACHINE, kAlbisKey, L"Installationspfad", L"X:\\ALBISWIN"}}, nullptr,
       L"Rot: Albis auf X:" + sX + kTooLittle, clRed},
      {"MEDISTARDIR in the environment: red", {}, L"X:\\MEDISTAR", L"Rot: MEDISTAR auf X:" + sX + kTooLittle, clRed},
      {"product server in HKCR on the same drive: yellow",
       {{HKEY_LOCAL_MACHINE, kAlbisKey, L"Installationspfad", L"X:\\ALBISWIN"},
        {HKEY_CLASSES_ROOT, kServerKey, L"", L"X:\\Produkt\\Server.exe"}},
       nullptr, L"Gelb: Albis auf X:" + sX + L" - OK!", clOlive},
      {"practice system on a drive whose folder is gone: red, no sizes",
       {{HKEY_CLASSES_ROOT, kServerKey, L"", L"N:\\Produkt\\Server.exe"}}, L"N:\\MEDISTAR",
       // Under Wine a letter pointing at nothing is unknown to the system, as a drive the user
       // mapped is to a program started as administrator, and Wine's token is elevated.
       L"Rot: MEDISTAR auf N:" + kDriveLabel +
           L"??? = Laufwerk nicht erreichbar! (Als Administrator gestartet: Netzlaufwerke des Benutzers sind nicht "
           L"verbunden.)",
       clRed, true},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.sName);
    std::vector<std::unique_ptr<TScratchKey>> keys;
    for (const TKeySpec& k : c.Keys) {
      keys.push_back(std::make_unique<TScratchKey>(k.hRoot, k.sKey));
      keys.back()->SetString(k.sValueName, k.sPath);
    }
    std::optional<TLostDriveN> lost;
    if (c.bDriveNLost) {
      lost.emplace();
      ASSERT_TRUE(lost->Lost()) << "N: answers or is missing (tests/check/drives.sh); error " << ::GetLastError();
    }
    TSichtwerkProcess app;
    TReport r;
    // The report's status line: the run ended and the window is up.
    ASSERT_TRUE(RunSichtwerk(app, L"check-rows", {{L"MEDISTARDIR", c.sMedistar ? c.sMedistar : L""}}, r))
        << ToUtf8(app.PaneText());
    EXPECT_TRUE(::IsWindowVisible(app.MainWindow()));
    const int iNote = IndexOf(r.Lines, kDiskNote);
    ASSERT_GE(iNote, 0) << ToUtf8(r.sPane);
    ASSERT_LT(iNote + 1, static_cast<int>(r.Lines.size()));
    EXPECT_EQ(r.Lines[iNote + 1].sText, c.sDriveRow);
    EXPECT_EQ(ColorOf(app, r.Lines[iNote + 1]), c.cColor);
    // A red drive alone brings two points and with them the banner before the hyphens.
    const std::size_t n = r.Lines.size();
    ASSERT_GE(n, 5u);
    EXPECT_EQ(r.Lines[n - 2].sText == L"!Sprechen sie mit Ihrem Vertriebspartner!", c.cColor == clRed);
    if (c.cColor == clRed) {
      EXPECT_EQ(r.Lines[n - 3].sText, kBang);
      EXPECT_EQ(r.Lines[n - 5].sText, kBang);
    } else {
      EXPECT_TRUE(app.SaveScreenshot(ArtifactPath(L"check-same-drive.bmp")));
    }
    ExpectVerdictColours(app, r.Lines);
    EXPECT_TRUE(app.Close());
  }
  ::DeleteFileW(L"X:\\Produkt\\Server.exe");
  ::RemoveDirectoryW(L"X:\\Produkt");
  for (const wchar_t* sKey : {kAlbisKey, kM1Key, kTurboKey, kAppPathKey})
    EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, sKey)) << "not removed: " << ToUtf8(sKey);
  EXPECT_FALSE(KeyExists32(HKEY_CLASSES_ROOT, kServerKey)) << "not removed";
}

}  // namespace
}  // namespace sw::test
