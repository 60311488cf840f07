#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "check/Measurements.h"
#include "check/RunDriveQuery.h"
#include "common/Text.h"
#include "report/InfoItem.h"
#include "report/Render.h"

namespace sw {

namespace {
constexpr const wchar_t* kSection = L"Sichtwek";
constexpr const wchar_t* kNoValue = L"-1";

constexpr int kMinRamMB = 256;
constexpr int kGoodRamMB = 512;
constexpr int kRamCapMB = 4096;  // what a 32-bit process can see at most
constexpr int kMinCpuGHz = 1;
constexpr unsigned kMinNetMBit = 50;
constexpr unsigned kGoodNetMBit = 100;
constexpr int kMinScreenWidth = 1024;
constexpr int kMinDiskGB = 5;
constexpr int kRecommendedDiskGB = 10;
constexpr std::int32_t kSameDriveDiff_GB = 2;
constexpr const wchar_t* kDriveNotRated = L"Der freie Platz konnte nicht festgestellt werden.";

// A signed decimal integer, 0 for anything else ("???" included).
int ParseIntOrZero(const std::wstring& s) {
  std::size_t i = 0;
  bool bNegative = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) bNegative = s[i++] == L'-';
  if (i == s.size()) return 0;
  std::int64_t n = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < L'0' || s[i] > L'9') return 0;
    n = n * 10 + (s[i] - L'0');
    if (n > 2147483648LL) return 0;
  }
  if (bNegative) n = -n;
  if (n > 2147483647LL) return 0;
  return static_cast<int>(n);
}

std::wstring StartTimeText(const TLocalTime& t, ILocale& aLocale) {
  std::wstring s = aLocale.FormatShortDate(t);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0) s += L" " + aLocale.FormatLongTime(t);
  return s;
}
}  // namespace

