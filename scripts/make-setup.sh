#!/usr/bin/env bash
# Makes the setup program a Windows user installs from, out of the two savers:
#   scripts/make-setup.sh X86_SCR X64_SCR OUTPUT [TARGET]
# The version is the one in CMakeLists.txt's project(). The setup is a 32-bit
# program, so that one file serves 32-bit and 64-bit Windows; TARGET
# amd64-unicode makes a 64-bit one from the same script instead, which the
# end-to-end test runs where 32-bit programs cannot run.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 X86_SCR X64_SCR OUTPUT [TARGET]" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
x86=$(realpath "$1")
x64=$(realpath "$2")
output=$(realpath -m "$3")
target=${4:-}

version=$(bash "$root/scripts/version.sh")
# The readme page shows the README as the zip carries it, with Windows line ends.
readme=$(mktemp --suffix=.txt)
trap 'rm -f "$readme"' EXIT
sed 's/$/\r/' "$root/README.md" > "$readme"

mkdir -p "$(dirname "$output")"
makensis -V2 -NOCD \
  -DVERSION="$version" -DSCR_X86="$x86" -DSCR_X64="$x64" \
  -DICON="$root/resources/VelorinScreenSaver.ico" -DREADME="$readme" -DOUTFILE="$output" \
  ${target:+-DTARGET="$target"} "$root/resources/setup.nsi"
echo "$output"
