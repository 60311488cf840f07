#!/usr/bin/python3
# A network drive whose server does not answer, for the Wine tests:
#   deadserver.py MOUNTPOINT RELEASE_FILE
# Mounted with FUSE, it answers at once only what Wine itself needs to go on (the
# root's attributes and opening it, "no such file" for Wine's volume label files, and
# statfs for the wineserver, which asks it for every file it opens). Every other call
# waits, as a call to a server that has gone does, until RELEASE_FILE exists: then it
# and every later call fail at once, as for a server that is gone for good.
import errno
import os
import stat
import sys
import time

import fusepy as fuse

mountpoint, release = sys.argv[1], sys.argv[2]


def released():
    return os.path.exists(release)


def hang():
    while not released():
        time.sleep(0.1)
    raise fuse.FuseOSError(errno.EIO)


def from_wineserver():
    _, _, pid = fuse.fuse_get_context()
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return b"wineserver" in f.read()
    except OSError:
        return False


class DeadServer(fuse.Operations):
    def getattr(self, path, fh=None):
        if path == "/":
            now = time.time()
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_uid=0, st_gid=0, st_size=0,
                        st_atime=now, st_mtime=now, st_ctime=now)
        if path in ("/.windows-label", "/.windows-serial"):
            raise fuse.FuseOSError(errno.ENOENT)
        hang()

    def opendir(self, path):
        if path == "/":
            return 0
        hang()

    def releasedir(self, path, fh):
        return 0

    def open(self, path, flags):
        if path == "/":
            return 0
        hang()

    def release(self, path, fh):
        return 0

    def readdir(self, path, fh):
        hang()

    def statfs(self, path):
        if from_wineserver() and not released():
            return dict(f_bsize=4096, f_frsize=4096, f_blocks=1 << 20, f_bfree=1 << 19, f_bavail=1 << 19,
                        f_files=1 << 16, f_ffree=1 << 15, f_favail=1 << 15, f_namemax=255)
        hang()

    def access(self, path, amode):
        if path == "/":
            return 0
        hang()


if __name__ == "__main__":
    fuse.FUSE(DeadServer(), mountpoint, foreground=True, nothreads=False, allow_other=True)
