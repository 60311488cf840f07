#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/FakeMeasurements.h"
#include "report/InfoItem.h"

namespace sw {
namespace {

using test::kGiB;
using test::TFakeMeasurements;

struct TEntry {
  std::wstring Info, Value;
  TColor Color;
  bool operator==(const TEntry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TEntry& e) {
  return os << testing::PrintToString(e.Info) << " | " << testing::PrintToString(e.Value) << " | 0x" << std::hex
            << e.Color << std::dec;
}

struct TRun {
  std::vector<TEntry> Entries;
  int iPoints = 0;
  std::wstring sMail;

  // Index of the first entry whose label starts with sPrefix, -1 when none.
  int Find(const std::wstring& sPrefix) const {
    for (std::size_t i = 0; i < Entries.size(); ++i)
      if (Entries[i].Info.rfind(sPrefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  const TEntry& At(const std::wstring& sPrefix) const {
    const int i = Find(sPrefix);
    if (i < 0) throw std::runtime_error("entry missing");
    return Entries[static_cast<std::size_t>(i)];
  }
};

TRun RunCheck(TFakeMeasurements& m, std::wstring sMail = L"vorher@praxis.example") {
  TServiceInfos list;
  list.CollectImportantEnvironmentInfos(sMail, m);
  TRun r;
  for (int i = 0; i < list.Count(); ++i) {
    const TInfoItem& it = list.GetInfoItem(i);
    EXPECT_EQ(it.Section, L"Sichtwek") << "entry " << i;
    r.Entries.push_back({it.Info, it.Value, it.Color});
  }
  r.iPoints = list.Points();
  r.sMail = sMail;
  return r;
}

const std::wstring kBang(44, L'!');
const std::wstring kHyphens(40, L'-');

TEST(RequirementsCheck, GoodMachineGivesEveryRowInOrder) {
  TFakeMeasurements m;
  m.sAisName = L"Albis";
  m.sAisMail = L"albis@vendor.example";
  m.sAisPath = L"D:\\Albis";
  m.sServer = L"D:\\Programme\\Server.exe";
  m.FakeDrives.Drives[L'D'] = {7 * kGiB, 8 * kGiB, L"NTFS"};
  const TRun r = RunCheck(m);
  const std::vector<TEntry> kExpected = {
      {L"----- Check gestartet: 8.12.2026 09:05:07 -----", L"-1", 0},
      {L"Name des Rechners", L"PRAXIS-PC Windows 7 SP1 Professional (64 Bit)", 0},
      {L"\nFreier RAM-Speicher sollte mindestens 256 MBytes groß sein.", L"-1", 0},
      {L"Gruen: Freier RAM-Speicher", L"2048 MBytes - OK!", clGreen},
      {L"\nDie CPU Taktfrequenz sollte mindestens 1 GHz betragen.", L"-1", 0},
      {L"Gruen: CPU Taktfrequenz", L"2,40 GHz - OK!", clGreen},
      {L"CPU Name", L"x86 Family 6 Model 58 Stepping 9", 0},
      {L"\nNetzwerk gefunden. Die Netzwerk Geschwindigkeit sollte mindestens 50 MBit betragen.", L"-1", 0},
      {L"Gruen: Netzwerk Geschwindigkeit von \"Intel(R) PRO/1000\"", L"1000 MBit - OK!", clGreen},
      {L"Die Netzwerk Geschwindigkeit ist die gemeldete maximale Übertragungsrate des Netzwerkadapters.", L"-1", 0},
      {L"Die tatsächliche Netzgeschwindigkeit oder der aktive Netzwerkadapter können abweichen.", L"-1", 0},
      {L"Die Geschwindigkeit ist nicht relevant, wenn sie Ihr Arztinformationssystem lokal installiert haben.",
       L"-1", 0},
      {L"Die Netzwerk Geschwindigkeit ist nur zur Info.", L"-1", 0},
      {L"\nDie Bildschirmauflösung sollte mindestens 1024x768 Pixel sein.", L"-1", 0},
      {L"Gruen: Bildschirm Auflösung in Pixel", L"1280x1024 - OK!", clGreen},
      {L"\nDie darstellbaren Farben müssen mindestens 16-Bit, 16384 Colors (Farben) sein.", L"-1", 0},
      {L"Gruen: Bildschirm Farbtiefe", L"32-Bit, True Color - OK!", clGreen},
      {L"\nDer freie Festplattenplatz auf dem Installationslaufwerk muss mindestens 5 GB betragen,empfohlen werden "
       L"mindestens 10 GB.",
       L"-1", 0},
      {L"Gruen: Albis auf D: belegter/gesamter Platz, Dateisystem / NTFS", L"1 GB/8 GB belegt (12 %) = 7 GB frei - OK!",
       clGreen},
      {kHyphens, L"-1", 0},
  };
  EXPECT_EQ(r.Entries, kExpected);
  EXPECT_EQ(r.iPoints, 0);
  EXPECT_EQ(r.sMail, L"albis@vendor.example");
  EXPECT_EQ(r.Entries.back().Info, L"----------------------------------------") << "the closing line: 40 hyphens";
}

TEST(RequirementsCheck, FreeRam) {
  struct TCase {
    const wchar_t* sRam;
    const wchar_t* sValue;
    TColor cColor;
    int iPoints;
  };
  const TCase kCases[] = {
      {L"255", L"255 MBytes - Wenig freier Speicher.", clOlive, 2},
      {L"256", L"256 MBytes - OK!", clOlive, 1},
      {L"511", L"511 MBytes - OK!", clOlive, 1},
      {L"512", L"512 MBytes - OK!", clGreen, 0},
      {L"4095", L"4095 MBytes - OK!", clGreen, 0},
      {L"4096", L">= 4096 MBytes - OK!", clGreen, 0},
      {L"4097", L"4097 MBytes - OK!", clGreen, 0},
      {L"???", L"??? MBytes - Wenig freier Speicher.", clOlive, 2},
      {L"", L" MBytes - Wenig freier Speicher.", clOlive, 2},
      {L"-5", L"-5 MBytes - Wenig freier Speicher.", clOlive, 2},
      {L"99999999999", L"99999999999 MBytes - Wenig freier Speicher.", clOlive, 2},  // not an int32: 0
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.sRam)));
    TFakeMeasurements m;
    m.sFreeRam = c.sRam;
    const TRun r = RunCheck(m);
    const TEntry& e = r.At(c.cColor == clGreen ? L"Gruen: Freier RAM" : L"Gelb: Freier RAM");
    EXPECT_EQ(e.Value, c.sValue);
    EXPECT_EQ(e.Color, c.cColor);
    EXPECT_EQ(r.iPoints, c.iPoints);
  }
}

TEST(RequirementsCheck, ProcessorClock) {
  struct TCase {
    const wchar_t* sClock;
    const wchar_t* sInfo;
    const wchar_t* sValue;
    TColor cColor;
    int iPoints;
  };
  const TCase kCases[] = {
      {L"1023 MHz", L"CPU Taktfrequenz", L"1023 MHz - Die CPU ist zu langsam.", 0, 2},
      {L"1,00 GHz", L"Gruen: CPU Taktfrequenz", L"1,00 GHz - OK!", clGreen, 0},
      {L"???", L"CPU Taktfrequenz", L"??? - Die CPU ist zu langsam.", 0, 2},
      {L"2,00 ghz", L"CPU Taktfrequenz", L"2,00 ghz - Die CPU ist zu langsam.", 0, 2},  // case-sensitive
      {L"2,00GHz", L"CPU Taktfrequenz", L"2,00GHz - Die CPU ist zu langsam.", 0, 2},    // blank required
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.sClock)));
    TFakeMeasurements m;
    m.sClock = c.sClock;
    const TRun r = RunCheck(m);
    const int i = r.Find(c.sInfo);
    ASSERT_GE(i, 0);
    EXPECT_EQ(r.Entries[i].Info, c.sInfo);
    EXPECT_EQ(r.Entries[i].Value, c.sValue);
    EXPECT_EQ(r.Entries[i].Color, c.cColor);
    EXPECT_EQ(r.Entries[i + 1].Info, L"CPU Name") << "the identifier follows the clock";
    EXPECT_EQ(r.iPoints, c.iPoints);
  }
}

