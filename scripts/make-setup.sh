#!/usr/bin/env bash
# Makes the setup program a Windows user installs from, out of the two savers:
#   scripts/make-setup.sh X86_SCR X64_SCR OUTPUT
# The version is the one in CMakeLists.txt's project(). The setup is a 32-bit
# program, so that one file serves 32-bit and 64-bit Windows.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 X86_SCR X64_SCR OUTPUT" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
x86=$(realpath "$1")
x64=$(realpath "$2")
output=$(realpath -m "$3")

version=$(bash "$root/scripts/version.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The readme page shows the README as the zip carries it, with Windows line ends.
sed 's/$/\r/' "$root/README.md" > "$work/README.txt"
# Beside the welcome and finish pages: the saver's gem on a lavender ground.
convert -size 164x314 gradient:'#E6DEFA'-'#9F8AD6' \
  \( "$root/resources/VelorinScreenSaver.ico[6]" -resize 112x112 \) -gravity north -geometry +0+40 \
  -composite -type TrueColor "BMP3:$work/wizard.bmp"

mkdir -p "$(dirname "$output")"
makensis -V2 -NOCD \
  -DVERSION="$version" -DSCR_X86="$x86" -DSCR_X64="$x64" \
  -DICON="$root/resources/VelorinScreenSaver.ico" -DREADME="$work/README.txt" -DWIZARD="$work/wizard.bmp" -DOUTFILE="$output" \
  "$root/resources/setup.nsi"
echo "$output"
