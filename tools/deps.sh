# Sourced by tools/run.sh and tools/test.sh: makes sure the Debian packages are there.
# As root it installs what is missing; otherwise it prints the exact command and stops.

SW_PKGS_BUILD="locales cmake make g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686 librsvg2-bin icoutils"
SW_PKGS_WINE="wine wine32:i386 wine64 xvfb xauth imagemagick"
SW_PKGS_TEST="clang libclang-rt-14-dev cups cups-bsd printer-driver-cups-pdf libcups2:i386 poppler-utils osslsigncode openssl"

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
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $pkgs >/dev/null
}
