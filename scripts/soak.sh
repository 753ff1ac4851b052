#!/usr/bin/env bash
# Soak test: runs the saver (/s) on each moving content in turn - a turning
# picture, a movie and the clock - for a while, samples what it holds, and
# fails when anything grows. Run inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh bash scripts/soak.sh build/win64/VelorinScreenSaver.scr [minutes-per-content] [sample-seconds]
# (defaults: 60 minutes per content, a sample a minute; the minutes may be a fraction).
# SAVER_SOAK_ONLY=movie soaks just the contents whose name holds it, so that the
# hour-long runs can go side by side, each in a session of its own.
#
# Each sample holds, for the saver's process:
#   rss-anon   kB of private resident memory (RssAnon of /proc/PID/status): the
#              heap, DIB sections and other anonymous memory Wine gives it, without
#              the DLL pages shared with other Wine processes or paged in late
#   vm-data    kB of private writable address space (VmData): memory committed
#              but never touched, which RssAnon would not show
#   fds        Linux file descriptors (/proc/PID/fd): files, pipes, sockets and
#              shared memory Wine opened for it
#   gdi-table, windows: from tests/wine/resourceprobe.cpp
# Growth from the second sample (after warm-up) to the last fails the test:
# beyond 2 MB for memory (allocator noise is real), beyond nothing for counts.
set -euo pipefail
scr=$(realpath "$1")
minutes=${2:-60}
every=${3:-60}
build=$(dirname "$scr")
duration=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/saver-env.sh"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

convert -size 640x480 gradient:orange-navy -fill lime -draw "circle 320,240 320,100" "BMP3:$work/picture.bmp"
# A 640 x 480 movie of 50 frames at 25 frames a second, looped by the saver:
# 24-bit frames in an AVI, rows bottom-up as Video for Windows writes them, and
# H.264 in an MP4, which Media Foundation plays: every loop seeks.
movie=(-v error -f lavfi -i testsrc2=size=640x480:rate=25:duration=2)
ffmpeg "${movie[@]}" -vf vflip -c:v rawvideo -pix_fmt bgr24 -flipped_raw_rgb 1 "$work/movie.avi"
ffmpeg "${movie[@]}" -c:v libx264 -pix_fmt yuv420p "$work/movie.mp4"

source "$(dirname "$0")/prefix-pid.sh"

columns="seconds rss-anon vm-data fds gdi-table windows"

# One sample line: the columns above, values only.
sample() {
  local pid=$1 elapsed=$2 counts
  counts=$($wine "$build/resourceprobe.exe" | tr -d '\r' || true)
  [ "$counts" != none ] || { echo "the saver's window is gone" >&2; return 1; }
  echo "$elapsed" \
    "$(awk '/^RssAnon:/ { print $2 }' "/proc/$pid/status")" \
    "$(awk '/^VmData:/ { print $2 }' "/proc/$pid/status")" \
    "$(ls "/proc/$pid/fd" | wc -l)" \
    "$(echo "$counts" | awk '{ print $2, $4 }')"
}

failed=0
soak() {
  local name=$1; shift
  [[ $name == *"${SAVER_SOAK_ONLY:-}"* ]] || return 0
  # The session's prefix is a throw-away one: the settings file holds just this.
  printf '[VelorinScreenSaver]\r\n' > "$ini"
  for setting in "$@"; do printf '%s\r\n' "$setting" >> "$ini"; done
  printf '\n=== %s, %s s, a sample every %s s\n%s\n' "$name" "$duration" "$every" "$columns"
  xdotool mousemove 10 10
  $wine "$scr" /s &
  local saver=$! pid="" start elapsed=0
  for _ in $(seq 50); do pid=$(prefix_pid VelorinScreenSa); [ -n "$pid" ] && break; sleep 0.2; done
  [ -n "$pid" ] || { echo "the saver did not start" >&2; exit 1; }
  # Its window may take a while to show on a slow machine (an emulated one
  # takes up to a minute): the first sample waits for it.
  for _ in $(seq $((60 * ${SAVER_SLOWNESS:-1}))); do
    [ "$($wine "$build/resourceprobe.exe" | tr -d '\r' || true)" != none ] && break
    sleep 1
  done
  sleep 3
  start=$SECONDS
  : > "$work/samples"
  while :; do
    sample "$pid" "$elapsed" | tee -a "$work/samples"
    [ "$elapsed" -lt "$duration" ] || break
    sleep $(( start + elapsed + every - SECONDS > 0 ? start + elapsed + every - SECONDS : 0 ))
    elapsed=$(( elapsed + every < duration ? elapsed + every : duration ))
  done
  xdotool key Escape
  wait "$saver" || true
  # First, second (after warm-up) and last sample, and the growth allowed.
  # Growth is judged on the least of the last three samples: a sample taken
  # while the clock redraws counts the font it holds for that moment, where a
  # leak shows in every sample after it.
  awk -v columns="$columns" '
    { for (i = 1; i <= NF; i++) value[NR, i] = $i }
    END {
      n = split(columns, name, " ")
      second = NR > 1 ? 2 : 1
      printf "%-10s %10s %10s %10s %s\n", "quantity", "first", "second", "last", "verdict"
      for (i = 2; i <= n; i++) {
        slack = (name[i] == "rss-anon" || name[i] == "vm-data") ? 2048 : 0
        settled = value[NR, i]
        for (k = NR - 2; k < NR; k++) if (k > second && value[k, i] < settled) settled = value[k, i]
        growth = settled - value[second, i]
        verdict = growth > slack ? "GREW by " growth : "steady"
        if (growth > slack) bad = 1
        printf "%-10s %10s %10s %10s %s\n", name[i], value[1, i], value[second, i], value[NR, i], verdict
      }
      exit bad
    }' "$work/samples" || failed=1
}

picture=$(winpath "$work/picture.bmp")
soak "turning picture, 2D + 3D, full screen" "File=$picture" ScreenMode=F Rotation2D=1 Rotation3D=1
soak "movie 640 x 480 at 25 fps, faded, full screen" "File=$(winpath "$work/movie.avi")" ScreenMode=F Fade=1
soak "H.264 movie 640 x 480 at 25 fps, faded, full screen" "File=$(winpath "$work/movie.mp4")" ScreenMode=F Fade=1
soak "clock, bouncing" Mode=T Text= ScreenMode=B

[ "$failed" = 0 ] || { echo "soak: something grew" >&2; exit 1; }
echo "soak: nothing grew"
