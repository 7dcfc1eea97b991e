#!/usr/bin/env bash
# Builds the release package twice, in two folders and the second time from a copy of the sources at
# another path, and checks that both give the same bytes: the program, the component and the zip.
# Without the compiler cache: it would hand the second build the first one's objects and hide a
# difference between two compilations.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CCACHE_DISABLE=1
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

copy=$work/second/a-copy-of-the-sources
mkdir -p "$copy"
(cd "$root" && git ls-files -z -co --exclude-standard | tar --null -T - -cf -) | tar -C "$copy" -xf -
QUORLIN_PACKAGE_BUILD_DIR=$work/first/build QUORLIN_DIST_DIR=$work/first/dist \
  "$root/scripts/package.sh" >/dev/null
QUORLIN_PACKAGE_BUILD_DIR=$work/second/another-build QUORLIN_DIST_DIR=$work/second/dist \
  "$copy/scripts/package.sh" >/dev/null

status=0
for f in dist/Quorlin.exe dist/KorvaneFeedbackInformation.dll; do
  cmp "$work/first/build/$f" "$work/second/another-build/$f" || status=1
done
for zip in "$work"/first/dist/*.zip; do
  cmp "$zip" "$work/second/dist/$(basename "$zip")" || status=1
  sha256sum "$zip" "$work/second/dist/$(basename "$zip")"
done
[ $status -eq 0 ] && echo "reproducible: both builds gave the same bytes" || echo "NOT reproducible" >&2
exit $status
