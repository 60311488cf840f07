#pragma once
// Marks on the way from the process start to the first finished report, for the start
// benchmark (bench/run.sh builds a copy of the program with SW_START_TRACE). In every
// other build the marks compile to nothing.
#ifdef SW_START_TRACE
namespace sw {
// Records the time of the named step; the name must outlive the process (a literal).
void StartMark(const char* sName);
// Appends one line of all marks to start-trace.txt beside the program.
void StartTraceDump();
}  // namespace sw
#define SW_START_MARK(name) ::sw::StartMark(name)
#define SW_START_DUMP() ::sw::StartTraceDump()
#else
#define SW_START_MARK(name) ((void)0)
#define SW_START_DUMP() ((void)0)
#endif
