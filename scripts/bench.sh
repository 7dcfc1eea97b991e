#!/usr/bin/env bash
# Prints the program's figures on the test bed's default machine (not a test: nothing fails on a slow
# machine): launch to the end of the detection against what the detection needs anyway, private
# memory after it, CPU while idle beside a bare window's, and the size of what a user copies (build/dist).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" >/dev/null
source "$root/tests/testbed/env.sh"
source "$root/tests/testbed/display.sh"
trap testbed_stop EXIT
testbed_start_display
"$root/tests/testbed/setup-prefix.sh"
wine cmd /c exit 0 >/dev/null 2>&1 || true
folder=$(wine cmd /c 'echo %TEMP%\quorlin-bench' 2>/dev/null | tr -d '\r')
wine "$QUORLIN_BUILD_DIR/testbin/quorlin_bench.exe" "$folder" "${1:-3}"
echo "shipped folder (build/dist): $(du -cb "$QUORLIN_BUILD_DIR"/dist/* | tail -1 | cut -f1) bytes (target under 3 MB)"
