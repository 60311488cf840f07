#!/usr/bin/env bash
# The long endurance run: a thousand collection runs in one process through the main
# window's button; GDI and USER object counts and private memory must stay flat and the
# result log must hold one whole block per run. The test command runs the same test
# with 100 runs (CTest win.release.endurance); this is the long version.
#
#   bash bench/endurance.sh        SW_ENDURANCE_RUNS=N (default 1000) runs
#
# It builds the test program in the Windows tree build/win (as tools/test.sh does; the
# tree is reused when it is there) and runs it in a Wine prefix of its own,
# build/bench/endurance-wine, so that a test run in build/win is not disturbed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
sw_install_deps run

runs=${SW_ENDURANCE_RUNS:-1000}
tree=build/win
state=build/bench/endurance-wine
wine_env=tests/wine/wine-env.sh

echo "== Building sw_release_wintests in $tree"
mkdir -p build/bench
log=build/bench/endurance-build.log
{ cmake -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release &&
  cmake --build "$tree" -j2 --target sw_release_wintests; } >"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }

bash "$wine_env" "$state" fresh || exit 1
trap 'bash "$wine_env" "$state" cleanup' EXIT

echo "== $runs collection runs in one process (load average $(cut -d' ' -f1-3 /proc/loadavg))"
start=$(date +%s)
SW_ENDURANCE_RUNS=$runs bash "$wine_env" "$state" run "$tree/bin/sw_release_wintests.exe" \
  --gtest_color=no --gtest_filter=Endurance.* | tr -d '\r'
echo "== done in $(( $(date +%s) - start )) s"
