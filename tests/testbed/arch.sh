# Sourced by the build and the test bed: the Windows architecture to build for. The program ships as
# a 32-bit program, which Wine runs with its 32-bit loader, itself a 32-bit Linux program. On a
# machine whose kernel runs no 32-bit Linux programs, the build and the tests are of the 64-bit
# program instead; what the tests check holds for both (the 32-bit-only facts, such as WOW64's
# file-system redirection, are checked where they apply).
if [ -z "${QUORLIN_ARCH:-}" ]; then
  QUORLIN_ARCH=i686
  if [ -e /usr/lib/wine/wine64 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QUORLIN_ARCH=x86_64
  fi
fi
export QUORLIN_ARCH
