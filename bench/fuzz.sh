#!/usr/bin/env bash
# Long fuzz runs: every target of tests/fuzz for a few minutes each (default 5).
#   bench/fuzz.sh [minutes] [target ...]
# New corpus entries collect in build/fuzz-long/work/<target>/corpus; a crash leaves its
# input there as crash-* and the run stops with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-5}
shift || true
build=build/fuzz-long
CC=clang CXX=clang++ cmake -S tests/fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
targets=("$@")
if [ ${#targets[@]} = 0 ]; then
  for exe in "$build"/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi
status=0
for t in "${targets[@]}"; do
  work="$build/work/$t"
  mkdir -p "$work/corpus"
  echo "== $t: $minutes min"
  if ! "$build/fuzz_$t" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "tests/fuzz/corpus/$t"; then
    echo "!! $t failed: see $work/crash-* (add it to tests/fuzz/regressions/$t/)"
    status=1
  fi
done
exit $status
