# Sourced by tools/run.sh and tools/test.sh: makes sure the Debian packages are there.
# As root it installs what is missing; otherwise it prints the exact command and stops.

SW_PKGS_BUILD="cmake make g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686"
SW_PKGS_WINE="wine wine32:i386 wine64 xvfb xauth imagemagick"
SW_PKGS_TEST="clang libclang-rt-14-dev cups cups-bsd printer-driver-cups-pdf libcups2:i386 poppler-utils osslsigncode openssl"

sw_missing_pkgs() {
  local p missing=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  echo "$missing"
}

# sw_install_deps run|test
sw_install_deps() {
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
