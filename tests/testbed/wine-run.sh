#!/usr/bin/env bash
# Runs one Windows program in the test bed; ctest uses it as the cross-compiling emulator.
# A test registered with ENVIRONMENT QUORLIN_DPI=120 (or 144) runs in the bed for that resolution.
source "$(dirname "$0")/env.sh"
WINEPREFIX=$(testbed_prefix "${QUORLIN_DPI:-}")
export WINEPREFIX
if [ ! -f "$WINEPREFIX/.quorlin-ready" ]; then
  echo "wine-run.sh: no test bed at $WINEPREFIX (QUORLIN_DPI=${QUORLIN_DPI:-96}); run tests/testbed/setup-prefix.sh" >&2
  exit 2
fi
exec wine "$@"
