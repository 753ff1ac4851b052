#!/usr/bin/env bash
# Runs one command with a display, a Wine prefix and a wineserver of its own:
# a fresh Xvfb on a free display number, a throw-away prefix made from a
# template (SAVER_TEMPLATE_PREFIX, for tests that want one more of their own),
# and one persistent wineserver so that every Wine start is quick. The user's
# display, home and Wine prefix are never touched. Everything stops at the end.
# With SAVER_PREFIXES (a folder), the template is kept there, one for each
# WINEARCH, for the sessions that follow: in an emulated machine a new one
# takes minutes.
set -uo pipefail

screen=${SAVER_SCREEN:-1920x1080x24}
work=$(mktemp -d /tmp/velorin-wine.XXXXXX)
export HOME=$work/home
mkdir -p "$HOME"
# A 64-bit prefix, unless WINEARCH=win32 asks for one as on 32-bit Windows.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=${WINEARCH:-win64}
wine=/usr/lib/wine/$([ "$WINEARCH" = win32 ] && echo wine || echo wine64)
wineserver=/usr/lib/wine/wineserver

display=""
for n in $(seq 91 250); do
  if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free display number" >&2; exit 1; }
Xvfb :$display -screen 0 "$screen" -nolisten tcp -nolisten unix >/dev/null 2>&1 &
xvfb_pid=$!
# -nolisten unix is not accepted everywhere; fall back to the default socket.
sleep 0.5
if ! kill -0 $xvfb_pid 2>/dev/null; then
  Xvfb :$display -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
fi
export DISPLAY=:$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cleanup() {
  WINEPREFIX=$work/prefix $wineserver -k 2>/dev/null
  WINEPREFIX=$SAVER_TEMPLATE_PREFIX $wineserver -k 2>/dev/null
  kill $xvfb_pid 2>/dev/null
  wait $xvfb_pid 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export SAVER_TEMPLATE_PREFIX=${SAVER_PREFIXES:+$SAVER_PREFIXES/$WINEARCH}
SAVER_TEMPLATE_PREFIX=${SAVER_TEMPLATE_PREFIX:-$work/template}
if [ ! -d "$SAVER_TEMPLATE_PREFIX" ]; then
  WINEPREFIX=$SAVER_TEMPLATE_PREFIX.new $wine wineboot -i >/dev/null 2>&1
  # The banner's name is set in Times New Roman; its metric twin stands in for it.
  WINEPREFIX=$SAVER_TEMPLATE_PREFIX.new $wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
    /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
  WINEPREFIX=$SAVER_TEMPLATE_PREFIX.new $wineserver -w
  mv "$SAVER_TEMPLATE_PREFIX.new" "$SAVER_TEMPLATE_PREFIX"
fi
bash "$(dirname "$0")/copy-prefix.sh" "$SAVER_TEMPLATE_PREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix
$wineserver -p
# Start the prefix's services now, away from the command's output: started by
# the first test instead, they would live on under the persistent wineserver
# holding that test's output pipe, and ctest would wait for it for ever.
$wine wineboot >/dev/null 2>&1
"$@"
