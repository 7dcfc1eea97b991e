#!/usr/bin/env bash
# Renders the skinned windows (message prompt of each kind, progress prompt, the four choosers with
# rows, a selection, ticks and their warnings, the usage agreement viewer with its skinned scroll bar,
# the problem-solved survey, the real program's main window, about box and start-up prompts) into
# screenshots/<dpi>/*.png at 96, 120 and 144 DPI, on a display of its own when none is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QUORLIN_BUILD_DIR=${QUORLIN_BUILD_DIR:-$root/build}
if [ ! -f "$QUORLIN_BUILD_DIR/testbin/quorlin_ui_screens.exe" ]; then
  "$root/scripts/build.sh"
else
  cmake --build "$QUORLIN_BUILD_DIR" -j 2 --target quorlin_ui_screens >/dev/null
fi
source "$root/tests/testbed/env.sh"
source "$root/tests/testbed/display.sh"
trap testbed_stop EXIT
testbed_start_display
"$root/tests/testbed/setup-prefix.sh"

status=0
for dpi in 96 120 144; do
  out=$root/screenshots/$dpi
  mkdir -p "$out"
  QUORLIN_DPI=$dpi "$root/tests/testbed/wine-run.sh" "$QUORLIN_BUILD_DIR/testbin/quorlin_ui_screens.exe" \
    "$(winepath -w "$out" 2>/dev/null)" || status=$?
done
exit $status
