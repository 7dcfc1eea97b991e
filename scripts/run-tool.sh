#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the test bed's default machine
# (a window on the current display, or on a fresh Xvfb when there is none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/tests/testbed/env.sh"
"$root/tests/testbed/setup-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "no display: starting Xvfb on :77 (take screenshots with 'xwd -root -display :77')"
  Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:77
  sleep 1
fi
exe=$QUORLIN_BUILD_DIR/dist/Quorlin.exe
if [ ! -f "$exe" ]; then
  echo "The main window is not built yet; run scripts/run-tests.sh for what exists." >&2
  exit 1
fi
# The program removes its own folder when closed: run a copy.
run_dir=$(mktemp -d)/Quorlin
cp -r "$QUORLIN_BUILD_DIR/dist" "$run_dir"
wine "$run_dir/Quorlin.exe"