TEST(RequirementsCheck, NetworkSpeed) {
  struct TCase {
    std::uint32_t nBits;
    const wchar_t* sValue;
    TColor cColor;
    int iPoints;
  };
  const TCase kCases[] = {
      {100000000u, L"100 MBit - OK!", clGreen, 0},
      {99000000u, L"99 MBit - Ausreichend, mit Performanceeinschränkungen.", 0, 0},
      {50000000u, L"50 MBit - Ausreichend, mit Performanceeinschränkungen.", 0, 0},
      {49000000u, L"49 MBit - Netzwerk ist langsam.", 0, 2},
      {99500000u, L"100 MBit - OK!", clGreen, 0},  // half to even: up
      {50500000u, L"50 MBit - Ausreichend, mit Performanceeinschränkungen.", 0, 0},  // half to even: down
      {49500000u, L"50 MBit - Ausreichend, mit Performanceeinschränkungen.", 0, 0},
      {48500000u, L"48 MBit - Netzwerk ist langsam.", 0, 2},
      {0u, L"0 MBit - Netzwerk ist langsam.", 0, 2},
      {4294967295u, L"4295 MBit - OK!", clGreen, 0},  // unsigned, no wrap to negative
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.nBits);
    TFakeMeasurements m;
    m.nSpeed = c.nBits;
    const TRun r = RunCheck(m);
    const int i = r.Find(c.cColor == clGreen ? L"Gruen: Netzwerk Geschwindigkeit von" : L"Netzwerk Geschwindigkeit von");
    ASSERT_GE(i, 0);
    EXPECT_EQ(r.Entries[i].Value, c.sValue);
    EXPECT_EQ(r.Entries[i].Color, c.cColor);
    EXPECT_EQ(r.iPoints, c.iPoints);
    // The four notes follow whatever the speed.
    ASSERT_LT(i + 4, static_cast<int>(r.Entries.size()));
    EXPECT_EQ(r.Entries[i + 4].Info, L"Die Netzwerk Geschwindigkeit ist nur zur Info.");
  }
}

