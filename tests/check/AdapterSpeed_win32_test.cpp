// The first run's adapter speed, asked on a real worker before the run needs it.
#include <gtest/gtest.h>

#include <windows.h>

#include "check/QuestionRunner_win32.h"
#include "check/SystemMeasurements_win32.h"

namespace sw {
namespace {

TEST(WinAdapterSpeed, FirstQueryTakesTheAnswerAskedAheadLaterOnesAskTheSystem) {
  TWinQuestionRunner runner(nullptr, nullptr);
  TDriveQuestions questions(runner);
  TAskedAhead<TAdapterSpeed> ahead;
  ahead.Start(runner, [] { return TAdapterSpeed{true, L"Vorab gefragt", 123000000u}; });
  TSystemMeasurements measure(questions, &ahead);
  std::wstring sDescription;
  std::uint32_t nSpeed = 0;
  ASSERT_TRUE(measure.GetNetworkAdapterSpeed(sDescription, nSpeed));
  EXPECT_EQ(sDescription, L"Vorab gefragt");
  EXPECT_EQ(nSpeed, 123000000u);

  // Wine's interface table may hold no adapter that qualifies: then the outputs stay.
  const TAdapterSpeed system = AskAdapterSpeed();
  std::wstring sAgain = L"unverändert";
  std::uint32_t nAgain = 7;
  EXPECT_EQ(measure.GetNetworkAdapterSpeed(sAgain, nAgain), system.bFound);
  EXPECT_EQ(sAgain, system.bFound ? system.sDescription : L"unverändert");
  EXPECT_EQ(nAgain, system.bFound ? system.nSpeed : 7u);
}

}  // namespace
}  // namespace sw
