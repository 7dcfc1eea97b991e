#!/usr/bin/env bash
# Undoes the mounts of setup-drives.sh, so that a test run leaves nothing mounted behind it and its
# build folder can be deleted.
set -uo pipefail
source "$(dirname "$0")/env.sh"
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
for mount_point in "$QUORLIN_BUILD_DIR/drives/readonly" "$QUORLIN_BUILD_DIR/drives/full"; do
  if mountpoint -q "$mount_point"; then as_root umount "$mount_point"; fi
done
