#!/usr/bin/env bash
# Measures the saver's CPU use under Wine: CPU seconds per wall-clock second
# of the .scr process over 10 seconds, for a few kinds of content (pictures
# and the clock) on a 1920 x 1080 virtual screen. Run inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh bash scripts/measure-cpu.sh build/win64/VelorinScreenSaver.scr
set -euo pipefail
scr=$(realpath "$1")
seconds=${SAVER_MEASURE_SECONDS:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 640x480 gradient:red-blue -fill lime -draw "rectangle 200,150 440,330" "BMP3:$work/picture.bmp"
picture="Z:$(echo "$work/picture.bmp" | tr / '\\')"
ini=$WINEPREFIX/drive_c/windows/win.ini
ticks=$(getconf CLK_TCK)

# The saver of this session (the process name is cut to 15 characters; other
# sessions may run savers of their own, in other prefixes).
saver_pid() {
  local pid
  for pid in $(pgrep -x VelorinScreenSa); do
    if { tr '\0' '\n' < "/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null; then
      echo "$pid"
      return
    fi
  done
}

measure() {
  local name=$1; shift
  # The session's prefix is a throw-away one: its win.ini holds just this.
  printf '[VelorinScreenSaver]\r\n' > "$ini"
  for setting in "$@"; do printf '%s\r\n' "$setting" >> "$ini"; done
  xdotool mousemove 10 10
  /usr/lib/wine/wine64 "$scr" /s &
  sleep 3
  local pid
  pid=$(saver_pid)
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$seconds"
  after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  xdotool key Escape
  wait
  awk -v n="$name" -v a="$after" -v b="$before" -v t="$ticks" -v s="$seconds" \
    'BEGIN { printf "%-40s %.3f CPU s per s\n", n, (a - b) / t / s }'
}

measure "still picture, centred" "File=$picture" ScreenMode=C Fade=1
measure "still picture, bouncing" "File=$picture" ScreenMode=B Fade=1
measure "turning picture, 2D + 3D, full screen" "File=$picture" ScreenMode=F Rotation2D=1 Rotation3D=1
measure "clock, centred" Mode=T Text= ScreenMode=C
measure "clock, bouncing" Mode=T Text= ScreenMode=B

# A 640 x 480 movie at 25 frames a second, faded, full screen: made by the
# tests' movie tool, which also times the steps of one frame.
movietool=$(dirname "$scr")/movietool.exe
if [ -f "$movietool" ]; then
  movie="Z:$(echo "$work/movie.avi" | tr / '\\')"
  /usr/lib/wine/wine64 "$movietool" make "$movie" rgb24 640 480 50 25 1 >/dev/null
  measure "movie 640 x 480 at 25 fps, faded, full screen" "File=$movie" ScreenMode=F Fade=1
  /usr/lib/wine/wine64 "$movietool" cost "$movie" 1440 1080 250
fi
