#!/usr/bin/env bash
# Full runs leave the system as they found it: the registry of the test prefix (both
# views of HKLM\Software, HKCU\Software) is unchanged, and the only file written
# anywhere in the prefix or the run folder is the result log beside the exe. Two plain
# runs, then one with Mail (the tests' recording MAPI32.DLL in the system folder) and
# printing through the preview to the default printer (LPDEST: a PDF queue of the
# test run's own), then another collection run.
#   readonly_test.sh SOURCE_DIR BINARY_DIR [WINE_STATE_DIR]
set -euo pipefail
src=$1; bin=$2
state="${3:-$bin/wine}"
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

# Mail goes to the recorder, never to a mail program: the recorder takes the place of
# the system's MAPI32.DLL, and the availability value is "1". Both are put in place
# before the first snapshot (they are the test's, not the program's) and put back at
# the end.
sys32="$prefix/drive_c/windows/syswow64"
mapikey='HKLM\Software\Microsoft\Windows Messaging Subsystem'
reg32() { wenv run 'C:\windows\syswow64\reg.exe' "$@"; }
restore() {
  if [ -f "$sys32/mapi32.dll.sw-readonly" ]; then mv -f "$sys32/mapi32.dll.sw-readonly" "$sys32/mapi32.dll"; fi
  if [ -n "${old_mapi+x}" ]; then
    if [ -n "$old_mapi" ]; then reg32 add "$mapikey" /v MAPI /t REG_SZ /d "$old_mapi" /f >/dev/null 2>&1 || true
    else reg32 delete "$mapikey" /v MAPI /f >/dev/null 2>&1 || true; fi
  fi
}
trap restore EXIT
[ -f "$sys32/mapi32.dll.sw-readonly" ] || cp -p "$sys32/mapi32.dll" "$sys32/mapi32.dll.sw-readonly"
cp "$bin/bin/mapi32.dll" "$sys32/mapi32.dll"
old_mapi=$(reg32 query "$mapikey" /v MAPI 2>/dev/null | tr -d '\r' | awk '$1=="MAPI"{print $3}')
reg32 add "$mapikey" /v MAPI /t REG_SZ /d 1 /f >/dev/null 2>&1
winpath() { echo "Z:$1" | tr / '\\'; }
export SW_READONLY_RUN=$(winpath "$work/run") SW_MAPI_RECORD=$(winpath "$work/mapi-record.txt")
# Wine's spooler enters the CUPS printers into the registry when a process first asks
# for them (Windows' spooler service keeps its list itself): once, before the snapshot.
WINEDLLOVERRIDES="mscoree,mshtml=;mapi32=n" wenv run "$bin/bin/sw_release_wintests.exe" \
  --gtest_filter=ReadOnlyRun.SpoolerKnowsThePrinters >"$work/spooler.txt" 2>&1 ||
  { cat "$work/spooler.txt"; echo "0 passed, 1 failed"; exit 1; }
pdfdir="$bin/cups/pdf-${LPDEST:-none}"
pdfs_before=$(ls "$pdfdir" 2>/dev/null | wc -l)

snapshot before
touch "$work/marker"
# Files written from now on must come out newer than the marker: wait for the clock
# of the file system to move on.
for i in $(seq 1 200); do touch "$work/tick"; [ "$work/tick" -nt "$work/marker" ] && break; sleep 0.01; done
rm -f "$work/tick"
# Two runs: the first creates the log, the second appends to it.
wenv run "$bin/bin/sw_probe.exe" "$work/run" "$work/shot1.bmp" >"$work/probe1.txt"
wenv run "$bin/bin/sw_probe.exe" "$work/run" "$work/shot2.bmp" >"$work/probe2.txt"
# Then mail and print, and one more run.
WINEDLLOVERRIDES="mscoree,mshtml=;mapi32=n" wenv run "$bin/bin/sw_release_wintests.exe" \
  --gtest_filter=ReadOnlyRun.CollectMailPrintCollect >"$work/share.txt" 2>&1 || true
snapshot after

fail=0
grep -q "^\[  PASSED  \] 1 test" "$work/share.txt" || { echo "FAIL: mail and print run:"; cat "$work/share.txt"; fail=1; }
[ -s "$work/mapi-record.txt" ] || { echo "FAIL: the mail did not reach the recorder"; fail=1; }
# The job reaches the PDF folder after the spooler is done.
for i in $(seq 1 300); do [ "$(ls "$pdfdir" 2>/dev/null | wc -l)" -gt "$pdfs_before" ] && break; sleep 0.1; done
[ "$(ls "$pdfdir" 2>/dev/null | wc -l)" -gt "$pdfs_before" ] || { echo "FAIL: nothing printed to $pdfdir"; fail=1; }
for k in hklm64 hklm32 hkcu; do
  if ! cmp -s "$work/$k-before.reg" "$work/$k-after.reg"; then
    echo "FAIL: registry $k changed:"
    diff <(iconv -f UTF-16LE -t UTF-8 "$work/$k-before.reg") <(iconv -f UTF-16LE -t UTF-8 "$work/$k-after.reg") | head -20
    fail=1
  fi
done

# Files written since the marker: in the run folder only the exe's log; in the prefix
# nothing but Wine's own registry files (outside drive_c). Files that live only for a
# while, such as the spool file Wine's spooler writes for a print job and deletes when
# the job has gone to CUPS, are not found: only files still there after the runs count.
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
