#!/usr/bin/env bash
# A small drive for the end-to-end check tests under Wine (run as root by CTest):
#   drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT
# MOUNT_ROOT/x      a 4 GB tmpfs, drive X: of the test prefix (4 x 2^30 bytes free)
# MOUNT_ROOT/ready  written when it is in place; the tests skip without it.
set -uo pipefail
cmd=$1 state=$2 root=$3
drive="$state/prefix/dosdevices/x:"

case "$cmd" in
  setup)
    mkdir -p "$root/x"
    rm -f "$root/ready"
    if ! mountpoint -q "$root/x"; then
      mount -t tmpfs -o size=4g tmpfs "$root/x" ||
        { echo "drives.sh: no tmpfs (not root?)" >&2; exit 0; }
    fi
    mkdir -p "$state/prefix/dosdevices"
    ln -sfn "$root/x" "$drive"
    touch "$root/ready"
    ;;
  cleanup)
    rm -f "$root/ready" "$drive"
    mountpoint -q "$root/x" && umount "$root/x"
    rm -rf "$root"
    ;;
  *) echo "usage: drives.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT" >&2; exit 2 ;;
esac
exit 0
