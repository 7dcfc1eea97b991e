#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the Windows tests under Wine
# (on Xvfb when there is no display), the portable code natively under the sanitizers, and the
# release package built twice to compare its bytes. With arguments, runs only the Windows tests that
# ctest chooses with them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
# Which program the figures are of, said before the build and again in the last lines of the log.
# The choice needs Wine's loaders, which deps.sh installs.
source "$root/tests/testbed/arch.sh"
if [ "$QUORLIN_ARCH" = i686 ]; then
  tested="the shipped 32-bit build"
else
  tested="the 64-bit build: this machine cannot run the shipped 32-bit build"
fi
echo "testing $tested"
"$root/scripts/build.sh"
source "$root/tests/testbed/env.sh"
source "$root/tests/testbed/display.sh"

cleanup() {
  testbed_stop
  "$root/tests/testbed/teardown-drives.sh"
  echo "tested $tested"
}
trap cleanup EXIT
testbed_start_display
"$root/tests/testbed/setup-prefix.sh"
# One wineserver for the whole run, so that each test does not pay for its start-up.
wine cmd /c exit 0 >/dev/null 2>&1 || true

# Arguments choose and repeat Windows tests (scripts/run-tests.sh -L ui --repeat until-fail:10):
# ctest runs with them, and nothing else runs.
if [ $# -gt 0 ]; then
  ctest --test-dir "$QUORLIN_BUILD_DIR" --output-on-failure -j "${QUORLIN_TEST_JOBS:-2}" "$@"
  exit $?
fi

status=0
ctest --test-dir "$QUORLIN_BUILD_DIR" --output-on-failure -j "${QUORLIN_TEST_JOBS:-2}" || status=$?
"$root/tests/native/run.sh" || status=$?
"$root/tests/release/reproducible.sh" || status=$?
exit $status
