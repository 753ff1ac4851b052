#!/usr/bin/env bash
# Measures the saver's CPU use under Wine: CPU seconds per wall-clock second
# over 10 seconds of the .scr process, of the X server that shows its frames
# and of the wineserver, for each kind of content on a 1920 x 1080 virtual
# screen. Run inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh bash scripts/measure-cpu.sh build/win64/VelorinScreenSaver.scr
set -euo pipefail
scr=$(realpath "$1")
seconds=${SAVER_MEASURE_SECONDS:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 640x480 gradient:red-blue -fill lime -draw "rectangle 200,150 440,330" "BMP3:$work/picture.bmp"
picture="Z:$(echo "$work/picture.bmp" | tr / '\\')"
source "$(dirname "$0")/saver-env.sh"
ticks=$(getconf CLK_TCK)

source "$(dirname "$0")/prefix-pid.sh"

# The X server of this session's display.
xserver_pid() {
  pgrep -f "^Xvfb $DISPLAY " | head -n 1
}

# User plus system clock ticks of each process given.
cpu_ticks() {
  local pid
  for pid in "$@"; do awk '{printf "%d ", $14 + $15}' "/proc/$pid/stat"; done
}

printf '%-46s %8s %8s %10s %8s   (CPU s per s)\n' content saver X wineserver total

# SAVER_MEASURE_ONLY=turning measures just the cases whose name holds it.
measure() {
  local name=$1; shift
  [[ $name == *"${SAVER_MEASURE_ONLY:-}"* ]] || return 0
  # The session's prefix is a throw-away one: the settings file holds just this.
  printf '[VelorinScreenSaver]\r\n' > "$ini"
  for setting in "$@"; do printf '%s\r\n' "$setting" >> "$ini"; done
  xdotool mousemove 10 10
  $wine "$scr" /s &
  sleep 3
  local pids before after
  pids="$(prefix_pid VelorinScreenSa) $(xserver_pid) $(prefix_pid wineserver)"
  before=$(cpu_ticks $pids)
  sleep "$seconds"
  after=$(cpu_ticks $pids)
  xdotool key Escape
  wait
  awk -v n="$name" -v a="$after" -v b="$before" -v t="$ticks" -v s="$seconds" 'BEGIN {
    split(a, x); split(b, y); total = 0
    for (i = 1; i <= 3; ++i) { share[i] = (x[i] - y[i]) / t / s; total += share[i] }
    printf "%-46s %8.3f %8.3f %10.3f %8.3f\n", n, share[1], share[2], share[3], total }'
}

measure "still picture, centred" "File=$picture" ScreenMode=C Fade=1
measure "still picture, bouncing" "File=$picture" ScreenMode=B Fade=1
measure "turning picture, 2D, full screen" "File=$picture" ScreenMode=F Rotation2D=1
measure "turning picture, 2D + 3D, full screen" "File=$picture" ScreenMode=F Rotation2D=1 Rotation3D=1
measure "turning picture, 2D + 3D, bouncing" "File=$picture" ScreenMode=B Rotation2D=1 Rotation3D=1
measure "clock, centred" Mode=T Text= ScreenMode=C
measure "clock, bouncing" Mode=T Text= ScreenMode=B

# A 640 x 480 movie at 25 frames a second, faded, full screen: 24-bit frames
# in an AVI; then the steps of one of its frames, timed.
build=$(dirname "$scr")
if [ -f "$build/frametimes.exe" ] && [[ movie == *"${SAVER_MEASURE_ONLY:-}"* ]]; then
  ffmpeg -v error -f lavfi -i testsrc2=size=640x480:rate=25:duration=2 -vf vflip -c:v rawvideo -pix_fmt bgr24 \
    -flipped_raw_rgb 1 "$work/movie.avi"
  movie="Z:$(echo "$work/movie.avi" | tr / '\\')"
  measure "movie 640 x 480 at 25 fps, faded, full screen" "File=$movie" ScreenMode=F Fade=1
  $wine "$build/frametimes.exe" movie "$movie" 1440 1080 250
fi

# A 1080p H.264 movie at 30 frames a second, full screen, through Media
# Foundation; beside it ffmpeg's own decode of the same file, as CPU seconds
# per second of movie.
if command -v ffmpeg >/dev/null && [[ "H.264 movie" == *"${SAVER_MEASURE_ONLY:-}"* ]]; then
  ffmpeg -v error -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=20 -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p "$work/hd.mp4"
  measure "H.264 movie 1920 x 1080 at 30 fps, full screen" "File=Z:$(echo "$work/hd.mp4" | tr / '\\')" \
    ScreenMode=F Fade=0
  ffmpeg -benchmark -i "$work/hd.mp4" -f null - 2>&1 | awk '/bench: utime/ {
    split($2, u, "="); split($3, s, "="); printf "%-46s %8.3f\n", "ffmpeg decode of the same movie", (u[2] + s[2]) / 20 }'
fi
