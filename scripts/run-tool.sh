#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the test bed's default machine
# (a window on the current display, or on a fresh Xvfb when there is none). Set QUORLIN_BDE_STATE
# to a state file to simulate another machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/tests/testbed/env.sh"
exe=$QUORLIN_BUILD_DIR/dist/Quorlin.exe
if [ ! -f "$exe" ]; then
  echo "The main window is not built yet, so there is no Quorlin.exe to run;" >&2
  echo "scripts/run-tests.sh runs everything that exists, scripts/screenshots.sh shows its windows." >&2
  exit 1
fi
source "$root/tests/testbed/display.sh"
trap testbed_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  testbed_start_display 300
  echo "no display: the tool runs on Xvfb $DISPLAY (take screenshots with 'xwd -root -display $DISPLAY')"
fi
"$root/tests/testbed/setup-prefix.sh"
# The program removes its own folder when closed: run a copy.
run_dir=$(mktemp -d)/Quorlin
cp -r "$QUORLIN_BUILD_DIR/dist" "$run_dir"
wine "$run_dir/Quorlin.exe"
