#!/usr/bin/env bash
# Builds the 64-bit saver and runs it full screen under Wine. With a display
# ($DISPLAY) it runs there until you press a key or move the mouse. Without
# one it runs on a virtual 1920x1080 screen for a few seconds, saves
# screenshots and prints their paths.
#
#   bash scripts/run.sh                          the default content (the banner)
#   bash scripts/run.sh ~/Pictures/photo.jpg     a picture, movie, folder or shortcut
#   bash scripts/run.sh ~/Pictures --turn        ... turning in 2D and 3D
#   bash scripts/run.sh --text 'Hello\nWorld'    a text ('' for the clock)
# More: --layout F|C|B|S (full screen, centred, bounce, stretched), --no-fade.
set -euo pipefail
cd "$(dirname "$0")/.."

settings=()
while [ $# -gt 0 ]; do
  case "$1" in
    --turn) settings+=(Rotation2D=1 Rotation3D=1) ;;
    --no-fade) settings+=(Fade=0) ;;
    --layout) shift; settings+=("ScreenMode=${1:?--layout takes F, C, B or S}") ;;
    --text) shift; settings+=(Mode=T "Text=${1?--text takes a text}") ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) [ -e "$1" ] || { echo "no such file or folder: $1" >&2; exit 1; }
       settings+=("File=Z:$(realpath "$1" | tr / '\\')") ;;
  esac
  shift
done

bash scripts/setup.sh
build=${SAVER_BUILD_DIR:-build}/run
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target VelorinScreenSaver
scr=$(pwd)/$build/VelorinScreenSaver.scr

# The settings go into section [VelorinScreenSaver] of the file the 64-bit
# saver reads them from (the prefix's win.ini names no data folder), under
# the user's application data, replacing the section of an earlier run.
write_settings() {
  python3 - "$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/VelorinScreenSaver/VelorinTools.ini" <<'PY'
import os, sys
path, values = sys.argv[1], os.environ["SAVER_SETTINGS"].splitlines()
os.makedirs(os.path.dirname(path), exist_ok=True)
kept, skipping = [], False
if os.path.exists(path):
    for line in open(path, encoding="latin-1").read().splitlines():
        if line.strip().startswith("["):
            skipping = line.strip().lower() == "[velorinscreensaver]"
        if not skipping:
            kept.append(line)
kept += ["[VelorinScreenSaver]"] + values
open(path, "w", encoding="latin-1", newline="\r\n").write("\n".join(kept) + "\n")
PY
}

export SAVER_SETTINGS
SAVER_SETTINGS=$(printf '%s\n' ${settings[@]+"${settings[@]}"})
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # A Wine prefix of the project's own, so yours is never touched.
  export WINEPREFIX=$(pwd)/build/wineprefix
  if [ ! -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
  fi
  /usr/lib/wine/wineserver -w
  write_settings
  exec /usr/lib/wine/wine64 "$scr" /s
fi

shots=$(pwd)/screenshots
mkdir -p "$shots"
export SAVER_SCR=$scr SAVER_SHOTS=$shots
export -f write_settings
bash scripts/wine-session.sh bash -c '
  write_settings
  /usr/lib/wine/wine64 "$SAVER_SCR" /s &
  saver=$!
  for n in 1 2 3; do
    sleep 1.5
    import -window root "$SAVER_SHOTS/saver-$n.png"
    echo "screenshot: $SAVER_SHOTS/saver-$n.png"
  done
  xdotool key Escape
  wait $saver
'
