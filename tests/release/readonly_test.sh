#!/usr/bin/env bash
# A full collection run leaves the system as it found it: the registry of the test
# prefix (both views of HKLM\Software, HKCU\Software) is unchanged, and the only file
# written anywhere in the prefix or the run folder is the result log beside the exe.
#   readonly_test.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1; bin=$2
state="$bin/wine"
wenv() { bash "$src/tests/wine/wine-env.sh" "$state" "$@"; }
prefix="$state/prefix"
work="$bin/readonly-test"
rm -rf "$work"; mkdir -p "$work/run"
cp "$bin/bin/Sichtwerk.exe" "$work/run/"

snapshot() {
  local tag=$1
  wenv run reg export 'HKLM\Software' "Z:$work/hklm64-$tag.reg" /y >/dev/null 2>&1
  wenv run 'C:\windows\syswow64\reg.exe' export 'HKLM\Software' "Z:$work/hklm32-$tag.reg" /y >/dev/null 2>&1
  wenv run reg export 'HKCU\Software' "Z:$work/hkcu-$tag.reg" /y >/dev/null 2>&1
}

snapshot before
touch "$work/marker"
sleep 1
# Two runs: the first creates the log, the second appends to it.
wenv run "$bin/bin/sw_probe.exe" "$work/run" "$work/shot1.bmp" >"$work/probe1.txt"
wenv run "$bin/bin/sw_probe.exe" "$work/run" "$work/shot2.bmp" >"$work/probe2.txt"
snapshot after

fail=0
for k in hklm64 hklm32 hkcu; do
  if ! cmp -s "$work/$k-before.reg" "$work/$k-after.reg"; then
    echo "FAIL: registry $k changed:"
    diff <(iconv -f UTF-16LE -t UTF-8 "$work/$k-before.reg") <(iconv -f UTF-16LE -t UTF-8 "$work/$k-after.reg") | head -20
    fail=1
  fi
done

# Files written since the marker: in the run folder only the exe's log; in the prefix
# nothing but Wine's own registry files.
written=$( (cd "$work/run" && find . -type f -newer "$work/marker"); \
           (cd "$prefix" && find drive_c -type f -newer "$work/marker") )
expected="./Ergebnisse des Sichtwerks zur Prüfung.log"
while IFS= read -r f; do
  [ -z "$f" ] && continue
  [ "$f" = "$expected" ] && continue
  echo "FAIL: file written: $f"
  fail=1
done <<<"$written"
grep -qxF "$expected" <<<"$written" || { echo "FAIL: no result log written"; fail=1; }
[ "$(ls "$work/run" | wc -l)" = 2 ] || { echo "FAIL: run folder holds: $(ls "$work/run")"; fail=1; }

if [ $fail = 0 ]; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed"
  exit 1
fi
