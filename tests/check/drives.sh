#!/usr/bin/env bash
# Small drives for the end-to-end check tests under Wine (run as root by CTest):
#   drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT
# MOUNT_ROOT/x      a 4 GB tmpfs, drive X: of the test prefix (4 x 2^30 bytes free),
#                   also the share \\praxis-server\medistar (dosdevices/unc)
# MOUNT_ROOT/n      a plain folder, drive N:; a test moves it aside to leave the letter
#                   pointing at nothing, as a mapped drive whose server is off
# MOUNT_ROOT/dead   drive S:, a FUSE file system whose calls wait (deadserver.py) until
#                   MOUNT_ROOT/dead-release exists, as a server that does not answer
# MOUNT_ROOT/ready  written when X: is in place; the tests skip without it.
# Exit code 77 (CTest: skipped) when not root; any failing step fails the setup.
set -euo pipefail
cmd=$1 state=$2 root=$3
here=$(cd "$(dirname "$0")" && pwd)
dos="$state/prefix/dosdevices"
drive="$dos/x:"
lost="$dos/n:"
dead="$dos/s:"
share="$dos/unc/praxis-server/medistar"

case "$cmd" in
  setup)
    # A mount left by a run that was killed has lost its server: it goes first.
    umount -l "$root/dead" 2>/dev/null || true
    mkdir -p "$root/x" "$root/n" "$root/dead" "$dos/unc/praxis-server"
    rm -f "$root/ready" "$root/dead-release"
    ln -sfn "$root/n" "$lost"
    if ! mountpoint -q "$root/x"; then
      [ "$(id -u)" = 0 ] || { echo "drives.sh: not root, no tmpfs: the tests of drive X: skip" >&2; exit 77; }
      mount -t tmpfs -o size=4g tmpfs "$root/x" || { echo "drives.sh: no tmpfs" >&2; exit 1; }
    fi
    ln -sfn "$root/x" "$drive"
    ln -sfn "$root/x" "$share"
    if ! mountpoint -q "$root/dead"; then
      [ -e /dev/fuse ] || { echo "drives.sh: no /dev/fuse for the dead server's drive S:" >&2; exit 1; }
      setsid /usr/bin/python3 "$here/deadserver.py" "$root/dead" "$root/dead-release" \
        >"$root/deadserver.log" 2>&1 </dev/null &
      echo $! >"$root/deadserver.pid"
      for _ in $(seq 50); do mountpoint -q "$root/dead" && break; sleep 0.1; done
      mountpoint -q "$root/dead" ||
        { echo "drives.sh: the dead server's FUSE mount failed:" >&2; cat "$root/deadserver.log" >&2; exit 1; }
    fi
    ln -sfn "$root/dead" "$dead"
    touch "$root/ready"
    ;;
  cleanup)
    rm -f "$root/ready" "$drive" "$lost" "$dead" "$share"
    rmdir "$dos/unc/praxis-server" 2>/dev/null || true
    # Every waiting call fails at once, then the mount goes.
    if [ -d "$root" ]; then touch "$root/dead-release" 2>/dev/null || true; fi
    umount -l "$root/dead" 2>/dev/null || true
    if [ -f "$root/deadserver.pid" ]; then kill -9 "$(cat "$root/deadserver.pid")" 2>/dev/null || true; fi
    if mountpoint -q "$root/x"; then umount "$root/x"; fi
    rm -rf "$root"
    ;;
  *) echo "usage: drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT" >&2; exit 2 ;;
esac
exit 0
