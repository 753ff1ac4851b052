#!/usr/bin/env bash
# Builds the 64-bit saver and runs it full screen under Wine on its default
# content. With a display ($DISPLAY) it runs there until you press a key or
# move the mouse. Without one it runs on a virtual 1920x1080 screen for a few
# seconds, saves screenshots and prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=${SAVER_BUILD_DIR:-build}/run
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target VelorinScreenSaver
scr=$(pwd)/$build/VelorinScreenSaver.scr

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # A Wine prefix of the project's own, so yours is never touched.
  export WINEPREFIX=$(pwd)/build/wineprefix
  if [ ! -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
  fi
  exec /usr/lib/wine/wine64 "$scr" /s
fi

shots=$(pwd)/screenshots
mkdir -p "$shots"
export SAVER_SCR=$scr SAVER_SHOTS=$shots
bash scripts/wine-session.sh bash -c '
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
