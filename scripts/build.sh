#!/usr/bin/env bash
# Cross-compiles the program, its stand-ins and its tests into build/ (the shippable files in build/dist):
# for 32-bit Windows, or for 64-bit Windows on a machine that cannot run Wine's 32-bit loader
# (tests/testbed/arch.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORLIN_BUILD_DIR:-$root/build}
source "$root/tests/testbed/arch.sh"
toolchain=$root/cmake/mingw-$QUORLIN_ARCH.cmake
# A build folder configured for the other architecture, or before its toolchain files last changed
# (CMake reads their flags only when it configures a folder for the first time), starts afresh.
cache=$build/CMakeCache.txt
if [ -f "$cache" ] && { ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain\$" "$cache" ||
  [ "$toolchain" -nt "$cache" ] || [ "$root/cmake/mingw-common.cmake" -nt "$cache" ]; }; then
  rm -rf "$cache" "$build/CMakeFiles"
fi
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=${QUORLIN_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j "$(nproc)"
