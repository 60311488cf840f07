#!/usr/bin/env bash
# Builds the release: dist/Sichtwerk.exe (stripped, signed when a certificate is given),
# dist/LIESMICH.txt (the guide for the practice staff) and dist/SHA256SUMS over both, from a fresh build tree over a clean export of one commit
# (uncommitted changes never reach a release).
#
#   tools/release.sh [-DSW_MAIL_ALBIS=... other CMake cache settings]
#
# Environment:
#   SW_RELEASE_REF     commit to build (default HEAD)
#   SW_RELEASE_BUILD   work folder (default build/release; removed first)
#   SW_RELEASE_DIST    output folder (default dist)
#   SW_SIGN_CERT + SW_SIGN_KEY [+ SW_SIGN_PASS]   PEM certificate chain and key, or
#   SW_SIGN_PKCS12 [+ SW_SIGN_PASS]               a PKCS#12 file: sign with Authenticode
#   SW_SIGN_TIMESTAMP  optional RFC 3161 time-stamp server URL
#
# Two runs from the same commit give byte-identical unsigned files: the linker writes
# no time stamp, windres none either, and source and build paths are mapped away.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
ref=${SW_RELEASE_REF:-HEAD}
work=${SW_RELEASE_BUILD:-build/release}
dist=${SW_RELEASE_DIST:-dist}
case "$work" in /*) ;; *) work="$repo/$work" ;; esac
case "$dist" in /*) ;; *) dist="$repo/$dist" ;; esac

rm -rf "$work"
mkdir -p "$work/src" "$dist"
src="$work/src"
build="$work/tree"
commit=$(git rev-parse --verify "$ref^{commit}")
git archive "$commit" | tar -x -C "$src"
# Paths of the source and build trees must not reach the binary (assert texts,
# __FILE__, debug info), or builds in different folders would differ.
maps="-ffile-prefix-map=$src=. -ffile-prefix-map=$build=."
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_C_FLAGS=$maps" "-DCMAKE_CXX_FLAGS=$maps" -DCMAKE_EXE_LINKER_FLAGS=-s "$@" >/dev/null
cmake --build "$build" -j2 --target Sichtwerk >/dev/null

exe="$dist/Sichtwerk.exe"
rm -f "$exe" "$dist/LIESMICH.txt" "$dist/SHA256SUMS"
# Stripped by the linker (-s): strip and objcopy would write the current time into
# the PE header.
cp "$build/bin/Sichtwerk.exe" "$exe.unsigned"

pass_args=()
[ -n "${SW_SIGN_PASS:-}" ] && pass_args=(-pass "$SW_SIGN_PASS")
ts_args=()
[ -n "${SW_SIGN_TIMESTAMP:-}" ] && ts_args=(-ts "$SW_SIGN_TIMESTAMP")
if [ -n "${SW_SIGN_PKCS12:-}" ]; then
  osslsigncode sign -pkcs12 "$SW_SIGN_PKCS12" "${pass_args[@]}" "${ts_args[@]}" -h sha256 \
    -n "Sichtwerk" -in "$exe.unsigned" -out "$exe" >/dev/null
  rm -f "$exe.unsigned"
elif [ -n "${SW_SIGN_CERT:-}" ] || [ -n "${SW_SIGN_KEY:-}" ]; then
  if [ -z "${SW_SIGN_CERT:-}" ] || [ -z "${SW_SIGN_KEY:-}" ]; then
    echo "release: SW_SIGN_CERT and SW_SIGN_KEY go together" >&2
    exit 2
  fi
  osslsigncode sign -certs "$SW_SIGN_CERT" -key "$SW_SIGN_KEY" "${pass_args[@]}" "${ts_args[@]}" -h sha256 \
    -n "Sichtwerk" -in "$exe.unsigned" -out "$exe" >/dev/null
  rm -f "$exe.unsigned"
else
  mv "$exe.unsigned" "$exe"
fi

cp "$src/docs/LIESMICH.txt" "$dist/LIESMICH.txt"
(cd "$dist" && sha256sum Sichtwerk.exe LIESMICH.txt >SHA256SUMS)
echo "release: $exe from $commit"
cat "$dist/SHA256SUMS"