TEST(RequirementsCheck, AdapterDescriptionIsTrimmed) {
  TFakeMeasurements m;
  m.sAdapter = std::wstring(L" \tRealtek PCIe GBE\r\n", 20) + std::wstring(1, L'\0');
  const TRun r = RunCheck(m);
  EXPECT_GE(r.Find(L"Gruen: Netzwerk Geschwindigkeit von \"Realtek PCIe GBE\""), 0);
  EXPECT_EQ(r.At(L"Gruen: Netzwerk").Info, L"Gruen: Netzwerk Geschwindigkeit von \"Realtek PCIe GBE\"");
}

TEST(RequirementsCheck, NoNetworkAndNoAdapter) {
  {
    SCOPED_TRACE("no network");
    TFakeMeasurements m;
    m.bNetwork = false;
    const TRun r = RunCheck(m);
    EXPECT_EQ(m.iAdapterCalls, 0);
    const int i = r.Find(L"Gruen: \nDieser Rechner");
    ASSERT_GE(i, 0);
    EXPECT_EQ(r.Entries[i],
              (TEntry{L"Gruen: \nDieser Rechner verfügt nicht über ein Netzwerk. Eine lokale Installation ist möglich.",
                      L"-1", clGreen}));
    EXPECT_EQ(r.Entries[i - 1].Info, L"CPU Name");
    EXPECT_EQ(r.Entries[i + 1].Info, L"\nDie Bildschirmauflösung sollte mindestens 1024x768 Pixel sein.");
    EXPECT_EQ(r.Find(L"\nNetzwerk gefunden"), -1);
    EXPECT_EQ(r.iPoints, 0);
  }
  {
    SCOPED_TRACE("network without adapter");
    TFakeMeasurements m;
    m.bAdapter = false;
    const TRun r = RunCheck(m);
    const int i = r.Find(L"\nNetzwerk gefunden");
    ASSERT_GE(i, 0);
    EXPECT_EQ(r.Entries[i + 1], (TEntry{L"Die Netzwerk Geschwindigkeit konnte nicht festgestellt werden.", L"-1", 0}));
    EXPECT_EQ(r.Entries[i + 2].Info, L"\nDie Bildschirmauflösung sollte mindestens 1024x768 Pixel sein.");
    EXPECT_EQ(r.iPoints, 0);
  }
}

