#!/usr/bin/env bash
# Builds Sichtwerk.exe and the benchmark programs, runs every benchmark under Wine in
# one prefix of its own and prints the table of medians and ratios.
#
#   bash bench/run.sh            SW_BENCH_RUNS=N (default 15) starts per program
#
# It measures the committed HEAD, exported into build/bench/src, so that a figure
# belongs to one commit whatever else lies in the checkout; SW_BENCH_WORKTREE=1
# measures the checkout as it stands instead.
# Everything lands in build/bench/: *-win (Sichtwerk tree), *-tools (benchmark
# programs), wine (prefix, display), run (scratch folders), table.txt (the last table).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. tools/deps.sh
sw_install_deps run
# Wine's 32-bit programs run natively or under qemu's emulation (tools/deps.sh): the
# times of the two modes are not comparable, and a ratio only against a floor of the
# same mode.
i386_mode=$(sw_i386_mode)
echo "== 32-bit programs: $i386_mode"

runs=${SW_BENCH_RUNS:-15}
jobs=${SW_BENCH_JOBS:-2}
if [ "${SW_BENCH_WORKTREE:-0}" = 1 ]; then
  src=$root
  mode=worktree
  commit="$(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src bench || echo ' + uncommitted changes')"
else
  src=$root/build/bench/src
  mode=head
  commit=$(git rev-parse --short HEAD)
  rm -rf "$src" && mkdir -p "$src"
  git archive HEAD | tar -x -C "$src"
fi
tree=build/bench/$mode-win
tools=build/bench/$mode-tools
state=build/bench/wine
scratch=build/bench/run
wine_env=tests/wine/wine-env.sh

echo "== Building (Release)"
mkdir -p build/bench
build_log=build/bench/build.log
quiet() { "$@" >"$build_log" 2>&1 || { tail -40 "$build_log" >&2; exit 1; }; }
quiet cmake -S "$src" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
quiet cmake --build "$tree" -j"$jobs" --target Sichtwerk sw_win
# The same program with the start trace (common/StartTrace.h), for the breakdown only.
quiet cmake -S "$src" -B "$tree-trace" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSW_START_TRACE=ON
quiet cmake --build "$tree-trace" -j"$jobs" --target Sichtwerk
quiet cmake -S "$src/bench" -B "$tools" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSW_TREE="$root/$tree"
quiet cmake --build "$tools" -j"$jobs"

# Every program starts from a folder of its own: Sichtwerk writes its log beside itself.
rm -rf "$scratch"
mkdir -p "$scratch"/trace-sw "$scratch"/trace-floor "$scratch"/trace-prescribed "$scratch"/floor "$scratch"/floor-themed \
  "$scratch"/floor-comdlg "$scratch"/floor-prescribed "$scratch"/sw-empty "$scratch"/sw-grow "$scratch"/sw-1mb \
  "$scratch"/sw-500mb "$scratch"/inproc
i686-w64-mingw32-strip -o "$scratch/Sichtwerk.exe" "$tree/bin/Sichtwerk.exe"
for d in sw-empty sw-grow sw-1mb sw-500mb; do cp "$scratch/Sichtwerk.exe" "$scratch/$d/"; done
cp "$tools/bin/sw_floor.exe" "$scratch/floor/"
cp "$tools/bin/sw_floor_themed.exe" "$scratch/floor-themed/"
cp "$tools/bin/sw_floor_comdlg.exe" "$scratch/floor-comdlg/"
cp "$tools/bin/sw_floor_prescribed.exe" "$scratch/floor-prescribed/"
cp "$tools/bin/sw_floor_prescribed_trace.exe" "$scratch/trace-prescribed/"
i686-w64-mingw32-strip -o "$scratch/trace-sw/Sichtwerk.exe" "$tree-trace/bin/Sichtwerk.exe"
cp "$tools/bin/sw_floor_themed_trace.exe" "$scratch/trace-floor/"
cp "$tools/bin/sw_bench_run.exe" "$scratch/inproc/"
cp "$tools/bin/sw_bench_pane.exe" "$scratch/inproc/"

bash "$wine_env" "$state" fresh || exit 1
# The 500 MB log goes again at the end; the table stays.
trap 'bash "$wine_env" "$state" cleanup; rm -f "$scratch"/sw-500mb/*.log' EXIT
winrun() { bash "$wine_env" "$state" run "$@" | tr -d '\r'; }
winpath() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }
measure=$tools/bin/sw_bench_start.exe

