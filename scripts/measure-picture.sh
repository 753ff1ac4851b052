#!/usr/bin/env bash
# Reports how long the saver takes to show a big photo full screen on a
# 1920 x 1080 virtual screen, and how much memory it needs for it, beside what
# the Windows Imaging Component's own decode and scale to the size shown needs
# (bench/wine/decodescale.cpp, taken from beside the saver unless named). For
# each case: the milliseconds from the saver's start to its window on the
# screen (the picture is loaded while the window is made) and to the picture
# in it; the peak (VmHWM) and the resident (VmRSS) memory of its process once
# the picture shows; the tool's peak and time. Run inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh bash scripts/measure-picture.sh build/win64/VelorinScreenSaver.scr [decodescale.exe]
set -euo pipefail
scr=$(realpath "$1")
tool=${2:-$(dirname "$scr")/decodescale.exe}
[ -f "$tool" ] && tool=$(realpath "$tool") || tool=""
command -v pnmtojpeg >/dev/null || { echo "needs netpbm's pamcut and pnmtojpeg" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/saver-env.sh"
source "$(dirname "$0")/prefix-pid.sh"

windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }
# memory FIELD PID: a field of the process's status (VmHWM, VmRSS) in MB.
memory() { awk -v f="$1:" '$1 == f {printf "%.0f", $2 / 1024}' "/proc/$2/status" 2>/dev/null || echo -; }

# Milliseconds from $1 (date +%s%N) until the middle of the screen shows a
# picture: neither black (the saver's window) nor the black and white of the
# bare screen; "-" after a minute.
picture_after() {
  /usr/bin/python3 - "$1" <<'EOF'
import ctypes, sys, time
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = x.XGetImage.restype = ctypes.c_void_p
x.XDefaultRootWindow.argtypes = x.XDestroyImage.argtypes = [ctypes.c_void_p]
x.XDefaultRootWindow.restype = x.XGetPixel.restype = ctypes.c_ulong
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
display = x.XOpenDisplay(None)
root, start = x.XDefaultRootWindow(display), int(sys.argv[1]) / 1e9
shown = False
while not shown and time.time() - start < 60:
    image = x.XGetImage(display, root, 928, 540, 64, 1, 0xFFFFFFFF, 2)  # ZPixmap
    shown = any(x.XGetPixel(image, i, 0) & 0xFFFFFF not in (0, 0xFFFFFF) for i in range(64))
    x.XDestroyImage(image)
    time.sleep(0 if shown else 0.02)
print(round(1000 * (time.time() - start)) if shown else "-")
EOF
}

# show NAME FILE [reference]: the saver on FILE, full screen, without fade,
# from its start to its window on the screen and to the picture in it, its
# peak and its resident memory once the picture shows; with "reference", the
# tool's decode and scale of FILE to the 1440 x 1080 it is shown at.
show() {
  local start saver pid window picture peak resident tool_peak=- tool_ms=-
  # The session's prefix is a throw-away one: the settings file holds just this.
  printf '[VelorinScreenSaver]\r\nFile=%s\r\nScreenMode=F\r\nFade=0\r\n' "$(windows_path "$2")" > "$ini"
  xdotool mousemove 10 10
  start=$(date +%s%N)
  $wine "$scr" /s &
  saver=$!
  until xdotool search --onlyvisible --name '^Screen Saver$' >/dev/null 2>&1; do
    kill -0 $saver 2>/dev/null || { echo "$1: the saver ended before its window showed" >&2; return 1; }
    sleep 0.02
  done
  window=$(ms_since "$start")
  picture=$(picture_after "$start")
  pid=$(prefix_pid VelorinScreenSa)
  peak=$(memory VmHWM "$pid") resident=$(memory VmRSS "$pid")
  xdotool key Escape
  wait $saver || true  # Wine takes about two seconds to end a process that had windows
  if [ -n "$tool" ] && [ "${3:-}" = reference ]; then
    rm -f "$work/tool.out"
    $wine "$tool" "$(windows_path "$2")" 1440 1080 > "$work/tool.out" &
    # It prints its time, then sleeps a second: its peak is read meanwhile.
    until [ -s "$work/tool.out" ] || ! kill -0 $! 2>/dev/null; do sleep 0.02; done
    pid=$(prefix_pid decodescale.exe)
    [ -z "$pid" ] || tool_peak=$(memory VmHWM "$pid")
    wait $! || true
    tool_ms=$(awk '{print $1}' "$work/tool.out")
  fi
  printf '%-42s %8s %9s %7s %9s %10s %10s\n' "$1" "$window" "$picture" "$peak" "$resident" \
    "$tool_peak" "${tool_ms:--}"
}

# The pictures, photo-like, quality 90: a plasma made at a quarter of the
# size, enlarged to 12000 x 9000, grain added at full size; the smaller ones
# are cut from it. Kept as PPM, made in bands, cut and encoded by netpbm's
# tools, which stream: ImageMagick's default resource policy refuses a
# picture of a hundred million pixels whole.
made=$(date +%s%N)
convert -size 3000x2250 -seed 1 plasma: "$work/plasma.png"
{ printf 'P6\n12000 9000\n255\n'
  for top in $(seq 0 375 1875); do
    convert "$work/plasma.png" -crop 3000x375+0+"$top" +repage -resize '12000x1500!' \
      -seed $((top + 2)) -attenuate 0.4 +noise Gaussian -depth 8 rgb:-
  done; } > "$work/whole.ppm"
# jpeg NAME WIDTH HEIGHT LEFT TOP: that part of the whole as NAME.jpg.
jpeg() {
  pamcut -left "$4" -top "$5" -width "$2" -height "$3" "$work/whole.ppm" |
    pnmtojpeg -quality=90 > "$work/$1.jpg"
}
jpeg 12000 12000 9000 0 0
jpeg 4096 4096 3072 7000 5000
jpeg small 640 480 5000 4000
mkdir "$work/folder"
for n in 1 2 3 4 5; do jpeg "photo$n" 4000 3000 $((2000 * n - 2000)) $((1500 * n - 1500)); done
rm "$work/whole.ppm" "$work/plasma.png"
for n in $(seq 2000); do ln "$work/photo$((n % 5 + 1)).jpg" "$(printf '%s/folder/IMG_%04d.jpg' "$work" "$n")"; done
megabytes() { stat -c %s "$@" | awk '{printf "%.1f\n", $1 / 1048576}' | paste -sd ' '; }
echo "pictures made in $(($(ms_since "$made") / 1000)) s: 12000 x 9000 $(megabytes "$work/12000.jpg") MB," \
  "4096 x 3072 $(megabytes "$work/4096.jpg") MB, 4000 x 3000 $(megabytes "$work"/photo?.jpg) MB"

printf '%-42s %8s %9s %7s %9s %10s %10s\n' "" "window" "picture" "saver" "saver" "reference" "reference"
printf '%-42s %8s %9s %7s %9s %10s %10s\n' "case (full screen, no fade)" "ms" "ms" "peak MB" \
  "resid. MB" "peak MB" "ms"
show "JPEG 640 x 480 (Wine's own start)" "$work/small.jpg" reference
show "JPEG 4096 x 3072" "$work/4096.jpg" reference
show "JPEG 12000 x 9000" "$work/12000.jpg" reference
for run in 1 2 3; do show "folder of 2,000 JPEGs 4000 x 3000, run $run" "$work/folder"; done
