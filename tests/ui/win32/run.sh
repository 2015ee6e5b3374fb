#!/usr/bin/env bash
# Runs the Windows settings window's UI test programs under Wine on a
# virtual X display, each in a fresh program folder, once per code page
# (1252 and 936), and turns the pictures they take into PNGs.
# Usage: run.sh BUILD_DIR/win32 SHOT_DIR      (WINEPREFIX must be set)
set -euo pipefail
win="$1"
shots="$2"
mkdir -p "$shots"
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=77
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A Wine session started without a display (the console tests before this)
# keeps its display-less desktop for every later program of the session,
# which then cannot create a window: end it, so this one starts afresh.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Without a window manager Wine draws the frames itself, and the dialog
# fonts are mapped to a font with Chinese glyphs. Wine resets the dialog
# font's substitute when the code page changes, so this goes before each run.
printf '%s\r\n' 'REGEDIT4' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '"Managed"="N"' '' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"MS Shell Dlg"="WenQuanYi Micro Hei"' '"MS Shell Dlg 2"="WenQuanYi Micro Hei"' \
  '"SimSun"="WenQuanYi Micro Hei"' >"$work/ui.reg"
# "宋体" (the pages' font) as UTF-16 for regedit.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<<"$(printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"宋体"="WenQuanYi Micro Hei"')"; } >"$work/ui_cjk.reg"

status=0
for run in "C.UTF-8 1252" "zh_CN.UTF-8 936"; do
  set -- $run
  locale=$1 acp=$2
  mkdir -p "$work/$acp"
  export LANG="$locale" LC_ALL="$locale"
  wine regedit /S "$(winepath -w "$work/ui.reg")" </dev/null >/dev/null 2>&1 || true
  wine regedit /S "$(winepath -w "$work/ui_cjk.reg")" </dev/null >/dev/null 2>&1 || true
  # Each test program starts in a program folder of its own.
  for program in "$win"/tests/vellora_win32_*_ui_test.exe; do
    name=$(basename "$program" .exe)
    # VELLORA_UI_ONLY=sheet runs only the programs whose name holds it.
    [[ "$name" == *"${VELLORA_UI_ONLY:-}"* ]] || continue
    folder="$work/$acp/$name"
    mkdir -p "$folder"
    cp "$program" "$folder/"
    cp "$win"/*.txt "$win"/*.html "$folder/" 2>/dev/null || true
    echo "--- $name, code page $acp"
    (cd "$folder" && timeout 180 wine "./$name.exe" "cp${acp}_" </dev/null) || status=1
  done
  for bmp in "$work/$acp"/*/"cp${acp}_"*.bmp; do
    [ -e "$bmp" ] || continue
    /usr/bin/convert "$bmp" "$shots/$(basename "${bmp%.bmp}").png"
  done
done
ls "$shots"
exit $status
