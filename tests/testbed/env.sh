# Sourced by every script that runs something in the test bed: the project's own Wine prefix,
# a 64-bit Windows 10 in Chinese (Simplified), never the user's ~/.wine.
testbed_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export QUORLIN_BUILD_DIR=${QUORLIN_BUILD_DIR:-$testbed_root/build}
export WINEPREFIX=${QUORLIN_WINEPREFIX:-$QUORLIN_BUILD_DIR/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The Unix locale gives Wine its ANSI and OEM code pages: 936 for zh_CN.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
unset LANGUAGE
