#!/usr/bin/env bash
# A/B of the start of two commits in one Wine prefix, the starts alternating:
#
#   bash bench/ab.sh A B        SW_BENCH_RUNS=N (default 12) starts per target
#
# Each commit is exported (git archive) and its Sichtwerk.exe built (Release) and
# stripped. Targets, in turn: A and B with the result log growing beside the exe, A and
# B with an empty log, and a second copy of B with the log growing (the A/A pass, for
# the noise). Raw lines and the table land in build/bench/ab/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ $# -eq 2 ] || { echo "usage: bash bench/ab.sh COMMIT_A COMMIT_B" >&2; exit 2; }
. tools/deps.sh
sw_install_deps run
i386_mode=$(sw_i386_mode)
runs=${SW_BENCH_RUNS:-12}
jobs=${SW_BENCH_JOBS:-2}
out=build/bench/ab
state=build/bench/wine
wine_env=tests/wine/wine-env.sh
mkdir -p "$out"
build_log=$out/build.log
quiet() { "$@" >"$build_log" 2>&1 || { tail -40 "$build_log" >&2; exit 1; }; }

build_exe() { # build_exe COMMIT -> $out/<hash>/Sichtwerk.exe
  local c=$1 dir=$out/$1
  if [ ! -d "$dir/src" ]; then
    mkdir -p "$dir/src"
    git archive "$c" | tar -x -C "$dir/src"
  fi
  quiet cmake -S "$dir/src" -B "$dir/win" -DCMAKE_TOOLCHAIN_FILE="$root/$dir/src/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
  quiet cmake --build "$dir/win" -j"$jobs" --target Sichtwerk
}
a=$(git rev-parse --short "$1")
b=$(git rev-parse --short "$2")
echo "== Building $a and $b (Release)"
build_exe "$a"
build_exe "$b"
# The measurer of the checkout.
quiet cmake -S bench -B "$out/tools" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
quiet cmake --build "$out/tools" -j"$jobs" --target sw_bench_start

scratch=$out/run
rm -rf "$scratch"
for t in a-grow b-grow a-empty b-empty b2-grow; do mkdir -p "$scratch/$t"; done
for t in a-grow a-empty; do i686-w64-mingw32-strip -o "$scratch/$t/Sichtwerk.exe" "$out/$a/win/bin/Sichtwerk.exe"; done
for t in b-grow b-empty b2-grow; do i686-w64-mingw32-strip -o "$scratch/$t/Sichtwerk.exe" "$out/$b/win/bin/Sichtwerk.exe"; done

bash "$wine_env" "$state" fresh || exit 1
trap 'bash "$wine_env" "$state" cleanup' EXIT
winpath() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }
target() { echo --target "$1" "$(winpath "$scratch/$1/Sichtwerk.exe")" TMainForm; }

echo "== Starts: $runs per target, alternating; 32-bit programs: $i386_mode"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# shellcheck disable=SC2046
bash "$wine_env" "$state" run "$out/tools/bin/sw_bench_start.exe" --runs "$runs" --warmup 2 \
  $(target a-grow) $(target b-grow) $(target a-empty) log=empty $(target b-empty) log=empty \
  $(target b2-grow) | tr -d '\r' >"$scratch/starts.txt"

pair() { # pair X Y: median and p25-p75 of X/Y over the rounds
  awk -v a="$1" -v b="$2" '$1 == "run" && $2 == a { x[$3] = $4 } $1 == "run" && $2 == b { y[$3] = $4 }
    END { n = 0; for (i in x) if ((i in y) && y[i] > 0) r[++n] = x[i] / y[i]
      if (n == 0) { print "n/a"; exit }
      for (a1 = 2; a1 <= n; a1++) { v = r[a1]; b1 = a1 - 1; while (b1 > 0 && r[b1] > v) { r[b1 + 1] = r[b1]; b1-- } r[b1 + 1] = v }
      m = (n % 2) ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2
      printf "%.3f (%.3f-%.3f)", m, r[int(0.25 * n + 0.999)], r[int(0.75 * n + 0.999)] }' "$scratch/starts.txt"
}
{
  echo "A/B: A=$a, B=$b; $runs starts per target after 2 warm-ups, alternating in one prefix"
  echo "32-bit programs: $i386_mode; $(nproc) cores; load average before $load_before, after $(cut -d' ' -f1-3 /proc/loadavg)"
  grep '^result' "$scratch/starts.txt" | sed 's/^result /  /'
  echo "  B/A, log growing: $(pair b-grow a-grow)"
  echo "  B/A, empty log:   $(pair b-empty a-empty)"
  echo "  A/A (B2/B), log growing: $(pair b2-grow b-grow)"
} | tee "$out/table.txt"