TEST(RequirementsCheck, ScreenAndColours) {
  struct TCase {
    int iWidth, iHeight;
    const wchar_t* sDepth;
    TEntry Screen, Depth;
  };
  const TCase kCases[] = {
      {1024, 600, L"16-Bit, high Color", {L"Gruen: Bildschirm Auflösung in Pixel", L"1024x600 - OK!", clGreen},
       {L"Gruen: Bildschirm Farbtiefe", L"16-Bit, high Color - OK!", clGreen}},
      {800, 600, L"8-Bit, 256 Colors",
       {L"Gelb: Bildschirm Auflösung in Pixel",
        L"800x600 - Aktuelle Bildschirmauflösung führt zu Komforteinbußen bei der Bedienung.", clOlive},
       {L"Rot: Bildschirm Farbtiefe", L"8-Bit, 256 Colors - Zuwenig darstellbare Farben.", clRed}},
      {1023, 4000, L"4-Bit, 16 Colors",
       {L"Gelb: Bildschirm Auflösung in Pixel",
        L"1023x4000 - Aktuelle Bildschirmauflösung führt zu Komforteinbußen bei der Bedienung.", clOlive},
       {L"Rot: Bildschirm Farbtiefe", L"4-Bit, 16 Colors - Zuwenig darstellbare Farben.", clRed}},
      {1920, 1080, L"8-bit, 256 colors", {L"Gruen: Bildschirm Auflösung in Pixel", L"1920x1080 - OK!", clGreen},
       {L"Gruen: Bildschirm Farbtiefe", L"8-bit, 256 colors - OK!", clGreen}},
      {1920, 1080, L"", {L"Gruen: Bildschirm Auflösung in Pixel", L"1920x1080 - OK!", clGreen},
       {L"Gruen: Bildschirm Farbtiefe", L" - OK!", clGreen}},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.iWidth << "x" << c.iHeight);
    TFakeMeasurements m;
    m.iWidth = c.iWidth;
    m.iHeight = c.iHeight;
    m.sDepth = c.sDepth;
    const TRun r = RunCheck(m);
    EXPECT_EQ(r.At(c.Screen.Info), c.Screen);
    EXPECT_EQ(r.At(c.Depth.Info), c.Depth);
    EXPECT_EQ(r.iPoints, 0) << "neither screen nor colours add points";
  }
}

TEST(RequirementsCheck, MachineNameKeepsItsBlanks) {
  TFakeMeasurements m;
  m.sServicePack = L"";
  m.b64Bit = false;
  const TRun r = RunCheck(m);
  EXPECT_EQ(r.At(L"Name des Rechners").Value, L"PRAXIS-PC Windows 7  Professional ");
}

TEST(RequirementsCheck, StartTimeLeavesOutMidnight) {
  struct TCase {
    TLocalTime t;
    const wchar_t* sInfo;
  };
  const TCase kCases[] = {
      {{2026, 1, 2, 0, 0, 0}, L"----- Check gestartet: 2.1.2026 -----"},
      {{2026, 1, 2, 0, 0, 1}, L"----- Check gestartet: 2.1.2026 00:00:01 -----"},
      {{2026, 1, 2, 0, 1, 0}, L"----- Check gestartet: 2.1.2026 00:01:00 -----"},
      {{2026, 1, 2, 23, 59, 59}, L"----- Check gestartet: 2.1.2026 23:59:59 -----"},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.sInfo)));
    TFakeMeasurements m;
    m.Now = c.t;
    const TRun r = RunCheck(m);
    ASSERT_FALSE(r.Entries.empty());
    EXPECT_EQ(r.Entries[0], (TEntry{c.sInfo, L"-1", 0}));
  }
}

