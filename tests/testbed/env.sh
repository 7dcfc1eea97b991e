# Sourced by every script that runs something in the test bed: the project's own Wine prefix,
# a 64-bit Windows 10 in Chinese (Simplified), never the user's ~/.wine.
testbed_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export QUORLIN_BUILD_DIR=${QUORLIN_BUILD_DIR:-$testbed_root/build}
source "$testbed_root/tests/testbed/arch.sh"
# Without 32-bit Linux programs Wine's 32-bit loader cannot start: every wine command goes to the
# 64-bit loader, which runs the 64-bit build of the program and its tests.
if [ "$QUORLIN_ARCH" = x86_64 ]; then
  wrappers=$QUORLIN_BUILD_DIR/wine64-only
  if [ ! -x "$wrappers/wine-stable" ]; then
    mkdir -p "$wrappers"
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' > "$wrappers/$name"
      chmod +x "$wrappers/$name"
    done
  fi
  case ":$PATH:" in *":$wrappers:"*) ;; *) export PATH=$wrappers:$PATH ;; esac
fi
export WINEPREFIX=${QUORLIN_WINEPREFIX:-$QUORLIN_BUILD_DIR/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The Unix locale gives Wine its ANSI and OEM code pages: 936 for zh_CN.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
unset LANGUAGE
# Logical resolutions (LOGPIXELSY) with a test bed of their own: a clone of the base prefix, so
# that a test at another resolution never disturbs the tests that run beside it at 96.
export QUORLIN_DPI_BEDS="120 144 150"
# The prefix of the test bed for a logical resolution; the base prefix for 96 or none.
testbed_prefix() {
  if [ -z "${1:-}" ] || [ "$1" = 96 ]; then echo "$WINEPREFIX"; else echo "$WINEPREFIX-dpi$1"; fi
}
