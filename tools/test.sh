#!/usr/bin/env bash
# Builds Sichtwerk and runs every test: the portable core natively (plain and under
# AddressSanitizer/UBSan), short fuzz runs, and the Windows suites under Wine and Xvfb.
#
# Two lanes run side by side. The Windows lane (cross build, then the Wine suites in
# two prefixes side by side, and the release build) is the long one, above all where
# Wine's 32-bit programs run under emulation; the host lane (native trees, fuzz runs)
# runs beside it at a lower priority and fills the time the Wine suites leave the
# processors idle. Its output follows once both are done.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
sw_install_deps test
jobs=$(nproc)
mkdir -p build
host_log=build/host-lane.log
win_log=build/win-lane.log

# Each step says when it began, in seconds since the command started.
export SW_TEST_T0=${SW_TEST_T0:-$(date +%s)}
step() { echo; echo "== $* (+$(($(date +%s) - SW_TEST_T0)) s)"; }

host_lane() {
  set -euo pipefail
  step "Host tree: portable core"
  cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/host -j"$jobs"
  ctest --test-dir build/host --output-on-failure -j"$jobs"

  step "Host tree under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build/host-asan -DCMAKE_BUILD_TYPE=Debug -DSW_SANITIZE=ON >/dev/null
  cmake --build build/host-asan -j"$jobs"
  ctest --test-dir build/host-asan --output-on-failure -j"$jobs"

  if [ -f tests/fuzz/CMakeLists.txt ]; then
    step "Fuzz targets, short runs"
    CC=clang CXX=clang++ cmake -S tests/fuzz -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build/fuzz -j"$jobs"
    # Each run lasts its set seconds whatever the load: two at a time.
    ctest --test-dir build/fuzz --output-on-failure -j"$jobs"
  fi
  step "Host lane done"
}

step "Host tree, sanitizers and fuzz targets: beside the Windows tree (output: $host_log)"
# A process group of its own, so that an interrupt ends all of it. A session of its
# own is also a scheduling group of its own where the kernel groups by session
# (autogroup), in which nice alone would count for nothing: that group is niced too.
setsid nice -n 10 bash -c "echo 10 >/proc/self/autogroup 2>/dev/null || true; $(declare -f step host_lane); jobs=$jobs; host_lane" \
  >"$host_log" 2>&1 </dev/null &
host_pid=$!
trap 'kill -- -$host_pid 2>/dev/null || true' INT TERM

# Every Windows test's outcome in each CTest entry (tests/wine/wine-env.sh writes it).
ledger=build/win/test-outcomes.txt
rm -f "$ledger"

win_rc=0
{
  step "Windows tree: Sichtwerk.exe and the Windows test programs"
  # Chained: errexit does not reach into a pipeline that is tested with ||.
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/win -j"$jobs" &&
    step "Windows suites under Wine" &&
    ctest --test-dir build/win --output-on-failure -j3
  rc=$?
  step "Windows lane done"
  exit $rc
} 2>&1 | tee "$win_log" || win_rc=$?

host_rc=0
wait "$host_pid" || host_rc=$?
trap - INT TERM
echo
cat "$host_log"

# One closing line over every ctest run of both lanes.
echo
# CTest counts a skipped entry among the passed ones and lists it as "(Skipped)".
awk '/tests passed, [0-9]+ tests? failed out of/ { total += $NF; failed += $4 }
     /^[ \t]*[0-9]+ - .* \(Skipped\)\r?$/ { skipped++ }
     END { printf "Sichtwerk: %d passed, %d failed, %d skipped\n", total - failed - skipped, failed, skipped }' \
  "$win_log" "$host_log"
# Under CI (as root) a test may skip in one entry that another entry runs it in, but
# not in every entry; a native test is an entry of its own.
skip_rc=0
if [ "${CI:-}" = true ]; then
  never=$( { [ -f "$ledger" ] && awk '$1 == "OK" { ok[$2] = 1 } $1 == "SKIPPED" { sk[$2] = sk[$2] " " $3 }
      END { for (t in sk) if (!(t in ok)) print t " (skipped in:" sk[t] ")" }' "$ledger"
    sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \(Skipped\)$/\1 (a native test, skipped)/p' "$host_log"; } | sort)
  if [ -n "$never" ]; then
    echo "Skipped in every entry (not allowed under CI):"
    echo "$never"
    skip_rc=1
  fi
fi
[ "$win_rc" = 0 ] && [ "$host_rc" = 0 ] && [ "$skip_rc" = 0 ]