// Which drive the check rates for the practice system it is given (detection itself:
// AisDetection), and its rating: the rows from the disk-space note to the end.
TEST(RequirementsCheck, DriveOfThePracticeSystem) {
  struct TCase {
    const char* sName;
    const wchar_t *sAisName, *sAisPath, *sServer, *sWinDir;
    std::vector<TEntry> Tail;  // from the note after the disk-space note on
    std::vector<wchar_t> Asked;  // every drive touched: sizes, file system, product server's file
    int iPoints;
    bool bElevated = false;
    wchar_t cUnknown = 0;         // a letter the system does not know
    const wchar_t* sRemembered = L"";  // the network path remembered for it
  };
  const std::wstring kNotFound =
      L"Die Installation eines Arztinformationssystems wurde nicht gefunden, es wird der freie Platz auf Ihrem "
      L"Windows-Laufwerk angezeigt.";
  const std::wstring kOK4 = L"4 GB/8 GB belegt (50 %) = 4 GB frei - OK!";
  const std::wstring kRed4 = L"4 GB/8 GB belegt (50 %) = 4 GB frei - Zuwenig freier Platz auf diesem Laufwerk!";
  const std::wstring kGreenC = L"40 GB/100 GB belegt (40 %) = 60 GB frei - OK!";
  const TEntry kBang1{kBang, L"-1", 0};
  const TEntry kSpeak{L"!Sprechen sie mit Ihrem Vertriebspartner!", L"-1", 0};
  const TCase kCases[] = {
      {"no practice system: Windows drive, upper-cased", L"", L"", L"", L"c:\\windows",
       {{kNotFound, L"-1", 0}, {L"Gruen: Windows auf C: belegter/gesamter Platz, Dateisystem / NTFS", kGreenC, clGreen},
        {kHyphens, L"-1", 0}},
       {L'C', L'C'}, 0},
      {"name without path counts as not found", L"TurboMed", L"", L"D:\\x.exe", L"C:\\WINDOWS",
       {{kNotFound, L"-1", 0}, {L"Gruen: Windows auf C: belegter/gesamter Platz, Dateisystem / NTFS", kGreenC, clGreen},
        {kHyphens, L"-1", 0}},
       {L'C', L'C'}, 0},
      {"same drive lowers the limit", L"Albis", L"D:\\Albis", L"D:\\Prog\\Server.exe", L"C:\\windows",
       {{L"Gelb: Albis auf D: belegter/gesamter Platz, Dateisystem / exFAT", kOK4, clOlive}, {kHyphens, L"-1", 0}},
       {L'D', L'D', L'D'}, 1},
      {"other drive keeps the limit", L"Albis", L"D:\\Albis", L"C:\\Prog\\Server.exe", L"C:\\windows",
       {{L"Rot: Albis auf D: belegter/gesamter Platz, Dateisystem / exFAT", kRed4, clRed}, kBang1, kBang1, kBang1, kSpeak, {kHyphens, L"-1", 0}},
       {L'D', L'D'}, 2},
      {"no product server keeps the limit", L"Albis", L"D:\\Albis", L"", L"C:\\windows",
       {{L"Rot: Albis auf D: belegter/gesamter Platz, Dateisystem / exFAT", kRed4, clRed}, kBang1, kBang1, kBang1, kSpeak, {kHyphens, L"-1", 0}},
       {L'D', L'D'}, 2},
      {"letters compared with case", L"Compumed M1", L"d:\\M1", L"D:\\Prog\\Server.exe", L"C:\\windows",
       {{L"Rot: Compumed M1 auf d: belegter/gesamter Platz, Dateisystem / exFAT", kRed4, clRed}, kBang1, kBang1, kBang1, kSpeak, {kHyphens, L"-1", 0}},
       {L'd', L'd'}, 2},
      {"UNC product server keeps the limit", L"TurboMed", L"\\\\srv\\tm", L"\\\\srv\\x.exe", L"C:\\windows",
       {{L"Ihre TurboMed Installation liegt auf einem UNC-Pfad. Der freie Platz kann nicht festgestellt werden.",
         L"-1", 0},
        {kHyphens, L"-1", 0}},
       {}, 0},
      {"UNC practice system", L"MEDISTAR", L"\\\\server\\medistar", L"", L"C:\\windows",
       {{L"Ihre MEDISTAR Installation liegt auf einem UNC-Pfad. Der freie Platz kann nicht festgestellt werden.",
         L"-1", 0},
        {kHyphens, L"-1", 0}},
       {}, 0},
      {"unreachable drive of the practice system: asked once, the server's file on it not at all", L"MEDISTAR",
       L"Q:\\M", L"Q:\\Prog\\Server.exe", L"C:\\windows",
       {{L"Rot: MEDISTAR auf Q: belegter/gesamter Platz, Dateisystem / ???", L"Laufwerk nicht erreichbar!", clRed},
        {kBang, L"-1", 0}, {kBang, L"-1", 0}, {kBang, L"-1", 0},
        {L"!Sprechen sie mit Ihrem Vertriebspartner!", L"-1", 0}, {kHyphens, L"-1", 0}},
       {L'Q'}, 2, true},
      {"unknown letter, remembered share: its sizes under the letter, its server's file there", L"MEDISTAR",
       L"M:\\M", L"M:\\Prog\\Server.exe", L"C:\\windows",
       {{L"Gelb: MEDISTAR auf M: belegter/gesamter Platz, Dateisystem / exFAT", kOK4, clOlive}, {kHyphens, L"-1", 0}},
       {L'\\', L'\\', L'\\'}, 1, true, L'M', L"\\\\praxis-server\\medistar"},
      {"unknown letter, nothing remembered, started as administrator: says why", L"MEDISTAR", L"M:\\M", L"",
       L"C:\\windows",
       {{L"Rot: MEDISTAR auf M: belegter/gesamter Platz, Dateisystem / ???",
         L"Laufwerk nicht erreichbar! (Als Administrator gestartet: Netzlaufwerke des Benutzers sind nicht "
         L"verbunden.)",
         clRed},
        {kBang, L"-1", 0}, {kBang, L"-1", 0}, {kBang, L"-1", 0},
        {L"!Sprechen sie mit Ihrem Vertriebspartner!", L"-1", 0}, {kHyphens, L"-1", 0}},
       {}, 2, true, L'M'},
      {"unknown letter, nothing remembered, a user's program: plain", L"MEDISTAR", L"M:\\M", L"", L"C:\\windows",
       {{L"Rot: MEDISTAR auf M: belegter/gesamter Platz, Dateisystem / ???", L"Laufwerk nicht erreichbar!", clRed},
        {kBang, L"-1", 0}, {kBang, L"-1", 0}, {kBang, L"-1", 0},
        {L"!Sprechen sie mit Ihrem Vertriebspartner!", L"-1", 0}, {kHyphens, L"-1", 0}},
       {}, 2, false, L'M'},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.sName);
    TFakeMeasurements m;
    m.sAisName = c.sAisName;
    m.sAisPath = c.sAisPath;
    m.sAisMail = *c.sAisName ? L"vendor@x.example" : L"";
    m.sServer = c.sServer;
    m.sWinDir = c.sWinDir;
    m.FakeDrives.Drives[L'D'] = {4 * kGiB, 8 * kGiB, L"exFAT"};
    m.FakeDrives.Drives[L'd'] = m.FakeDrives.Drives[L'D'];
    m.FakeDrives.Shares[L"\\\\praxis-server\\medistar\\"] = m.FakeDrives.Drives[L'D'];
    if (c.cUnknown) m.FakeDrives.Unknown.insert(c.cUnknown);
    if (*c.sRemembered) m.FakeDrives.Remembered[c.cUnknown] = c.sRemembered;
    m.bElevated = c.bElevated;
    const TRun r = RunCheck(m);
    const int i = r.Find(L"\nDer freie Festplattenplatz");
    ASSERT_GE(i, 0);
    // The note names the fixed limits, also where the lower one applies.
    EXPECT_EQ(r.Entries[i].Info, L"\nDer freie Festplattenplatz auf dem Installationslaufwerk muss mindestens 5 GB "
                                 L"betragen,empfohlen werden mindestens 10 GB.");
    const std::vector<TEntry> tail(r.Entries.begin() + i + 1, r.Entries.end());
    EXPECT_EQ(tail, c.Tail);
    EXPECT_EQ(m.FakeDrives.Asked, c.Asked);
    EXPECT_EQ(r.iPoints, c.iPoints);
  }
}

