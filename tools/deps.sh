# Sourced by tools/run.sh and tools/test.sh: makes sure the Debian packages are there.
# As root it installs what is missing; otherwise it prints the exact command and stops.

SW_PKGS_BUILD="locales cmake make g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686 librsvg2-bin icoutils"
SW_PKGS_WINE="wine wine32:i386 wine64 xvfb xauth imagemagick"
SW_PKGS_TEST="clang libclang-rt-14-dev cups cups-bsd printer-driver-cups-pdf libcups2:i386 poppler-utils osslsigncode openssl python3-fusepy"

sw_missing_pkgs() {
  local p missing=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  echo "$missing"
}

# Wine derives the Windows user locale and the Unix code page of file names from the
# Unix locale: without a generated de_DE.UTF-8 it falls back to ASCII, and a file name
# with an umlaut (the result log's) cannot be created.
sw_ensure_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "The German locale is missing. As root: localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
    exit 1
  fi
  echo "== Generating the de_DE.UTF-8 locale"
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

# sw_install_deps run|test
sw_install_deps() {
  sw_install_pkgs "$@"
  sw_ensure_locale
  sw_ensure_i386
}

sw_install_pkgs() {
  local pkgs="$SW_PKGS_BUILD $SW_PKGS_WINE"
  [ "$1" = test ] && pkgs="$pkgs $SW_PKGS_TEST"
  local need_i386=0
  dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 || need_i386=1
  local missing
  missing=$(sw_missing_pkgs $pkgs)
  [ -z "$missing" ] && [ $need_i386 = 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Install them as root with:" >&2
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y --no-install-recommends $pkgs" >&2
    exit 1
  fi
  echo "== Installing:$missing"
  [ $need_i386 = 1 ] && dpkg --add-architecture i386
  local update_log=/tmp/sichtwerk-apt-update.log install_log=/tmp/sichtwerk-apt-install.log
  sw_apt_update "$update_log" || true
  sw_apt_install "$install_log" $pkgs && return 0
  # An index that a mirror is still syncing is dropped by apt-get update; the packages
  # of the other suites may then no longer fit together (an amd64 library from the
  # security suite, its i386 twin only from the release). The same install without
  # that suite takes both from the release.
  local failed suite
  failed=$(sw_apt_failed_index "$update_log")
  suite=$(echo "$failed" | sed -n 's#.*/dists/\([^/]*\)/.*#\1#p')
  if [ -n "$suite" ] && sw_apt_install_without "$suite" "$install_log" $pkgs; then
    echo "== Installed without the suite $suite, whose index the mirror is still syncing ($failed)"
    return 0
  fi
  if [ -n "$failed" ]; then
    echo "The package mirror is in the middle of a sync: its index $failed does not match its Release file, so apt-get cannot install the packages. This is the mirror's fault, not Sichtwerk's: try again later." >&2
  else
    echo "Installing the packages failed; apt-get said:" >&2
    tail -n 20 "$install_log" >&2
  fi
  exit 1
}

# apt-get update, retried a few times a short wait apart: a mirror that is syncing
# serves an index whose size does not match its Release file for a while. The output
# of the last try stays in $1.
sw_apt_update() {
  local try
  for try in 1 2 3; do
    apt-get update -qq >"$1" 2>&1 && return 0
    grep -q 'Mirror sync in progress\|unexpected size\|Hash Sum mismatch' "$1" || return 1
    [ $try = 3 ] || sleep 10
  done
  return 1
}

# The first index that apt-get update could not fetch, as its URL (empty if none).
sw_apt_failed_index() {
  sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$1" | head -1
}

# sw_apt_install LOG PACKAGES...
sw_apt_install() {
  local log=$1
  shift
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

# sw_apt_install_without SUITE LOG PACKAGES...: the same install from every configured
# suite but SUITE; the machine's own sources are left as they are.
sw_apt_install_without() {
  local suite=$1 log=$2 dir
  shift 2
  dir=$(mktemp -d)
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in
      *.list) grep -v "^[[:space:]]*deb[^#]*[[:space:]]$suite[[:space:]]" "$f" >"$dir/$(basename "$f")" || true ;;
      *.sources) sed -E "/^Suites:/{s/[[:space:]]$suite([[:space:]]|\$)/\1/;/^Suites:[[:space:]]*\$/s/.*/Enabled: no/}" \
        "$f" >"$dir/$(basename "$f")" ;;
    esac
  done
  local rc=0
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$dir" "$@" >"$log" 2>&1 || rc=$?
  rm -rf "$dir"
  return $rc
}

# Wine starts every Windows program through its 32-bit loader, an i386 Linux program.
# Some kernels run none ("32-bit emulation disabled"; exec fails with "Exec format
# error"). There binfmt_misc hands i386 programs to qemu's user-mode emulator, and Wine,
# the tests and Sichtwerk.exe stay as they are. Where the kernel runs them itself,
# nothing is installed or registered.
SW_I386_PROBE=/lib/ld-linux.so.2
SW_BINFMT=/proc/sys/fs/binfmt_misc
SW_BINFMT_ENTRY=qemu-i386
SW_QEMU_I386=/usr/bin/qemu-i386
# qemu-i386 before 8 reserves the guest's address space page by page: about a minute
# for every Wine start.
SW_QEMU_MIN_MAJOR=8

sw_i386_runs() { "$SW_I386_PROBE" --version >/dev/null 2>&1; }

