#!/usr/bin/env bash
# The test bed's drives, as a user's machine would have them. D: and E: back the stand-in's volumes,
# F: is a USB stick (removable), G: a CD-ROM, N: a network share, U: a card reader without a card,
# R: a read-only folder holding an earlier key file, S: a nearly full disk.
set -euo pipefail
source "$(dirname "$0")/env.sh"
drives=$QUORLIN_BUILD_DIR/drives
dosdevices=$WINEPREFIX/dosdevices
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

mkdir -p "$drives"/{d,e,f,g,n,readonly.src,readonly,full}
for letter in d e f g n; do ln -sfn "$drives/$letter" "$dosdevices/$letter:"; done
ln -sfn "$drives/no-medium" "$dosdevices/u:"
ln -sfn "$drives/readonly" "$dosdevices/r:"
ln -sfn "$drives/full" "$dosdevices/s:"

# Root ignores permission bits, so read-only means a read-only mount.
if ! mountpoint -q "$drives/readonly"; then
  printf 'earlier key file\r\n' > "$drives/readonly.src/BitLocker恢复密钥R盘.txt"
  as_root mount --bind "$drives/readonly.src" "$drives/readonly"
  as_root mount -o remount,bind,ro "$drives/readonly"
fi
# A small disk that a key file no longer fits on.
if ! mountpoint -q "$drives/full"; then
  as_root mount -t tmpfs -o size=64k tmpfs "$drives/full"
  head -c 60000 /dev/zero > "$drives/full/filler.bin" 2>/dev/null || true
  while head -c 512 /dev/zero >> "$drives/full/filler.bin" 2>/dev/null; do :; done
  truncate -s -256 "$drives/full/filler.bin"
fi

# Drive types live in the 64-bit registry view, which the mount manager reads.
for entry in f:floppy g:cdrom n:network u:floppy; do
  wine reg add 'HKLM\Software\Wine\Drives' /v "${entry%%:*}:" /d "${entry#*:}" /f /reg:64 >/dev/null 2>&1
done