# The logs of 1 MB and 500 MB are made of real blocks: one start writes the first.
# (The measurer names the log itself; the Unix locale need not know the umlaut.)
echo "== Preparing result logs"
winrun "$measure" --runs 1 --warmup 0 \
  --target probe "$(winpath "$scratch/sw-empty/Sichtwerk.exe")" TMainForm log=empty >/dev/null
block=$(ls "$scratch"/sw-empty/Ergebnisse*.log 2>/dev/null | head -1 || true)
log_targets=()
if [ -n "$block" ] && [ -s "$block" ]; then
  cp "$block" "$scratch/block.log"
  seed=$(winpath "$scratch/block.log")
  log_targets=(--target sw-1mb "$(winpath "$scratch/sw-1mb/Sichtwerk.exe")" TMainForm "log=fill:1048576:$seed"
    --target sw-500mb "$(winpath "$scratch/sw-500mb/Sichtwerk.exe")" TMainForm "log=fill:524288000:$seed")
else
  echo "Sichtwerk wrote no result log block: the log-growth rows stay empty" >&2
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "== Starts: $runs per program, interleaved"
starts=$(winrun "$measure" --runs "$runs" --warmup 2 \
  --target floor "$(winpath "$scratch/floor/sw_floor.exe")" TFloorForm \
  --target floor-themed "$(winpath "$scratch/floor-themed/sw_floor_themed.exe")" TFloorForm \
  --target floor-comdlg "$(winpath "$scratch/floor-comdlg/sw_floor_comdlg.exe")" TFloorForm \
  --target floor-prescribed "$(winpath "$scratch/floor-prescribed/sw_floor_prescribed.exe")" TFloorForm \
  --target sw-empty "$(winpath "$scratch/sw-empty/Sichtwerk.exe")" TMainForm log=empty \
  --target sw-grow "$(winpath "$scratch/sw-grow/Sichtwerk.exe")" TMainForm \
  "${log_targets[@]}")
echo "$starts" >"$scratch/starts.txt"

echo "== Starts with the start trace: $runs per program, interleaved"
winrun "$measure" --runs "$runs" --warmup 2 \
  --target trace-floor "$(winpath "$scratch/trace-floor/sw_floor_themed_trace.exe")" TFloorForm \
  --target trace-prescribed "$(winpath "$scratch/trace-prescribed/sw_floor_prescribed_trace.exe")" TFloorForm \
  --target trace-sw "$(winpath "$scratch/trace-sw/Sichtwerk.exe")" TMainForm log=empty >"$scratch/trace-starts.txt"
# Median of each mark over the measured starts (the first two lines are the warm-ups),
# in milliseconds after CreateProcess; marks in the order the program passed them.
trace_table() {
  tail -n +3 "$1" | awk '{ for (i = 2; i <= NF; i++) { split($i, kv, "="); if (!(kv[1] in n)) order[++k] = kv[1];
      v[kv[1], ++n[kv[1]]] = kv[2] } }
    END { for (j = 1; j <= k; j++) { m = order[j]; c = n[m]; for (a = 1; a <= c; a++) s[a] = v[m, a] + 0;
        for (a = 2; a <= c; a++) { x = s[a]; b = a - 1; while (b > 0 && s[b] > x) { s[b + 1] = s[b]; b-- } s[b + 1] = x }
        med = (c % 2) ? s[(c + 1) / 2] : (s[c / 2] + s[c / 2 + 1]) / 2; printf "%s=%.1f ", m, med } print "" }'
}
trace_floor=$(trace_table "$scratch/trace-floor/start-trace.txt")
trace_sw=$(trace_table "$scratch/trace-sw/start-trace.txt")
trace_prescribed=$(trace_table "$scratch/trace-prescribed/start-trace.txt")

echo "== In process"
inproc=$(winrun "$tools/bin/sw_bench_run.exe" --runs 50 --pane-reps 10 \
  --log "$(winpath "$scratch/inproc/bench-run.log")")
echo "$inproc" >"$scratch/inproc.txt"

echo "== A full pane of history, every route"
# The history the 1 MB start put below its report, when that log is there.
history_args=()
log1mb=$(ls "$scratch"/sw-1mb/Ergebnisse*.log 2>/dev/null | head -1 || true)
if [ -n "$log1mb" ] && [ -s "$scratch/block.log" ]; then
  history_args=(--history "$(winpath "$log1mb")" --report "$(winpath "$scratch/block.log")")
