#!/usr/bin/env bash
# A PDF printer for the printing tests: CUPS with cups-pdf, made the default.
#   cups-pdf-printer.sh STATE_DIR setup|cleanup
# cupsd is started only when none runs, and then stopped again by its own pid.
set -euo pipefail
state=$(mkdir -p "$1" && cd "$1" && pwd); cmd=$2
case "$cmd" in
  setup)
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
      mkdir -p /run/cups
      /usr/sbin/cupsd
      for i in $(seq 1 100); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
      done
      pgrep -xo cupsd >"$state/cupsd.pid" || true
    fi
    lpstat -r | grep -q "is running"
    if ! lpstat -p PDF >/dev/null 2>&1; then
      lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
    fi
    cupsenable PDF 2>/dev/null || true
    cupsaccept PDF 2>/dev/null || true
    lpadmin -d PDF
    # The checker only looks at PDFs newer than this mark, and at this run's outputs.
    rm -rf "$state/../share-print" "$state/../share-print-e2e"
    touch "$state/start-mark"
    ;;
  cleanup)
    if [ -f "$state/cupsd.pid" ]; then
      kill "$(cat "$state/cupsd.pid")" 2>/dev/null || true
      rm -f "$state/cupsd.pid"
    fi
    ;;
  *) echo "usage: cups-pdf-printer.sh STATE_DIR setup|cleanup" >&2; exit 2 ;;
esac
