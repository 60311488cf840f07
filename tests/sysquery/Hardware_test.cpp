#include "sysquery/Hardware.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

TEST(FreeRam, RoundsHalfToEven) {
  constexpr std::uint32_t MB = 1024 * 1024;
  struct Row {
    std::uint32_t nBytes;
    const wchar_t* sText;
  } rows[] = {
      {0, L"0"},
      {1, L"0"},
      {MB / 2, L"0"},              // 0.5 -> 0
      {MB / 2 + 1, L"1"},
      {MB, L"1"},
      {MB + MB / 2, L"2"},         // 1.5 -> 2
      {2 * MB + MB / 2, L"2"},     // 2.5 -> 2
      {2 * MB + MB / 2 + 1, L"3"},
      {3 * MB + MB / 2, L"4"},
      {300 * MB, L"300"},
      {0x7FFFFFFFu, L"2048"},
      {0x80000000u, L"2048"},
      {0xFFFFFFFFu, L"4096"},      // 4 GB less one byte rounds up
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.nBytes);
    EXPECT_EQ(FreeRamMBText(r.nBytes), r.sText);
  }
}

TEST(CpuClock, MHzBelow1024ThenGHzOver1024) {
  struct Row {
    std::int32_t iMHz;
    const wchar_t* sSep;
    const wchar_t* sText;
  } rows[] = {
      {-1, L",", L"???"},
      {0, L",", L"???"},
      {-2147483647 - 1, L",", L"???"},
      {1, L",", L"1 MHz"},
      {1023, L",", L"1023 MHz"},
      {1024, L",", L"1,00 GHz"},
      {1024, L".", L"1.00 GHz"},
      {2400, L",", L"2,34 GHz"},
      {3000, L",", L"2,93 GHz"},
      {3000, L".", L"2.93 GHz"},
      {1034, L",", L"1,01 GHz"},   // 1.0097...
      {1152, L",", L"1,13 GHz"},   // exactly 1.125: half away from zero
      {1126, L",", L"1,10 GHz"},   // 1.0996...
      {102400, L",", L"100,00 GHz"},
      {2147483647, L",", L"2097152,00 GHz"},
      {2400, L"", L"234 GHz"},     // separator taken as given
      {2400, L"||", L"2||34 GHz"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.iMHz);
    EXPECT_EQ(CpuClockText(r.iMHz, r.sSep), r.sText);
  }
}

TEST(ColorDepth, FixedTextsAndOthers) {
  struct Row {
    int nBits;
    const wchar_t* sText;
  } rows[] = {
      {4, L"4-Bit, 16 Colors"},    {8, L"8-Bit, 256 Colors"},   {16, L"16-Bit, high Color"},
      {24, L"24-Bit, true Color"}, {32, L"32-Bit, true Color"}, {1, L"1-Bit"},
      {2, L"2-Bit"},               {15, L"15-Bit"},             {0, L"???"},
      {-1, L"???"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.nBits);
    EXPECT_EQ(ColorDepthText(r.nBits), r.sText);
  }
}

class TFakeScreen : public IScreenApi {
 public:
  bool bModeOk = true;
  std::uint32_t nModeWidth = 0, nModeHeight = 0;
  int nMetricsWidth = 0, nMetricsHeight = 0;
  bool CurrentMode(std::uint32_t& w, std::uint32_t& h) override {
    w = nModeWidth;
    h = nModeHeight;
    return bModeOk;
  }
  int MetricsWidth() override { return nMetricsWidth; }
  int MetricsHeight() override { return nMetricsHeight; }
};

// A program that is not DPI-aware gets scaled metrics at raised display scaling; the
// display mode holds the real pixels and wins, the metrics stand in when it fails.
TEST(ScreenSize, DisplayModeFirstMetricsAsFallback) {
  struct Row {
    const char* sCase;
    bool bModeOk;
    std::uint32_t nModeW, nModeH;
    int nMetricsW, nMetricsH;
    int nW, nH;
  } rows[] = {
      {"1920 x 1080 at 150 %", true, 1920, 1080, 1280, 720, 1920, 1080},
      {"1280 x 800 at 125 %", true, 1280, 800, 1024, 640, 1280, 800},
      {"100 %: both agree", true, 1024, 768, 1024, 768, 1024, 768},
      {"mode not readable", false, 1920, 1080, 1280, 720, 1280, 720},
      {"mode without width", true, 0, 1080, 1280, 720, 1280, 720},
      {"mode without height", true, 1920, 0, 1280, 720, 1280, 720},
      {"mode beyond int", true, 0x80000000u, 1080, 1280, 720, 1280, 720},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.sCase);
    TFakeScreen api;
    api.bModeOk = r.bModeOk;
    api.nModeWidth = r.nModeW;
    api.nModeHeight = r.nModeH;
    api.nMetricsWidth = r.nMetricsW;
    api.nMetricsHeight = r.nMetricsH;
    const TScreenSize size = ScreenSize(api);
    EXPECT_EQ(size.nWidth, r.nW);
    EXPECT_EQ(size.nHeight, r.nH);
  }
}

}  // namespace
}  // namespace sw
