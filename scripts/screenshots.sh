#!/usr/bin/env bash
# Renders the skinned dialogs (message prompt of each kind, progress prompt) into
# screenshots/<dpi>/*.png at 96 and 144 DPI, on a display of its own when none is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QUORLIN_BUILD_DIR=${QUORLIN_BUILD_DIR:-$root/build}
if [ ! -f "$QUORLIN_BUILD_DIR/testbin/quorlin_ui_screens.exe" ]; then
  "$root/scripts/build.sh"
else
  cmake --build "$QUORLIN_BUILD_DIR" -j 2 --target quorlin_ui_screens >/dev/null
fi
source "$root/tests/testbed/env.sh"
"$root/tests/testbed/setup-prefix.sh"

xvfb_pid=
cleanup() {
  for dpi in 96 144; do WINEPREFIX=$(testbed_prefix "$dpi") wineserver -k 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display=:$(( 200 + RANDOM % 100 ))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

status=0
for dpi in 96 144; do
  out=$root/screenshots/$dpi
  mkdir -p "$out"
  QUORLIN_DPI=$dpi "$root/tests/testbed/wine-run.sh" "$QUORLIN_BUILD_DIR/testbin/quorlin_ui_screens.exe" \
    "$(winepath -w "$out" 2>/dev/null)" || status=$?
done
exit $status
