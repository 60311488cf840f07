#include "share/Print_win32.h"

#include <commdlg.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Version.h"
#include "report/MemoryPane.h"
#include "share/MailText.h"
#include "common/Text.h"
#include "share/PreviewText.h"
#include "win32/SystemLibrary_win32.h"

namespace sw {
namespace {

// A hidden rich-edit control of the system's msftedit.dll, as the preview uses.
class TRichEditHost {
 public:
  TRichEditHost() {
    FLib = LoadSystemLibrary(L"msftedit.dll");
    Fh = ::CreateWindowExW(0, L"RICHEDIT50W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 600, 400, nullptr,
                           nullptr, nullptr, nullptr);
    ::SendMessageW(Fh, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  }
  ~TRichEditHost() { ::DestroyWindow(Fh); }
  HWND get() const { return Fh; }

  // Appends text in one format at the end.
  void Append(const std::wstring& s, const wchar_t* sFace, int nTwips, DWORD dwEffects, COLORREF c) {
    const LONG n = static_cast<LONG>(::SendMessageW(Fh, WM_GETTEXTLENGTH, 0, 0));
    CHARRANGE cr{n, n};
    ::SendMessageW(Fh, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;
    cf.dwEffects = dwEffects;
    cf.yHeight = nTwips;
    cf.crTextColor = c;
    lstrcpynW(cf.szFaceName, sFace, LF_FACESIZE);
    ::SendMessageW(Fh, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    ::SendMessageW(Fh, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(s.c_str()));
  }

 private:
  TModule FLib;
  HWND Fh = nullptr;
};

TEST(ReadRichEdit, RunsKeepFaceSizeStyleAndColourSelectionKept) {
  TRichEditHost re;
  ASSERT_TRUE(re.get());
  re.Append(L"Gruen: ", L"Tahoma", 160, CFE_BOLD, 0x008000);
  re.Append(L"Arbeitsspeicher 2 GB\r", L"Tahoma", 160, 0, 0x000000);
  re.Append(L"\r", L"Arial", 240, 0, 0);
  re.Append(L"Rot: zu wenig\r", L"Arial", 320, CFE_ITALIC | CFE_UNDERLINE, 0x0000FF);
  CHARRANGE sel{3, 5};
  ::SendMessageW(re.get(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));

  const auto paras = ReadRichEditParagraphs(re.get());
  ASSERT_GE(paras.size(), 3u);
  ASSERT_EQ(paras[0].Runs.size(), 2u);
  EXPECT_EQ(paras[0].Runs[0].sText, L"Gruen: ");
  EXPECT_EQ(paras[0].Runs[0].aFormat.aStyle, fsBold);
  EXPECT_EQ(paras[0].Runs[0].aFormat.aColor, 0x008000u);
  EXPECT_EQ(paras[0].Runs[0].aFormat.nSizeTwips, 160);
  EXPECT_EQ(paras[0].Runs[0].aFormat.sFontName, L"Tahoma");
  EXPECT_EQ(paras[0].Runs[1].sText, L"Arbeitsspeicher 2 GB");
  EXPECT_EQ(paras[0].Runs[1].aFormat.aStyle, 0u);
  EXPECT_TRUE(paras[1].Runs.empty());
  EXPECT_EQ(paras[1].aEndFormat.nSizeTwips, 240);
  ASSERT_EQ(paras[2].Runs.size(), 1u);
  EXPECT_EQ(paras[2].Runs[0].sText, L"Rot: zu wenig");
  EXPECT_EQ(paras[2].Runs[0].aFormat.aStyle, fsItalic | fsUnderline);
  EXPECT_EQ(paras[2].Runs[0].aFormat.aColor, 0x0000FFu);
  EXPECT_EQ(paras[2].Runs[0].aFormat.sFontName, L"Arial");

  CHARRANGE after{};
  ::SendMessageW(re.get(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
  EXPECT_EQ(after.cpMin, 3);
  EXPECT_EQ(after.cpMax, 5);
}

TEST(GdiMeasure, WiderFontsMeasureWiderOnTheScreen) {
  TScreenDC dc;
  TGdiMeasure m(dc.get());
  const TRunFormat small{L"Arial", 160, 0, 0}, big{L"Arial", 480, 0, 0};
  const int a = m.TextWidth(small, L"Sichtwerk"), b = m.TextWidth(big, L"Sichtwerk");
  EXPECT_GT(a, 0);
  EXPECT_GT(b, 2 * a);
  EXPECT_EQ(m.TextWidth(small, L""), 0);
  const TFontMetrics ms = m.Metrics(small), mb = m.Metrics(big);
  EXPECT_GT(ms.nAscent, 0);
  EXPECT_GT(mb.nAscent + mb.nDescent, 2 * (ms.nAscent + ms.nDescent));
}

TEST(PrintParagraphs, NoPrinterDcIsAnErrorNotASilentSuccess) {
  EXPECT_EQ(PrintParagraphs(nullptr, {}, L"x").aFault, TPrintFault::NoDeviceContext);
  EXPECT_EQ(PrintErrorText(PrintParagraphs(nullptr, {}, L"x")), L"Kein Drucker ausgewählt.");
}

// A DC of the default printer (the test run's PDF printer), empty when there is none.
TDeviceContext DefaultPrinterDc() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof(pd);
  pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!::PrintDlgW(&pd)) return TDeviceContext();
  if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
  if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
  return TDeviceContext(pd.hDC);
}

// StartDoc failing as when the user cancels the file name that "Microsoft Print to
// PDF" or the XPS writer asks for (ERROR_CANCELLED): a silent cancel, not a printing
// error; any other refusal stays one. The driver's dialog is stood in for by an abort
// procedure, which StartDoc asks first and which leaves its last error.
DWORD g_dwStartDocError = 0;
BOOL CALLBACK RefuseStartDoc(HDC, int) {
  ::SetLastError(g_dwStartDocError);
  return FALSE;
}

TEST(PrintParagraphs, CancelWhenStartingTheJobIsNoError) {
  TDeviceContext dc = DefaultPrinterDc();
  if (!dc) {
    if (std::getenv("SW_EXPECT_PRINTER")) FAIL() << "no default printer";
    GTEST_SKIP() << "no printer installed";
  }
  TRichEditHost re;
  re.Append(L"Sehr geehrte Damen und Herren,\r", L"Arial", 240, 0, 0);
  const std::vector<TParagraph> paras = ReadRichEditParagraphs(re.get());
  ASSERT_GT(::SetAbortProc(dc.get(), &RefuseStartDoc), 0);
  const struct {
    DWORD dwError;
    TPrintFault aFault;
    bool bMessage;
  } rows[] = {
      {ERROR_CANCELLED, TPrintFault::Cancelled, false},
      {ERROR_ACCESS_DENIED, TPrintFault::StartDoc, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.dwError);
    g_dwStartDocError = r.dwError;
    const TPrintResult aResult = PrintParagraphs(dc.get(), paras, L"Sichtwerk (abgebrochen)");
    EXPECT_EQ(aResult.aFault, r.aFault);
    EXPECT_EQ(aResult.nError, r.dwError);
    EXPECT_EQ(aResult.nPages, 0);
    EXPECT_EQ(!PrintErrorText(aResult).empty(), r.bMessage) << WideToUtf8(PrintErrorText(aResult));
  }
}

// Prints the filled-in letter with a long history to the default printer (the test
// run's PDF printer); a checker step reads the PDF. Skipped without a printer unless
// SW_EXPECT_PRINTER is set.
TEST(PrintParagraphs, LetterWithHistoryOnTheDefaultPrinter) {
  TDeviceContext dc = DefaultPrinterDc();
  if (!dc) {
    if (std::getenv("SW_EXPECT_PRINTER")) FAIL() << "no default printer";
    GTEST_SKIP() << "no printer installed";
  }

  TMemoryPane pane;
  for (int run = 0; run < 20; ++run) {
    pane.AddPlainLine(L"Prüfung vom 8.12.2026 um 06:" + std::to_wstring(10 + run) + L":00");
    pane.AddPlainLine(L"Gruen: Arbeitsspeicher: 2.048 MB frei");
    pane.AddPlainLine(L"Gelb: Prozessor: 1,80 GHz");
    pane.AddPlainLine(L"Rot: Netzwerk: ???");
    pane.AddPlainLine(L"Bildschirm: 1280 x 1024, Farbtiefe 32 Bit, Größe ÄÖÜ");
    pane.AddPlainLine(L"");
  }
  std::vector<std::wstring> lines = SplitLines(BuildPreviewText(ComposeLetter(pane)));
  FillInDetails(lines, {L"Praxis Dr. Mustermann", L"50667", L"Köln", L"Frau Beispiel", L"0221 123456"});

  TRichEditHost re;
  for (const auto& l : lines) {
    const bool bRed = l.rfind(L"Rot: ", 0) == 0;
    re.Append(l + L"\r", L"Arial", 240, bRed ? CFE_BOLD : 0, bRed ? 0x0000FF : 0);
  }
  // A job name of its own: the checker pairs each print with its PDF by the title.
  const std::wstring sDoc = L"Sichtwerk (" SW_FILE_VERSION_TEXT L") Probedruck";
  const TPrintResult aPrinted = PrintParagraphs(dc.get(), ReadRichEditParagraphs(re.get()), sDoc);
  ASSERT_EQ(aPrinted.aFault, TPrintFault::None);
  const int nPages = aPrinted.nPages;
  EXPECT_GE(nPages, 3);

  // What the checker needs: the lines in order and the rectangle in points on the page.
  const char* sBin = std::getenv("SW_BINARY_DIR");
  ASSERT_TRUE(sBin);
  const std::filesystem::path dir = std::filesystem::path(sBin) / "share-print";
  std::filesystem::create_directories(dir);
  std::ofstream f(dir / "expected.txt", std::ios::binary);
  for (const auto& l : lines) {
    const int cb = ::WideCharToMultiByte(CP_UTF8, 0, l.data(), static_cast<int>(l.size()), nullptr, 0, nullptr, nullptr);
    std::string u(static_cast<std::size_t>(cb), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, l.data(), static_cast<int>(l.size()), u.data(), cb, nullptr, nullptr);
    f << u << "\n";
  }
  const int dx = ::GetDeviceCaps(dc.get(), LOGPIXELSX), dy = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
  // The PDF queue's A4 page at 300 dpi is 2479 x 3508 pixels: half an inch off three
  // edges, an inch off the bottom.
  const TPageRect r{150, 150, 2329, 3208};
  const int ox = ::GetDeviceCaps(dc.get(), PHYSICALOFFSETX), oy = ::GetDeviceCaps(dc.get(), PHYSICALOFFSETY);
  std::ofstream g(dir / "rect.txt", std::ios::binary);
  g << "pages " << nPages << "\n";
  g << "job " << WideToUtf8(sDoc) << "\n";
  g << "points " << (ox + r.Left) * 72.0 / dx << " " << (oy + r.Top) * 72.0 / dy << " " << (ox + r.Right) * 72.0 / dx
    << " " << (oy + r.Bottom) * 72.0 / dy << "\n";
}

}  // namespace
}  // namespace sw