// The window waits for a drive at most 5 s. One that has not answered by then is
// unreachable, also for the next run, which does not ask it again while it waits.
TEST(RequirementsCheck, DriveThatDoesNotAnswerInTimeIsAskedOnce) {
  TFakeMeasurements m;
  m.sAisName = L"MEDISTAR";
  m.sAisPath = L"N:\\M";
  m.sServer = L"N:\\Prog\\Server.exe";
  m.bElevated = true;  // not the administrator's text: the letter may well be known
  m.FakeDrives.Drives[L'N'] = {60 * kGiB, 100 * kGiB, L"NTFS"};
  m.Runner.bHang = true;
  for (int iRun = 1; iRun <= 2; ++iRun) {
    SCOPED_TRACE(iRun);
    const TRun r = RunCheck(m);
    EXPECT_EQ(r.At(L"Rot: MEDISTAR auf N:"), (TEntry{L"Rot: MEDISTAR auf N: belegter/gesamter Platz, Dateisystem / ???",
                                                    L"Laufwerk nicht erreichbar!", clRed}));
    EXPECT_EQ(r.iPoints, 2);
  }
  EXPECT_EQ(m.Runner.nStarted, 1) << "the waiting drive was asked again";
  EXPECT_EQ(m.Runner.Limits, std::vector<unsigned>{5000});
}

