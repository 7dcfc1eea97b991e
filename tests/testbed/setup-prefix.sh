#!/usr/bin/env bash
# Creates (once) and refreshes the test bed's Wine prefix: Windows 10, code page 936, a CJK font
# for "宋体", and the stand-ins for manage-bde and timeout in both system folders, so that
# "cmd /C manage-bde ..." finds them with and without WOW64 file-system redirection.
set -euo pipefail
source "$(dirname "$0")/env.sh"
testbin=$QUORLIN_BUILD_DIR/testbin

if [ ! -f "$WINEPREFIX/.quorlin-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  wine winecfg /v win10 >/dev/null 2>&1
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

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
  wine regedit /S "$(winepath -w "$reg_file")" >/dev/null 2>&1
  wineserver -w
  rm -f "$reg_file"
  touch "$WINEPREFIX/.quorlin-ready"
fi

for dir in system32 syswow64; do
  for exe in manage-bde.exe timeout.exe; do
    if [ -f "$testbin/$exe" ]; then
      cp -f "$testbin/$exe" "$WINEPREFIX/drive_c/windows/$dir/$exe"
    fi
  done
done

"$(dirname "$0")/setup-drives.sh"
