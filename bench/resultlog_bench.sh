#!/usr/bin/env bash
# Time from start to the finished report with an empty result log, a 1 MB log and a
# 500 MB log (both made of real report blocks), median of SW_BENCH_RUNS starts each
# (default 11), the three started in turn. Target: 500 MB costs < 50 ms more than empty.
#
#   bash bench/resultlog_bench.sh <win-build-dir>   builds the measurer, own Wine prefix
#   (called by bench/run.sh with SW_BENCH_STATE, SW_BENCH_MEASURE, SW_BENCH_EXE set:
#   then its prefix, measurer and exe are used)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${SW_BENCH_RUNS:-11}
wine_env=$root/tests/wine/wine-env.sh

own_state=0
if [ -n "${SW_BENCH_MEASURE:-}" ]; then
  state=$SW_BENCH_STATE measure=$SW_BENCH_MEASURE exe=$SW_BENCH_EXE
  work=$(dirname "$SW_BENCH_STATE")/resultlog
else
  [ $# -ge 1 ] || { echo "usage: bench/resultlog_bench.sh <win-build-dir>" >&2; exit 2; }
  tree=$(cd "$1" && pwd)
  exe=$tree/bin/Sichtwerk.exe
  [ -f "$exe" ] || { echo "no $exe: build the Windows tree first" >&2; exit 1; }
  tools=$tree/resultlog-bench-tools
  cmake -S bench -B "$tools" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$tree/resultlog-bench-build.log" 2>&1 &&
    cmake --build "$tools" -j2 --target sw_bench_start >>"$tree/resultlog-bench-build.log" 2>&1 ||
    { tail -30 "$tree/resultlog-bench-build.log" >&2; exit 1; }
  measure=$tools/bin/sw_bench_start.exe
  state=$tree/resultlog-bench-wine
  work=$tree/resultlog-bench
  own_state=1
  bash "$wine_env" "$state" fresh || exit 1
fi

finish() {
  rm -rf "$work"
  [ $own_state = 1 ] && bash "$wine_env" "$state" cleanup
  return 0
}
trap finish EXIT
rm -rf "$work"
mkdir -p "$work"/empty "$work"/1mb "$work"/500mb
for d in empty 1mb 500mb; do cp "$exe" "$work/$d/Sichtwerk.exe"; done
winrun() { bash "$wine_env" "$state" run "$@" | tr -d '\r'; }
winpath() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }

# One start writes the block the larger logs are made of.
winrun "$measure" --runs 1 --warmup 0 --target seed "$(winpath "$work/empty/Sichtwerk.exe")" TMainForm log=empty >/dev/null
seed=$(ls "$work"/empty/Ergebnisse*.log 2>/dev/null | head -1 || true)
[ -n "$seed" ] && [ -s "$seed" ] || { echo "Sichtwerk wrote no result log block" >&2; exit 1; }
cp "$seed" "$work/block.log"
block=$(winpath "$work/block.log")

out=$(winrun "$measure" --runs "$runs" --warmup 2 \
  --target empty "$(winpath "$work/empty/Sichtwerk.exe")" TMainForm log=empty \
  --target 1mb "$(winpath "$work/1mb/Sichtwerk.exe")" TMainForm "log=fill:1048576:$block" \
  --target 500mb "$(winpath "$work/500mb/Sichtwerk.exe")" TMainForm "log=fill:524288000:$block")
size500=$(stat -c %s "$work"/500mb/Ergebnisse*.log)

field() { echo "$out" | awk -v n="$1" -v k="$2" '$1 == "result" && $2 == n {
  for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }'; }
e=$(field empty median_ms)
{
  echo "Result log: time from start to the finished report, $runs starts each after 2 warm-up starts"
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(wine --version), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "Block: $(stat -c %s "$work/block.log") bytes; 500 MB log after the runs: $size500 bytes"
  printf '%-10s %10s %10s %10s %14s %s\n' log median_ms min_ms max_ms "median-empty" target
  for t in empty 1mb 500mb; do
    m=$(field $t median_ms)
    d=$(awk -v a="$m" -v b="$e" 'BEGIN { printf "%+.1f", a - b }')
    tgt=""
    [ $t = 500mb ] && tgt=$(awk -v d="$d" 'BEGIN { print (d + 0 < 50) ? "< 50 ms: holds" : "< 50 ms: MISSED" }')
    printf '%-10s %10s %10s %10s %14s %s\n' "$t" "$m" "$(field $t min_ms)" "$(field $t max_ms)" "$d" "$tgt"
  done
  # Both larger logs fill the pane; what the file's size itself costs is their gap.
  echo "500mb - 1mb (median ms): $(awk -v a="$(field 500mb median_ms)" -v b="$(field 1mb median_ms)" 'BEGIN { printf "%+.1f", a - b }')"
} | tee "$(dirname "$work")/resultlog-bench.txt"
