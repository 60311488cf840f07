#!/usr/bin/env bash
# Builds Sichtwerk.exe and starts it under Wine.
# With DISPLAY set, the window opens on that display and the command returns when it
# is closed. Without one, Sichtwerk runs on a virtual display: the report text is
# printed, a screenshot of the window is saved, and the program is closed again.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
sw_install_deps run
jobs=$(nproc)

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$jobs" --target Sichtwerk sw_probe

# The program keeps its result log beside the exe: run it from a folder of its own.
rundir=build/run/Sichtwerk
mkdir -p "$rundir"
cp build/win/bin/Sichtwerk.exe "$rundir/"
state=build/run/wine
wine_env=tests/wine/wine-env.sh

if [ -n "${DISPLAY:-}" ]; then
  SW_DISPLAY="$DISPLAY" bash "$wine_env" "$state" setup
  trap 'bash "$wine_env" "$state" cleanup' EXIT
  echo "== Sichtwerk is running on $DISPLAY; close its window to end."
  bash "$wine_env" "$state" run "$rundir/Sichtwerk.exe"
else
  bash "$wine_env" "$state" setup
  trap 'bash "$wine_env" "$state" cleanup' EXIT
  # The virtual display has no window manager: Wine draws the frames itself, so the
  # screenshot shows the caption with the program's icon.
  bash "$wine_env" "$state" run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
  shot="$(pwd)/build/run/sichtwerk.bmp"
  bash "$wine_env" "$state" run build/win/bin/sw_probe.exe "$rundir" "$shot"
  if command -v convert >/dev/null 2>&1 && [ -f "$shot" ]; then
    convert "$shot" "${shot%.bmp}.png" && shot="${shot%.bmp}.png"
  fi
  echo
  echo "== No DISPLAY: ran on a virtual display. Screenshot: $shot"
fi