TEST(RequirementsCheck, FailedDriveRatingShowsNavyLine) {
  TFakeMeasurements m;
  m.FakeDrives.bThrow = true;
  const TRun r = RunCheck(m);
  const TEntry& e = r.At(L"Windows auf C:");
  EXPECT_EQ(e.Color, clNavy);
  EXPECT_EQ(e.Value, L"Der freie Platz konnte nicht festgestellt werden.");
  EXPECT_EQ(e.Value.find(L"???"), std::wstring::npos) << "would be repainted by the render step";
  EXPECT_EQ(m.FakeDrives.Asked, std::vector<wchar_t>{L'C'}) << "a drive whose query raised is asked nothing more";
  EXPECT_EQ(r.iPoints, 0);
  EXPECT_EQ(r.Entries.back().Info, kHyphens);
}

TEST(RequirementsCheck, BannerFromTwoPoints) {
  const std::vector<TEntry> kBanner = {
      {kBang, L"-1", 0}, {kBang, L"-1", 0}, {kBang, L"-1", 0},
      {L"!Sprechen sie mit Ihrem Vertriebspartner!", L"-1", 0}, {kHyphens, L"-1", 0}};
  {
    SCOPED_TRACE("1 point: no banner");
    TFakeMeasurements m;
    m.sFreeRam = L"300";
    const TRun r = RunCheck(m);
    EXPECT_EQ(r.iPoints, 1);
    EXPECT_EQ(r.Find(kBang), -1);
    EXPECT_EQ(r.Entries.back(), (TEntry{kHyphens, L"-1", 0}));
  }
  {
    SCOPED_TRACE("2 points from two yellow ratings");
    TFakeMeasurements m;
    m.sFreeRam = L"300";
    m.FakeDrives.Drives[L'C'] = {5 * kGiB, 10 * kGiB, L"NTFS"};
    const TRun r = RunCheck(m);
    EXPECT_EQ(r.iPoints, 2);
    ASSERT_GE(r.Entries.size(), kBanner.size());
    EXPECT_EQ(std::vector<TEntry>(r.Entries.end() - 5, r.Entries.end()), kBanner);
  }
  {
    SCOPED_TRACE("every shortfall: 8 points");
    TFakeMeasurements m;
    m.sFreeRam = L"100";
    m.sClock = L"800 MHz";
    m.nSpeed = 10000000u;
    m.FakeDrives.Drives[L'C'] = {1 * kGiB, 10 * kGiB, L"NTFS"};
    const TRun r = RunCheck(m);
    EXPECT_EQ(r.iPoints, 8);
    EXPECT_EQ(std::vector<TEntry>(r.Entries.end() - 5, r.Entries.end()), kBanner);
    EXPECT_EQ(r.Entries.end()[-5].Info, L"!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!") << "44 exclamation marks";
  }
}

