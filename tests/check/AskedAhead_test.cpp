#include "check/AskedAhead.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeMeasurements.h"

namespace sw::test {
namespace {

TEST(AskedAhead, OnlyTheFirstTakeOfItsRunGetsTheAnswer) {
  TFakeRunner runner;
  {
    SCOPED_TRACE("answered");
    TAskedAhead<int> ahead;
    EXPECT_EQ(ahead.Take(100), std::nullopt) << "nothing was asked";
    ahead.Start(runner, [] { return 42; });
    EXPECT_EQ(ahead.Take(100), 42);
    EXPECT_EQ(ahead.Take(100), std::nullopt) << "a second query of the run asks itself";
  }
  {
    SCOPED_TRACE("forgotten after a run that did not take it");
    TAskedAhead<int> ahead;
    ahead.Start(runner, [] { return 42; });
    ahead.Forget();
    EXPECT_EQ(ahead.Take(100), std::nullopt);
  }
  {
    SCOPED_TRACE("failed");
    TAskedAhead<int> ahead;
    ahead.Start(runner, []() -> int { throw std::runtime_error("no table"); });
    EXPECT_EQ(ahead.Take(100), std::nullopt);
  }
  {
    SCOPED_TRACE("not in time");
    runner.bHang = true;
    runner.Limits.clear();
    TAskedAhead<int> ahead;
    ahead.Start(runner, [] { return 42; });
    EXPECT_EQ(ahead.Take(100), std::nullopt);
    EXPECT_EQ(runner.Limits, std::vector<unsigned>{100});
  }
}

}  // namespace
}  // namespace sw::test
