#!/usr/bin/env bash
# The Wine side of a test run: one throwaway prefix inside the build tree, one Xvfb
# display and one persistent wineserver for the whole run, stopped at the end for
# that prefix only. ~/.wine is never touched.
#
#   wine-env.sh STATE_DIR setup            create/reuse the prefix, start Xvfb and wineserver
#   wine-env.sh STATE_DIR fresh            cleanup, then setup (retried: setup refuses
#                                          while a server of the prefix still lingers)
#   wine-env.sh STATE_DIR cleanup          stop this prefix's wineserver and the display
#   wine-env.sh STATE_DIR run EXE ARGS...  run a Windows program in that prefix
#   wine-env.sh STATE_DIR env              print the environment for a shell (eval it)
set -euo pipefail
state=$(mkdir -p "$1" && cd "$1" && pwd); cmd=$2; shift 2
export WINEPREFIX="$state/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: nothing here needs .NET or a browser engine.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG="${SW_TEST_LANG:-de_DE.UTF-8}"
# Wine takes the user locale from LC_ALL/LANG when a prefix first runs a program.
export LC_ALL="$LANG"

display_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
  display_alive && return 0
  # Xvfb picks a free display number itself and writes it to the pipe: no race with
  # other test runs on the same machine.
  rm -f "$state/display.fifo"
  mkfifo "$state/display.fifo"
  Xvfb -displayfd 3 -screen 0 "${SW_TEST_SCREEN:-1280x1024x24}" -nolisten tcp \
    3>"$state/display.fifo" >"$state/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  local n=""
  read -r -t 20 n <"$state/display.fifo" || true
  rm -f "$state/display.fifo"
  if [ -z "$n" ] || ! display_alive; then
    echo "wine-env: no Xvfb display could be started:" >&2
    cat "$state/xvfb.log" >&2
    return 1
  fi
  echo ":$n" >"$state/display"
}

case "$cmd" in
  setup)
    if [ -n "${SW_DISPLAY:-}" ]; then
      # A display of the user's own: no virtual one.
      echo "$SW_DISPLAY" >"$state/display"
    else
      start_display
    fi
    export DISPLAY="$(cat "$state/display")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      # Output to a file: a capturing caller would otherwise wait for the services
      # that inherit the pipe.
      wineboot -i >"$state/wineboot.log" 2>&1 </dev/null
      # wineboot's own server lingers a few seconds; let it end, so that the
      # persistent one below can start.
      wineserver -w >/dev/null 2>&1 </dev/null || true
      # A second prefix asked for (SW_WINE_COPY_TO: its state folder) is this new one
      # copied, now that no server holds it: a copy takes seconds, wineboot half a
      # minute or more. Its own setup then finds it made.
      if [ -n "${SW_WINE_COPY_TO:-}" ] && [ ! -f "$SW_WINE_COPY_TO/prefix/system.reg" ]; then
        mkdir -p "$SW_WINE_COPY_TO"
        rm -rf "$SW_WINE_COPY_TO/prefix"
        cp -a "$WINEPREFIX" "$SW_WINE_COPY_TO/prefix"
      fi
    fi
    # Fails harmlessly when this prefix's persistent server is already up.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    if [ "${SW_WINE_SCHEME:-}" = dark ]; then
      # White text on black, as in "High Contrast Black": what a program shows or prints
      # in the automatic colour is then white. Programs started from now on see it.
      printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Control Panel\Colors]' \
        '"Window"="0 0 0"' '"WindowText"="255 255 255"' '"InfoWindow"="0 0 0"' '"InfoText"="255 255 255"' \
        >"$state/scheme.reg"
      wine regedit /S "$(winepath -w "$state/scheme.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
    fi
    ;;
  fresh)
    for attempt in 1 2 3; do
      bash "$0" "$state" cleanup
      bash "$0" "$state" setup && exit 0
      sleep 5
    done
    echo "wine-env: Wine setup failed" >&2
    exit 1
    ;;
  cleanup)
    wineserver -k >/dev/null 2>&1 || true
    if display_alive; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$state/xvfb.pid" "$state/display"
    ;;
  run)
    [ -f "$state/display" ] && export DISPLAY="$(cat "$state/display")"
    # The output is kept to be read once more: a GoogleTest program whose tests passed
    # but skipped some ends with 77, which CTest shows as skipped (SKIP_RETURN_CODE),
    # and SW_RUN_REQUIRE names a line that must appear besides exit code 0.
    out=$(mktemp "$state/run.XXXXXX")
    rc=0
    wine "$@" 2>&1 | tee "$out" || rc=${PIPESTATUS[0]}
    if [ "$rc" = 0 ] && [ -n "${SW_RUN_REQUIRE:-}" ] && ! grep -Eq "$SW_RUN_REQUIRE" "$out"; then
      echo "wine-env: no line matching '$SW_RUN_REQUIRE'" >&2
      rc=1
    fi
    # Each test's outcome, for the rule that no test may skip in every entry (tools/test.sh).
    if [ -n "${SW_TEST_LEDGER:-}" ]; then
      tr -d '\r' <"$out" | sed -nE "s/^\[ +(OK|SKIPPED) \] ([A-Za-z_0-9/]+\.[^ ]+) \(.*/\1 \2 ${SW_CTEST_ENTRY:-?}/p" \
        >>"$SW_TEST_LEDGER"
    fi
    if [ "$rc" = 0 ] && grep -Eq '^\[  SKIPPED \] [A-Za-z_0-9/]+\.[^ ]+ \(' "$out"; then
      echo "wine-env: tests skipped (exit code 77)"
      rc=77
    fi
    rm -f "$out"
    exit "$rc"
    ;;
  env)
    echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES' LANG='$LANG'"
    [ -f "$state/display" ] && echo "export DISPLAY='$(cat "$state/display")'"
    ;;
  *) echo "usage: wine-env.sh STATE_DIR setup|fresh|cleanup|run|env" >&2; exit 2 ;;
esac
