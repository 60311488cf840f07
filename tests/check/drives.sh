#!/usr/bin/env bash
# Small drives for the end-to-end check tests under Wine (run as root by CTest):
#   drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT
# MOUNT_ROOT/x      a 4 GB tmpfs, drive X: of the test prefix (4 x 2^30 bytes free)
# MOUNT_ROOT/n      a plain folder, drive N:; a test moves it aside to leave the letter
#                   pointing at nothing, as a mapped drive whose server is off
# MOUNT_ROOT/ready  written when X: is in place; the tests skip without it.
# Exit code 77 (CTest: skipped) when not root; any failing step fails the setup.
set -euo pipefail
cmd=$1 state=$2 root=$3
drive="$state/prefix/dosdevices/x:"
lost="$state/prefix/dosdevices/n:"

case "$cmd" in
  setup)
    mkdir -p "$root/x" "$root/n" "$state/prefix/dosdevices"
    rm -f "$root/ready"
    ln -sfn "$root/n" "$lost"
    if ! mountpoint -q "$root/x"; then
      [ "$(id -u)" = 0 ] || { echo "drives.sh: not root, no tmpfs: the tests of drive X: skip" >&2; exit 77; }
      mount -t tmpfs -o size=4g tmpfs "$root/x" || { echo "drives.sh: no tmpfs" >&2; exit 1; }
    fi
    ln -sfn "$root/x" "$drive"
    touch "$root/ready"
    ;;
  cleanup)
    rm -f "$root/ready" "$drive" "$lost"
    if mountpoint -q "$root/x"; then umount "$root/x"; fi
    rm -rf "$root"
    ;;
  *) echo "usage: drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT" >&2; exit 2 ;;
esac
exit 0