TEST(RequirementsCheck, ErrorEndsTheCheckWithOneRedEntry) {
  struct TCase {
    const char* sFailing;
    const wchar_t* sLastBefore;  // label of the entry just before "Fehler"
    int iPoints;
  };
  const TCase kCases[] = {
      {"RunsOn64BitWindows", nullptr, 1},
      {"ServicePackText", L"----- Check gestartet: ", 1},
      {"GetNetworkAdapterSpeed", L"\nNetzwerk gefunden.", 1},
      {"QueryColorDepthText", L"\nDie darstellbaren Farben", 1},
      {"ProductServerRegistration", L"Gruen: Bildschirm Farbtiefe", 1},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.sFailing);
    TFakeMeasurements m;
    m.sFreeRam = L"300";  // one point before the failure
    m.sAisPath = L"C:\\Praxis";  // the server is asked for a practice system's drive only
    const std::string sFailing = c.sFailing;
    m.OnQuery = [&](const char* s) {
      if (sFailing == s) throw std::runtime_error("query failed");
    };
    std::wstring sMail = L"alt@x.example";
    TServiceInfos list;
    ASSERT_NO_THROW(list.CollectImportantEnvironmentInfos(sMail, m));
    ASSERT_GE(list.Count(), 1);
    const TInfoItem& last = list.GetInfoItem(list.Count() - 1);
    EXPECT_EQ(last.Info, L"Rot: Fehler");
    EXPECT_EQ(last.Value, L"Ein Fehler ist aufgetreten");
    EXPECT_EQ(last.Color, clRed);
    if (c.sLastBefore == nullptr) {
      EXPECT_EQ(list.Count(), 1);
    } else {
      ASSERT_GE(list.Count(), 2);
      EXPECT_EQ(list.GetInfoItem(list.Count() - 2).Info.rfind(c.sLastBefore, 0), 0u);
    }
    // Points gathered before the failure stay; the RAM row comes before all but the first two.
    EXPECT_EQ(list.Points(), sFailing == "RunsOn64BitWindows" || sFailing == "ServicePackText" ? 0 : c.iPoints);
  }
}

TEST(RequirementsCheck, NoWindowsFolderIsAnError) {
  TFakeMeasurements m;
  m.sWinDir = L"";
  const TRun r = RunCheck(m);
  ASSERT_GE(r.Entries.size(), 2u);
  EXPECT_EQ(r.Entries.back(), (TEntry{L"Rot: Fehler", L"Ein Fehler ist aufgetreten", clRed}));
  EXPECT_EQ(r.Entries[r.Entries.size() - 2].Info, L"Gruen: Bildschirm Farbtiefe");
}

TEST(RequirementsCheck, MailAddressOverwrittenEveryRun) {
  TFakeMeasurements m;
  EXPECT_EQ(RunCheck(m, L"alt@vendor.example").sMail, L"");
  m.sAisName = L"TurboMed";
  m.sAisMail = L"tm@vendor.example";
  m.sAisPath = L"C:\\TM";
  EXPECT_EQ(RunCheck(m, L"alt@vendor.example").sMail, L"tm@vendor.example");
}

TEST(RequirementsCheck, PointsStartFromZero) {
  TFakeMeasurements m;
  m.sFreeRam = L"300";
  TServiceInfos list;
  std::wstring sMail;
  list.CollectImportantEnvironmentInfos(sMail, m);
  list.CollectImportantEnvironmentInfos(sMail, m);
  EXPECT_EQ(list.Points(), 1);
}

}  // namespace
}  // namespace sw
