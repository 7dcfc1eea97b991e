#!/usr/bin/env bash
# Builds the shipped 32-bit program afresh in build/package and packs what a user downloads:
# dist/Quorlin-<version>-win32.zip with Quorlin.exe, KorvaneFeedbackInformation.dll, their SHA256SUMS
# and README.txt (res/package/README.txt, made for Notepad: UTF-8 with a byte-order mark, CR LF).
# The same commit gives the same bytes in any folder (tests/release/reproducible.sh checks it): the
# files in the zip carry the commit's time (or SOURCE_DATE_EPOCH), fixed modes and a fixed order.
# QUORLIN_PACKAGE_BUILD_DIR and QUORLIN_DIST_DIR choose other folders.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORLIN_PACKAGE_BUILD_DIR:-$root/build/package}
dist=${QUORLIN_DIST_DIR:-$root/dist}
"$root/scripts/deps.sh"

source "$root/tests/testbed/arch.sh"
if [ "$QUORLIN_ARCH" != i686 ]; then
  echo "note: this machine cannot run 32-bit programs under Wine: it builds the 32-bit package and checks" \
       "its bytes, but the tests here ran the 64-bit build, not these files" >&2
fi
version=$(sed -n 's/^#define QUORLIN_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$root/res/Version.h" | paste -sd.)
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target Quorlin korvane_feedback

stage=$build/stage
files=(Quorlin.exe KorvaneFeedbackInformation.dll)
mkdir -p "$stage" "$dist"
for f in "${files[@]}"; do cp "$build/dist/$f" "$stage/"; done
(cd "$stage" && sha256sum "${files[@]}" >SHA256SUMS)
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/res/package/README.txt"; } >"$stage/README.txt"
entries=("${files[@]}" README.txt SHA256SUMS)
(cd "$stage" && chmod 644 "${entries[@]}" && TZ=UTC touch -d "@$epoch" "${entries[@]}")

zip=$dist/Quorlin-$version-win32.zip
rm -f "$zip"
# -X: no owner or extra time fields, -D: no folder entries; zip writes the local time, hence UTC.
(cd "$stage" && TZ=UTC zip -q -X -D "$zip" "${entries[@]}")
cat "$stage/SHA256SUMS"
sha256sum "$zip"
