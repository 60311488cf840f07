#!/usr/bin/env bash
# Builds Sichtwerk and runs every test: the portable core natively (plain and under
# AddressSanitizer/UBSan), short fuzz runs, and the Windows suites under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
sw_install_deps test
jobs=$(nproc)

step() { echo; echo "== $*"; }

step "Host tree: portable core"
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/host -j"$jobs"
ctest --test-dir build/host --output-on-failure -j"$jobs"

step "Host tree under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/host-asan -DCMAKE_BUILD_TYPE=Debug -DSW_SANITIZE=ON >/dev/null
cmake --build build/host-asan -j"$jobs"
ctest --test-dir build/host-asan --output-on-failure -j"$jobs"

if [ -f tests/fuzz/CMakeLists.txt ]; then
  step "Fuzz targets, short runs"
  CC=clang CXX=clang++ cmake -S tests/fuzz -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/fuzz -j"$jobs"
  ctest --test-dir build/fuzz --output-on-failure
fi

step "Windows tree: Sichtwerk.exe and the Wine suites"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$jobs"
ctest --test-dir build/win --output-on-failure -j"$jobs"