# The enabled binfmt_misc entries that take i386 ELF programs (class 32-bit,
# little-endian, machine 3 at offset 18), one name a line.
sw_i386_handlers() {
  [ -f "$SW_BINFMT/status" ] || return 0
  local f magic
  for f in "$SW_BINFMT"/*; do
    case "${f##*/}" in register|status) continue ;; esac
    grep -qx enabled "$f" 2>/dev/null || continue
    grep -qx 'offset 0' "$f" || continue
    magic=$(sed -n 's/^magic //p' "$f")
    [ "${magic:0:12}" = 7f454c460101 ] && [ "${magic:36:4}" = 0300 ] && echo "${f##*/}"
  done
}

sw_i386_interpreter() { sed -n 's/^interpreter //p' "$SW_BINFMT/$1"; }

# "10.0.2" for a qemu user-mode emulator, nothing for any other program.
sw_qemu_version() {
  { "$1" --version 2>/dev/null || true; } | sed -n '1s/^qemu-[a-z0-9_]* version \([0-9][0-9.]*\).*/\1/p'
}

# How this machine runs i386 programs, in one line: "native", or "emulated (...)".
sw_i386_mode() {
  local h interp ver first=""
  for h in $(sw_i386_handlers); do
    interp=$(sw_i386_interpreter "$h")
    ver=$(sw_qemu_version "$interp")
    if [ -n "$ver" ]; then
      echo "emulated (${interp##*/} $ver, binfmt_misc entry $h)"
      return
    fi
    [ -n "$first" ] || first="emulated (${interp##*/}, binfmt_misc entry $h)"
  done
  echo "${first:-native}"
}

# The shell commands that set up the emulation, one a line, for root to run or another
# user to copy.
sw_i386_setup_cmds() {
  local codename suite="" mirror
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  local ver
  ver=$(sw_qemu_version "$SW_QEMU_I386")
  if [ -z "$ver" ] || [ "${ver%%.*}" -lt $SW_QEMU_MIN_MAJOR ]; then
    # Debian 12's own qemu-user is 7.2: take the backported one, from the mirror this
    # machine already uses for its release.
    local cand
    cand=$(apt-cache policy qemu-user 2>/dev/null | sed -n 's/^ *Candidate: \([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p')
    if [ -z "$cand" ] || [ "$cand" -lt $SW_QEMU_MIN_MAJOR ]; then
      suite=$codename-backports
      mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" 'Target-Of: deb' \
        'Identifier: Packages' 2>/dev/null | head -1)
      if [ ! -f /etc/apt/sources.list.d/sichtwerk-backports.sources ]; then
        printf "printf 'Types: deb\\\\nURIs: %s\\\\nSuites: %s\\\\nComponents: main\\\\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\\\\n' >/etc/apt/sources.list.d/sichtwerk-backports.sources\n" \
          "${mirror:-MIRROR}" "$suite"
      fi
    fi
    # A suite whose index the mirror is still syncing fails the update as a whole, yet
    # the backports index is fetched all the same; the install says whether it is there.
    echo "apt-get update -qq || true"
    echo "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${suite:+-t $suite }qemu-user >/dev/null"
  fi
  mountpoint -q "$SW_BINFMT" || echo "mount -t binfmt_misc binfmt_misc $SW_BINFMT"
  # An entry of this name that does not work (its emulator removed, say) is replaced.
  [ -e "$SW_BINFMT/$SW_BINFMT_ENTRY" ] && echo "echo -1 >$SW_BINFMT/$SW_BINFMT_ENTRY"
  # F: the emulator is opened once, now, so that it is found inside any root or
  # namespace; O and C: it runs with the program's own credentials and file.
  echo "printf '%s' ':$SW_BINFMT_ENTRY:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$SW_QEMU_I386:FOC' >$SW_BINFMT/register"
}

# A registered emulator that is too old turns every Wine start into a minute: name it
# and the way to replace it rather than run the tests for an hour.
sw_refuse_slow_i386_handler() {
  local h interp ver
  for h in $(sw_i386_handlers); do
    interp=$(sw_i386_interpreter "$h")
    ver=$(sw_qemu_version "$interp")
    [ -n "$ver" ] && [ "${ver%%.*}" -lt $SW_QEMU_MIN_MAJOR ] || continue
    echo "32-bit programs run under $interp $ver (binfmt_misc entry $h), which takes about a" >&2
    echo "minute for every Wine start. Replace it with qemu-i386 $SW_QEMU_MIN_MAJOR or later; as root:" >&2
    echo "  echo -1 >$SW_BINFMT/$h" >&2
    echo "then run this command again: it sets up a current qemu-i386 where the kernel needs one." >&2
    exit 1
  done
}

sw_ensure_i386() {
  sw_refuse_slow_i386_handler
  if sw_i386_runs; then
    local mode
    mode=$(sw_i386_mode)
    [ "$mode" = native ] || echo "== 32-bit programs run $mode"
    return 0
  fi
  if [ "$(id -u)" != 0 ]; then
    echo "This kernel runs no 32-bit programs ($SW_I386_PROBE: Exec format error), and Wine's" >&2
    echo "loader is one. Set up qemu's user-mode emulation for them; as root:" >&2
    sw_i386_setup_cmds | sed 's/^/  /' >&2
    exit 1
  fi
  echo "== This kernel runs no 32-bit programs: setting up qemu-i386 through binfmt_misc"
  local cmds
  cmds=$(sw_i386_setup_cmds)
  if ! bash -euo pipefail -c "$cmds"; then
    echo "Setting up qemu-i386 failed; the commands were:" >&2
    echo "$cmds" | sed 's/^/  /' >&2
    exit 1
  fi
  if ! sw_i386_runs; then
    echo "32-bit programs still do not run after setting up qemu-i386:" >&2
    "$SW_I386_PROBE" --version 2>&1 | head -3 >&2
    exit 1
  fi
  echo "== Set up: 32-bit programs now run $(sw_i386_mode)"
}
