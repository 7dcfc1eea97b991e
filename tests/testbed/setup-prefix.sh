#!/usr/bin/env bash
# Creates (once) and refreshes the test bed's Wine prefix: Windows 10, code page 936, a CJK font
# for "宋体", Marlett for the title bars' buttons, and the stand-ins for manage-bde and timeout in both system folders, so that
# "cmd /C manage-bde ..." finds them with and without WOW64 file-system redirection.
# Then one clone of it per extra logical resolution in QUORLIN_DPI_BEDS.
set -euo pipefail
source "$(dirname "$0")/env.sh"
testbin=$QUORLIN_BUILD_DIR/testbin
# Written into the ready marker: a bed made by an older version of this script is made again.
bed_version=4
marker=$WINEPREFIX/.quorlin-ready

if [ "$(cat "$marker" 2>/dev/null)" != "$bed_version" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  wine winecfg /v win10 >/dev/null 2>&1
  # Wine draws the buttons of a system dialog's title bar with Marlett. This Wine does not read the
  # folder where fonts-wine puts it: the prefix's own fonts folder holds it, as on Windows.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  reg_file=$(mktemp --suffix=.reg)
  # "宋体" and its aliases render with a CJK font that Debian ships.
  cat > "$reg_file" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"新宋体"="WenQuanYi Micro Hei"
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

; Xvfb has no window manager: Wine then draws every frame itself, as Windows does, instead of
; leaving captions to a manager that is not there and waiting 2 s for it on each hide.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
  wine regedit /S "$(winepath -w "$reg_file")" >/dev/null 2>&1
  wineserver -w
  rm -f "$reg_file"
  echo "$bed_version" > "$marker"
fi

# The drives are part of the machine every bed copies.
"$(dirname "$0")/setup-drives.sh"

# The clones for other logical resolutions: made once from the quiet base prefix, and again when
# the base is newer. Wine 8 takes the screen's LOGPIXELSY from HKCU\Control Panel\Desktop
# LogPixels alone; the Fonts keys are not needed.
for dpi in $QUORLIN_DPI_BEDS; do
  bed=$(testbed_prefix "$dpi")
  if [ ! -f "$bed/.quorlin-ready" ] || [ "$bed/.quorlin-ready" -ot "$marker" ]; then
    wineserver -w
    WINEPREFIX=$bed wineserver -k 2>/dev/null || true
    rm -rf "$bed"
    cp -a "$WINEPREFIX" "$bed"
    rm -f "$bed/.quorlin-ready"
    WINEPREFIX=$bed wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    WINEPREFIX=$bed wineserver -w
    cp -p "$marker" "$bed/.quorlin-ready"
  fi
done

for prefix in "$WINEPREFIX" $(for dpi in $QUORLIN_DPI_BEDS; do testbed_prefix "$dpi"; done); do
  # The profile's Desktop, Documents, Downloads and the like are folders of their own, as on Windows:
  # Wine links them into the Unix home, where a test that puts files into them must never reach.
  for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
  for dir in system32 syswow64; do
    for exe in manage-bde.exe timeout.exe; do
      if [ -f "$testbin/$exe" ]; then
        cp -f "$testbin/$exe" "$prefix/drive_c/windows/$dir/$exe"
      fi
    done
  done
done

# Let the server that the set-up started go: windows of a later run must not land on a desktop that
# was started without a display.
wineserver -w
