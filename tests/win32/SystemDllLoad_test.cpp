#include "win32/SystemDllLoad.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace sw {
namespace {

TEST(SystemDllLoad, FlagWhereWindowsKnowsItElseFullPathAlone) {
  EXPECT_EQ(TSystemDllLoad::SearchSystem32, FirstSystemDllLoad(true));
  EXPECT_EQ(TSystemDllLoad::FullPathOnly, FirstSystemDllLoad(false));
}

// Only a refused flag falls back; a DLL that is not in the system folder (126), a
// dependency or entry point missing there (126, 127), a bad image (193) or denied
// access (5) end the search, and the full path alone is tried once at most.
TEST(SystemDllLoad, FallBackOnlyWhenTheFlagIsRefused) {
  const struct {
    TSystemDllLoad aTried;
    std::uint32_t dwError;
    TSystemDllLoad aNext;
  } rows[] = {
      {TSystemDllLoad::SearchSystem32, 87, TSystemDllLoad::FullPathOnly},
      {TSystemDllLoad::SearchSystem32, 126, TSystemDllLoad::None},
      {TSystemDllLoad::SearchSystem32, 127, TSystemDllLoad::None},
      {TSystemDllLoad::SearchSystem32, 193, TSystemDllLoad::None},
      {TSystemDllLoad::SearchSystem32, 5, TSystemDllLoad::None},
      {TSystemDllLoad::SearchSystem32, 0, TSystemDllLoad::None},
      {TSystemDllLoad::FullPathOnly, 87, TSystemDllLoad::None},
      {TSystemDllLoad::FullPathOnly, 126, TSystemDllLoad::None},
      {TSystemDllLoad::None, 87, TSystemDllLoad::None},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "tried " << static_cast<int>(row.aTried) << ", error " << row.dwError);
    EXPECT_EQ(row.aNext, NextSystemDllLoad(row.aTried, row.dwError));
  }
}

}  // namespace
}  // namespace sw
