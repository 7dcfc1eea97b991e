#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the test bed's default machine. With a
# display the window shows there and the user drives it. Without one the program runs on a fresh
# Xvfb: the run waits for the detection, saves a picture of the main window into screenshots/,
# prints the manage-bde commands and the outcome, and closes the program as a user does. Set
# QUORLIN_BDE_STATE to a state file to simulate another machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/tests/testbed/env.sh"
source "$root/tests/testbed/display.sh"
trap testbed_stop EXIT
headless=
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  testbed_start_display
fi
"$root/tests/testbed/setup-prefix.sh"

# The program removes the folder it runs from when it is closed: it runs from a copy in the
# user's Downloads folder, where users usually start it.
downloads=$(wine cmd /c 'echo %USERPROFILE%\Downloads' 2>/dev/null | tr -d '\r')
folder="$downloads\\Quorlin-$(date +%s)"
if [ -z "$headless" ]; then
  unix_folder=$(wine winepath -u "$folder" 2>/dev/null)
  mkdir -p "$unix_folder"
  cp "$QUORLIN_BUILD_DIR"/dist/* "$unix_folder/"
  echo "running $folder\\Quorlin.exe on $DISPLAY"
  wine "$unix_folder/Quorlin.exe"
  exit 0
fi

mkdir -p "$root/screenshots"
picture=$root/screenshots/main-window-run.png
rm -f "$picture"
echo "no display: the tool runs on Xvfb $DISPLAY"
status=0
wine "$QUORLIN_BUILD_DIR/testbin/quorlin_run_watch.exe" "$folder" "$(wine winepath -w "$picture" 2>/dev/null | tr -d '\r')" ||
  status=$?
if [ -f "$picture" ]; then echo "picture: $picture"; fi
exit $status
