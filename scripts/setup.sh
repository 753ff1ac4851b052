#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  g++-multilib
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  wine64 xvfb xdotool x11-utils imagemagick libimage-exiftool-perl fonts-liberation2
  python3 python3-pytest file procps fonts-wine netpbm
  nsis
  # Media Foundation under Wine decodes H.264 through GStreamer's libav
  # plugins; ffmpeg makes the test movies.
  gstreamer1.0-libav ffmpeg
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# install [--no-install-recommends] PACKAGE...
install() {
  local options=() missing=() p
  [ "$1" != --no-install-recommends ] || { options=("$1"); shift; }
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  $sudo apt-get update -qq || { sleep 5; $sudo apt-get update -qq; }
  # With their recommendations: Wine loads FreeType, fontconfig and the X
  # extensions it draws with at run time, and lists them only as recommended.
  $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}
install "${packages[@]}"
# The emulator runs the 32-bit native tests where the kernel cannot; without
# its recommended binfmt hook, which would hand every 32-bit program to it.
install --no-install-recommends qemu-user

# Wine's 32-bit half runs the 32-bit saver in the 64-bit prefix, as 64-bit
# Windows does; only where the kernel runs 32-bit programs. Elsewhere it could
# not start, and /usr/bin/wine would pick it and fail: there the 32-bit tests
# run in scripts/vm32.sh's guest, which needs QEMU's full-system emulator and
# the MinGW zlib it makes Wine's builtin one from.
probe=$(mktemp)
if echo 'int main(void) { return 0; }' | gcc -m32 -x c - -o "$probe" 2>/dev/null && "$probe" 2>/dev/null; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  install wine32:i386
else
  install --no-install-recommends qemu-system-x86 libz-mingw-w64
fi
rm -f "$probe"
