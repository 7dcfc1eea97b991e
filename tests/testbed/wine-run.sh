#!/usr/bin/env bash
# Runs one Windows program in the test bed; ctest uses it as the cross-compiling emulator.
source "$(dirname "$0")/env.sh"
exec wine "$@"
