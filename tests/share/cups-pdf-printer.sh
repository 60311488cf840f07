#!/usr/bin/env bash
# PDF printers for the printing tests: CUPS with cups-pdf, one queue that prints to
# STATE_DIR/pdf, one that rejects every job (the printing-error test), and further
# queues that print to STATE_DIR/pdf-<queue> each (other tests' own printers).
#   cups-pdf-printer.sh STATE_DIR setup|cleanup PDF_QUEUE REJECT_QUEUE [PDF_QUEUE2 ...]
# The tests reach the queues by name (LPDEST makes the first one their default): the
# system's default printer is never changed. cleanup removes what setup added: the two
# queues, cups-pdf's configuration of this instance, and cupsd if setup started it.
set -euo pipefail
state=$(mkdir -p "$1" && cd "$1" && pwd); cmd=$2; queue=$3; reject=$4; shift 4; more=("$@")
added="$state/added"
# cups-pdf reads /etc/cups/cups-pdf-<instance>.conf for the device cups-pdf:/<instance>.
instance_of() { tr 'A-Z' 'a-z' <<<"$1"; }

# add_queue QUEUE INSTANCE OUT_DIR: the queue and its instance's configuration.
add_queue() {
  local q=$1 inst=$2 out=$3 conf=/etc/cups/cups-pdf-$2.conf
  mkdir -p "$out" "$state/log"
  if [ ! -f "$conf" ]; then
    # Debian's defaults, with output and log inside the build tree.
    printf 'Out %s\nLog %s\nGrp lpadmin\nDecodeHexStrings 1\n' "$out" "$state/log" >"$conf"
    echo "conf $conf" >>"$added"
  fi
  if ! lpstat -p "$q" >/dev/null 2>&1; then
    lpadmin -p "$q" -v "cups-pdf:/$inst" -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
    echo "queue $q" >>"$added"
  fi
  cupsenable "$q"
}

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
    add_queue "$queue" "$(instance_of "$queue")" "$state/pdf"
    add_queue "$reject" "$(instance_of "$queue")" "$state/pdf"
    for q in "${more[@]}"; do add_queue "$q" "$(instance_of "$q")" "$state/pdf-$q"; done
    cupsaccept "$queue" "${more[@]}"
    cupsreject -r "Sichtwerk tests: this printer rejects every job" "$reject"
    printf '%s\n' "$queue" >"$state/queue"
    # The checker only looks at PDFs newer than this mark, and at this run's outputs.
    rm -rf "$state/../share-print" "$state/../share-print-e2e"
    touch "$state/start-mark"
    ;;
  cleanup)
    if [ -f "$added" ]; then
      while read -r kind what; do
        case "$kind" in
          queue) lpadmin -x "$what" 2>/dev/null || true ;;
          conf) rm -f "$what" ;;
        esac
      done <"$added"
      rm -f "$added"
    fi
    if [ -f "$state/cupsd.pid" ]; then
      kill "$(cat "$state/cupsd.pid")" 2>/dev/null || true
      rm -f "$state/cupsd.pid"
    fi
    ;;
  *) echo "usage: cups-pdf-printer.sh STATE_DIR setup|cleanup PDF_QUEUE REJECT_QUEUE [PDF_QUEUE2 ...]" >&2; exit 2 ;;
esac