fi
pane=$(winrun "$scratch/inproc/sw_bench_pane.exe" --runs 7 "${history_args[@]}")
echo "$pane" >"$scratch/pane.txt"
# What that history costs a bare control in working set, as the first insertion of a
# fresh process, by three routes (the least of them is what the pane's history needs).
pane_mem=""
for route in replacesel-as-the-report-pane wm-settext replacesel-8k-blocks-undo-off; do
  pane_mem="$pane_mem$(winrun "$scratch/inproc/sw_bench_pane.exe" --memory "$route" "${history_args[@]}")
"
done
pane_need_kb=$(echo "$pane_mem" | awk '$1 == "memory" { for (i = 3; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
    d = v["ws_after_kb"] - v["ws_before_kb"]; if (m == "" || d < m) m = d } END { print m }')
pane_history=$(echo "$pane" | awk '$1 == "history" { sub("lines=", "", $2); sub("chars=", "", $3)
  printf "%s lines, %s characters, %s", $2, $3, $4 == "source=log" ? "from the 1 MB start'"'"'s log" : "made up" }')

# The result-log developer's own log benchmark, when there is one, runs in the same
# prefix with the same build; it is handed the measurer and the stripped exe.
if [ -f "$src/bench/resultlog_bench.sh" ]; then
  echo "== bench/resultlog_bench.sh"
  SW_BENCH_STATE="$root/$state" SW_BENCH_MEASURE="$root/$measure" \
    SW_BENCH_EXE="$root/$scratch/Sichtwerk.exe" SW_BENCH_RUNS="$runs" \
    bash "$src/bench/resultlog_bench.sh" || echo "bench/resultlog_bench.sh failed" >&2
fi

field() { # field TEXT NAME KEY
  echo "$1" | awk -v n="$2" -v k="$3" '$1 == "result" && $2 == n {
    for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }'
}
# Ratio of A to B start by start (the starts alternate, so each pair shares a phase of
# the machine): "median (p25-p75)" over the measured rounds.
pair_ratio() { # pair_ratio TEXT A B
  echo "$1" | awk -v a="$2" -v b="$3" '$1 == "run" && $2 == a { x[$3] = $4 } $1 == "run" && $2 == b { y[$3] = $4 }
    END { n = 0; for (i in x) if ((i in y) && y[i] > 0) r[++n] = x[i] / y[i]
      if (n == 0) { print "n/a"; exit }
      for (a1 = 2; a1 <= n; a1++) { v = r[a1]; b1 = a1 - 1; while (b1 > 0 && r[b1] > v) { r[b1 + 1] = r[b1]; b1-- } r[b1 + 1] = v }
      m = (n % 2) ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2
      lo = r[int(0.25 * n + 0.999)]; hi = r[int(0.75 * n + 0.999)]
      printf "%.2f (%.2f-%.2f)", m, lo, hi }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a != "" && b > 0) printf "%.2f", a / b; else print "n/a" }'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v != "n/a" && v + 0 <= t + 0) ? "holds" : "MISSED" }'; }

floor_ms=$(field "$starts" floor median_ms)
pfloor_ms=$(field "$starts" floor-prescribed median_ms)
pfloor_min=$(field "$starts" floor-prescribed min_ms)
pfloor_max=$(field "$starts" floor-prescribed max_ms)
pfloor_kb=$(field "$starts" floor-prescribed median_peak_kb)
grow_ms=$(field "$starts" sw-grow median_ms)
grow_min=$(field "$starts" sw-grow min_ms)
grow_max=$(field "$starts" sw-grow max_ms)
grow_kb=$(field "$starts" sw-grow median_peak_kb)
sw_min=$(field "$starts" sw-empty min_ms)
sw_max=$(field "$starts" sw-empty max_ms)
mb1_kb=$(field "$starts" sw-1mb median_peak_kb)
r_grow_p=$(pair_ratio "$starts" sw-grow floor-prescribed)
r_empty_p=$(pair_ratio "$starts" sw-empty floor-prescribed)
r_1mb_p=$(pair_ratio "$starts" sw-1mb floor-prescribed)
floor_kb=$(field "$starts" floor median_peak_kb)
sw_ms=$(field "$starts" sw-empty median_ms)
sw_kb=$(field "$starts" sw-empty median_peak_kb)
themed_ms=$(field "$starts" floor-themed median_ms)
themed_kb=$(field "$starts" floor-themed median_peak_kb)
comdlg_ms=$(field "$starts" floor-comdlg median_ms)
comdlg_kb=$(field "$starts" floor-comdlg median_peak_kb)
mb1_ms=$(field "$starts" sw-1mb median_ms)
mb500_ms=$(field "$starts" sw-500mb median_ms)
run_ms=$(field "$inproc" collection median_ms)
run1mb_ms=$(field "$inproc" collection1mb median_ms)
first1mb_ms=$(field "$inproc" collection1mb_empty_pane median_ms)
clear_ms=$(echo "$inproc" | awk '$1 == "part" && $2 == "pane.BeginUpdate(true)_of_full_pane" { split($3, kv, "="); print kv[2] }')
# A what-if route (pane-whatif-*) shows a cost, it is no route the program could take.
fastest_pane=$(echo "$pane" | awk '$1 == "result" && $2 ~ /^pane-/ && $2 !~ /^pane-whatif-/ { split($3, kv, "="); if (m == "" || kv[2] + 0 < m + 0) m = kv[2] } END { print m }')
start1mb_limit=$(awk -v e="$sw_ms" -v p="$fastest_pane" 'BEGIN { if (e != "" && p != "") printf "%.1f", e + 1.10 * p; else print "n/a" }')
l40=$(field "$inproc" addline40 median_us_per_line)
l1000=$(field "$inproc" addline1000 median_us_per_line)
size=$(stat -c %s "$scratch/Sichtwerk.exe")
size_mb=$(awk -v s="$size" 'BEGIN { printf "%.3f", s / 1048576 }')
r_start=$(ratio "$sw_ms" "$floor_ms")
r_ws=$(ratio "$sw_kb" "$floor_kb")
r_pane=$(ratio "$l1000" "$l40")

cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
{
  echo "Machine: $(nproc) cores, $cpu, $(wine --version), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "32-bit programs: $i386_mode"
  echo "Measured: $commit ($mode); load average before the starts $load_before, at the end $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
  echo "Against the prescribed floor (themed window, the main window's nine controls in Tahoma 8,"
  echo "the pane in the info colours, one GetIfTable/GetIfEntry pass); ratio per alternating pair,"
  echo "median (p25-p75); times median [min-max] ms; mode: $i386_mode"
  printf '%-44s %22s %22s %18s %8s %s\n' "measure" "Sichtwerk" "prescribed floor" "ratio" "target" ""
  printf '%-44s %22s %22s %18s %8s %s\n' "time to report, log growing" "$grow_ms [$grow_min-$grow_max]" "$pfloor_ms [$pfloor_min-$pfloor_max]" "$r_grow_p" "<= 1.15" "$(verdict "${r_grow_p%% *}" 1.15)"
  printf '%-44s %22s %22s %18s %8s %s\n' "time to report, empty log" "$sw_ms [$sw_min-$sw_max]" "$pfloor_ms" "$r_empty_p" "<= 1.15" "$(verdict "${r_empty_p%% *}" 1.15)"
  printf '%-44s %22s %22s %18s %8s %s\n' "time to report, 1 MB log" "$mb1_ms" "$pfloor_ms" "$r_1mb_p" "" ""
  printf '%-44s %22s %22s %18s %8s %s\n' "peak working set, log growing (KB)" "$grow_kb" "$pfloor_kb" "$(ratio "$grow_kb" "$pfloor_kb")" "<= 1.25" "$(verdict "$(ratio "$grow_kb" "$pfloor_kb")" 1.25)"
  printf '%-44s %22s %22s %18s %8s %s\n' "peak working set, empty log (KB)" "$sw_kb" "$pfloor_kb" "$(ratio "$sw_kb" "$pfloor_kb")" "<= 1.25" "$(verdict "$(ratio "$sw_kb" "$pfloor_kb")" 1.25)"
  printf '%-44s %22s %22s %18s %8s %s\n' "peak working set, 1 MB log (KB)" "$mb1_kb" "$pfloor_kb" "$(ratio "$mb1_kb" "$pfloor_kb")" "" ""
  mb1_extra=$(awk -v a="$mb1_kb" -v b="$sw_kb" 'BEGIN { if (a != "" && b != "") print a - b; else print "n/a" }')
  printf '%-44s %22s %22s %18s %8s %s\n' "  1 MB log minus empty log (KB)" "$mb1_extra" "" "" "<= need" \
    "$(awk -v a="$mb1_extra" -v b="$pane_need_kb" 'BEGIN { print (a != "n/a" && b != "" && a + 0 <= b + 0) ? "holds" : "MISSED" }')"
  printf '%-44s %22s %22s %18s %8s %s\n' "  the history's need in a bare control (KB)" "$pane_need_kb" "" "" "" ""
  echo
  printf '%-44s %14s %14s %8s %10s %s\n' "measure" "Sichtwerk" "floor" "ratio" "target" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "time to report, empty log (median ms)" "$sw_ms" "$floor_ms" "$r_start" "<= 1.25" "$(verdict "$r_start" 1.25)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  floor + Sichtwerk's manifest (ms)" "$themed_ms" "$floor_ms" "$(ratio "$themed_ms" "$floor_ms")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "  Sichtwerk / floor with the manifest" "$sw_ms" "$themed_ms" "$(ratio "$sw_ms" "$themed_ms")" "<= 1.25" "$(verdict "$(ratio "$sw_ms" "$themed_ms")" 1.25)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  floor + manifest + comdlg32 import (ms)" "$comdlg_ms" "$floor_ms" "$(ratio "$comdlg_ms" "$floor_ms")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "peak working set (median KB)" "$sw_kb" "$floor_kb" "$r_ws" "<= 1.25" "$(verdict "$r_ws" 1.25)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  floor + manifest (KB)" "$themed_kb" "$floor_kb" "$(ratio "$themed_kb" "$floor_kb")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "  Sichtwerk / floor with the manifest (KB)" "$sw_kb" "$themed_kb" "$(ratio "$sw_kb" "$themed_kb")" "<= 1.25" "$(verdict "$(ratio "$sw_kb" "$themed_kb")" 1.25)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  floor + manifest + comdlg32 import (KB)" "$comdlg_kb" "$floor_kb" "$(ratio "$comdlg_kb" "$floor_kb")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "time to report, 1 MB log (median ms)" "$mb1_ms" "$floor_ms" "$(ratio "$mb1_ms" "$floor_ms")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "  empty log + 1.10 x fastest pane route (ms)" "$start1mb_limit" "" "" ">= 1 MB" "$(awk -v a="$mb1_ms" -v b="$start1mb_limit" 'BEGIN { print (a != "" && b != "n/a" && a + 0 <= b + 0) ? "holds" : "MISSED" }')"
  printf '%-44s %14s %14s %8s %10s %s\n' "time to report, 500 MB log (median ms)" "$mb500_ms" "$floor_ms" "$(ratio "$mb500_ms" "$floor_ms")" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "collection run in process (median ms)" "$run_ms" "" "" "<= 20" "$(verdict "$run_ms" 20)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  the same below a 1 MB history (ms)" "$run1mb_ms" "" "" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "  first run with that log, empty pane (ms)" "$first1mb_ms" "" "$(ratio "$run1mb_ms" "$first1mb_ms")" "<= 1.25" "$(verdict "$(ratio "$run1mb_ms" "$first1mb_ms")" 1.25)"
  printf '%-44s %14s %14s %8s %10s %s\n' "  emptying a full pane (ms)" "$clear_ms" "" "" "< 20" "$(verdict "$clear_ms" 19.99)"
  printf '%-44s %14s %14s %8s %10s %s\n' "AddLine, 40 lines (median us per line)" "$l40" "" "" "" ""
  printf '%-44s %14s %14s %8s %10s %s\n' "AddLine, 1000 lines (median us per line)" "$l1000" "" "$r_pane" "<= 2" "$(verdict "$r_pane" 2)"
  printf '%-44s %14s %14s %8s %10s %s\n' "Sichtwerk.exe stripped (bytes / MiB)" "$size" "$size_mb" "" "<= 1.5" "$(verdict "$size_mb" 1.5)"
  echo
  echo "Starts per program: $runs after 2 warm-up starts; ratios are Sichtwerk / floor."
  echo
  echo "A full pane of history ($pane_history) into a bare RichEdit (pane-*),"
  echo "and emptied again (clear-*), median ms:"
  echo "$pane" | awk '$1 == "result" { split($3, kv, "="); printf "  %-40s %8s\n", $2, kv[2] }'
  echo
  echo "Start trace, median ms after CreateProcess (themed floor, prescribed floor, Sichtwerk):"
  echo "  floor:     $trace_floor" | fold -s -w 100
  echo "  prescribed: $trace_prescribed" | fold -s -w 100
  echo "  Sichtwerk: $trace_sw" | fold -s -w 100
  echo "  time to report of the traced builds: $(grep '^result' "$scratch/trace-starts.txt" | awk '{ print $2, $3 }' | tr '\n' ' ')"
  echo
  echo "Breakdown in process (median ms of one call):"
  echo "$inproc" | awk '$1 == "part" { sub(/^part /, "  "); print }'
} | tee build/bench/table.txt