bool TServiceInfos::CollectImportantEnvironmentInfos(std::wstring& sAISMail_To, IMeasurements& aMeasure) {
  iPoints = 0;
  auto Note = [this](const std::wstring& sText) { AddInfo(kSection, sText, kNoValue, clBlack); };
  auto Rated = [this](const std::wstring& sLabel, const std::wstring& sValue, TColor cColor) {
    AddInfo(kSection, sLabel, sValue, cColor);
  };
  try {
    const std::wstring s64Bit = aMeasure.RunsOn64BitWindows() ? L"(64 Bit)" : L"";
    Note(L"----- Check gestartet: " + StartTimeText(aMeasure.LocalNow(), aMeasure.Locale()) + L" -----");

    {
      // Fetched one by one, in this order.
      std::wstring sName = aMeasure.QueryComputerName();
      sName += L" " + aMeasure.WindowsReleaseText();
      sName += L" " + aMeasure.ServicePackText();
      sName += L" " + aMeasure.WindowsEditionText();
      sName += L" " + s64Bit;
      Rated(L"Name des Rechners", sName, clBlack);
    }

    Note(L"\nFreier RAM-Speicher sollte mindestens " + std::to_wstring(kMinRamMB) + L" MBytes groß sein.");
    {
      std::wstring v = aMeasure.QueryFreeRamMB();
      const int n = ParseIntOrZero(v);
      if (n < kMinRamMB) {
        Rated(L"Freier RAM-Speicher", v + L" MBytes - Wenig freier Speicher.", clOlive);
        iPoints += 2;
      } else if (n < kGoodRamMB) {
        Rated(L"Freier RAM-Speicher", v + L" MBytes - OK!", clOlive);
        iPoints += 1;
      } else {
        if (n == kRamCapMB) v = L">= " + v;
        Rated(L"Freier RAM-Speicher", v + L" MBytes - OK!", clGreen);
      }
    }

    Note(L"\nDie CPU Taktfrequenz sollte mindestens " + std::to_wstring(kMinCpuGHz) + L" GHz betragen.");
    {
      const std::wstring sClock = aMeasure.QueryCpuClockText();
      if (sClock.find(L" GHz") != std::wstring::npos) {
        Rated(L"CPU Taktfrequenz", sClock + L" - OK!", clGreen);
      } else {
        Rated(L"CPU Taktfrequenz", sClock + L" - Die CPU ist zu langsam.", clBlack);
        iPoints += 2;
      }
      Rated(L"CPU Name", aMeasure.QueryCpuIdentifier(), clBlack);
    }

    if (aMeasure.NetworkPresent()) {
      Note(L"\nNetzwerk gefunden. Die Netzwerk Geschwindigkeit sollte mindestens " +
           std::to_wstring(kMinNetMBit) + L" MBit betragen.");
      std::wstring sDescription;
      std::uint32_t nSpeed = 0;
      if (aMeasure.GetNetworkAdapterSpeed(sDescription, nSpeed)) {
        // Bits per second to MBit, ties to the even neighbour (the FPU's default mode).
        const unsigned m = static_cast<unsigned>(std::nearbyint(nSpeed / 1000.0 / 1000.0));
        const std::wstring sLabel = L"Netzwerk Geschwindigkeit von \"" + Trim(sDescription) + L"\"";
        const std::wstring sMBit = std::to_wstring(m) + L" MBit";
        if (m >= kGoodNetMBit) {
          Rated(sLabel, sMBit + L" - OK!", clGreen);
        } else if (m >= kMinNetMBit) {
          Rated(sLabel, sMBit + L" - Ausreichend, mit Performanceeinschränkungen.", clBlack);
        } else {
          Rated(sLabel, sMBit + L" - Netzwerk ist langsam.", clBlack);
          iPoints += 2;
        }
        Note(L"Die Netzwerk Geschwindigkeit ist die gemeldete maximale Übertragungsrate des Netzwerkadapters.");
        Note(L"Die tatsächliche Netzgeschwindigkeit oder der aktive Netzwerkadapter können abweichen.");
        Note(L"Die Geschwindigkeit ist nicht relevant, wenn sie Ihr Arztinformationssystem lokal installiert haben.");
        Note(L"Die Netzwerk Geschwindigkeit ist nur zur Info.");
      } else {
        Note(L"Die Netzwerk Geschwindigkeit konnte nicht festgestellt werden.");
      }
    } else {
      Rated(L"\nDieser Rechner verfügt nicht über ein Netzwerk. Eine lokale Installation ist möglich.", kNoValue,
            clGreen);
    }

    Note(L"\nDie Bildschirmauflösung sollte mindestens " + std::to_wstring(kMinScreenWidth) + L"x768 Pixel sein.");
    {
      const int iWidth = aMeasure.QueryScreenWidth();
      const int iHeight = aMeasure.QueryScreenHeight();
      const std::wstring sSize = std::to_wstring(iWidth) + L"x" + std::to_wstring(iHeight);
      if (iWidth >= kMinScreenWidth)
        Rated(L"Bildschirm Auflösung in Pixel", sSize + L" - OK!", clGreen);
      else
        Rated(L"Bildschirm Auflösung in Pixel",
              sSize + L" - Aktuelle Bildschirmauflösung führt zu Komforteinbußen bei der Bedienung.", clOlive);
    }

    Note(L"\nDie darstellbaren Farben müssen mindestens 16-Bit, 16384 Colors (Farben) sein.");
    {
      const std::wstring sDepth = aMeasure.QueryColorDepthText();
      if (sDepth == L"4-Bit, 16 Colors" || sDepth == L"8-Bit, 256 Colors")
        Rated(L"Bildschirm Farbtiefe", sDepth + L" - Zuwenig darstellbare Farben.", clRed);
      else
        Rated(L"Bildschirm Farbtiefe", sDepth + L" - OK!", clGreen);
    }

    std::wstring sName, sPath;
    aMeasure.GetAISInstallation(sName, sAISMail_To, sPath);
    wchar_t cLetter;
    if (sPath.empty()) {
      const std::wstring sWinDir = aMeasure.QueryWindowsDirectory();
      if (sWinDir.empty()) throw std::runtime_error("no Windows folder, no drive to rate");
      cLetter = AsciiUpper(sWinDir[0]);
      sName = L"Windows";
    } else {
      cLetter = sPath[0];
    }
    const bool bOnUnc = !sPath.empty() && sPath[0] == L'\\';
    // Every question that touches the drive goes to the worker, the drive's sizes
    // first. One that does not answer is asked nothing more in this run. The product
    // server's file can decide the same-drive rule only where its first character is
    // the installation's, so it is looked for only there, once that drive answered: on
    // another drive, a dead server or an empty card reader would only keep it waiting.
    TRunDriveQuery aDrives(aMeasure);
    bool bSameDrive = false;
    if (!bOnUnc && aDrives.Answers(cLetter) && !sPath.empty()) {
      const std::wstring sServer = aMeasure.ProductServerRegistration();
      bSameDrive = !sServer.empty() && sServer[0] == sPath[0] && aDrives.FileExists(cLetter, sServer);
    }

    Note(L"\nDer freie Festplattenplatz auf dem Installationslaufwerk muss mindestens " + std::to_wstring(kMinDiskGB) +
         L" GB betragen," + L"empfohlen werden mindestens " + std::to_wstring(kRecommendedDiskGB) + L" GB.");
    if (sName == L"Windows")
      Note(L"Die Installation eines Arztinformationssystems wurde nicht gefunden, es wird der freie Platz auf "
           L"Ihrem Windows-Laufwerk angezeigt.");

    if (bOnUnc) {
      Note(L"Ihre " + sName + L" Installation liegt auf einem UNC-Pfad. Der freie Platz kann nicht festgestellt werden.");
    } else {
      // Shown when the rating reaches no verdict and leaves the text alone; not "???",
      // which the renderer would paint red over the navy.
      std::wstring sValue = kDriveNotRated;
      TColor cColor = clNavy;
      GetDriveSpaceInformation(cLetter, sValue, cColor, bSameDrive ? kSameDriveDiff_GB : 0, aDrives,
                               aMeasure.Locale());
      Rated(sName + L" auf " + std::wstring(1, cLetter) + L": belegter/gesamter Platz, Dateisystem / " +
                aDrives.QueryFileSystemName(cLetter),
            sValue, cColor);
    }

    if (iPoints > 1) {
      const std::wstring sBang(44, L'!');
      Note(sBang);
      Note(sBang);
      Note(sBang);
      Note(L"!Sprechen sie mit Ihrem Vertriebspartner!");
    }
    Note(std::wstring(40, L'-'));
    return true;
  } catch (...) {
    Rated(L"Fehler", L"Ein Fehler ist aufgetreten", clRed);
    return false;
  }
}

}  // namespace sw
