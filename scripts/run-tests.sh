#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the Windows tests under Wine
# (on Xvfb when there is no display) and the portable code natively under the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/tests/testbed/env.sh"
"$root/tests/testbed/setup-prefix.sh"

xvfb_pid=
cleanup() {
  for dpi in 96 $QUORLIN_DPI_BEDS; do WINEPREFIX=$(testbed_prefix "$dpi") wineserver -k 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display=:$(( 90 + RANDOM % 100 ))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
# One wineserver for the whole run, so that each test does not pay for its start-up.
wine cmd /c exit 0 >/dev/null 2>&1 || true

status=0
ctest --test-dir "$QUORLIN_BUILD_DIR" --output-on-failure -j "${QUORLIN_TEST_JOBS:-2}" || status=$?
"$root/tests/native/run.sh" || status=$?
exit $status
