#!/usr/bin/env bash
# Scratch file systems for the result-log tests under Wine (run as root by CTest):
#   mounts.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT
# MOUNT_ROOT/ro     read-only bind mount of MOUNT_ROOT/ro-src (root ignores mode bits)
# MOUNT_ROOT/small  an 8 MB tmpfs, drive Y: of the test prefix, to fill up
# MOUNT_ROOT/ready  written when both are in place; the tests skip without it.
# Exit code 77 (CTest: skipped) when not root; any failing step fails the setup.
set -euo pipefail
cmd=$1 state=$(realpath -m "$2") root=$(realpath -m "$3")
drive="$state/prefix/dosdevices/y:"

case "$cmd" in
  setup)
    mkdir -p "$root/ro-src" "$root/ro" "$root/small"
    rm -f "$root/ready"
    [ "$(id -u)" = 0 ] || { echo "mounts.sh: not root, no mounts: the read-only and disk-full tests skip" >&2; exit 77; }
    if ! mountpoint -q "$root/ro"; then
      { mount --bind "$root/ro-src" "$root/ro" && mount -o remount,bind,ro "$root/ro"; } ||
        { echo "mounts.sh: no read-only bind mount" >&2; exit 1; }
    fi
    if ! mountpoint -q "$root/small"; then
      mount -t tmpfs -o size=8m tmpfs "$root/small" || { echo "mounts.sh: no tmpfs" >&2; exit 1; }
    fi
    mkdir -p "$state/prefix/dosdevices"
    ln -sfn "$root/small" "$drive"
    touch "$root/ready"
    ;;
  cleanup)
    rm -f "$root/ready" "$drive"
    if mountpoint -q "$root/ro"; then umount "$root/ro"; fi
    if mountpoint -q "$root/small"; then umount "$root/small"; fi
    rm -rf "$root"
    ;;
  *) echo "usage: mounts.sh setup|cleanup WINE_STATE_DIR MOUNT_ROOT" >&2; exit 2 ;;
esac
exit 0
