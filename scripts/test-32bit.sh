#!/usr/bin/env bash
# Runs the tests of the two 32-bit programs a user downloads, each part in a
# Wine session of its own, and prints how long each part took:
#   bash scripts/test-32bit.sh BUILD [all|subset]
#   - the 32-bit .scr's GoogleTest suites (BUILD/win32-unit);
#   - its end-to-end tests (BUILD/win32), in the 64-bit prefix (WOW64), as on
#     64-bit Windows; "subset" runs only those tests/wine/subset-32bit.txt names;
#   - a short soak;
#   - the setup program's round trip (BUILD/setup), in a 64-bit prefix, where
#     it installs the 64-bit saver, and in a 32-bit one (WINEARCH=win32), as on
#     32-bit Windows, where it installs the 32-bit saver.
# scripts/test.sh runs it where the kernel runs 32-bit programs, and elsewhere
# inside scripts/vm32.sh's guest, which sets SAVER_SLOWNESS.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
which=${2:-all}
times=()
# One template prefix of each width for all the sessions.
export SAVER_PREFIXES
SAVER_PREFIXES=$(mktemp -d /tmp/velorin-prefixes.XXXXXX)
trap 'rm -rf "$SAVER_PREFIXES"' EXIT

part() {
  local name=$1 start=$SECONDS
  shift
  printf '\n=== 32-bit: %s\n' "$name"
  "$@"
  times+=("$(printf '%5d s  %s' $((SECONDS - start)) "$name")")
}

end_to_end() {
  local subset=""
  [ "$which" = all ] || subset=$PWD/tests/wine/subset-32bit.txt
  SAVER_SUBSET=$subset bash scripts/wine-session.sh ctest --test-dir "$build/win32" --output-on-failure
}

setup_round_trip() {   # WINEARCH, the build whose saver the setup installs there
  WINEARCH=$1 SAVER_SETUP=$build/setup/VelorinScreenSaver-setup.exe SAVER_SCR=$build/$2/VelorinScreenSaver.scr \
    SAVER_PROBE=$build/$2/winprobe.exe SAVER_WINE=$3 SAVER_ARCH=$4 \
    bash scripts/wine-session.sh /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/wine/test_setup.py
}

# The subset leaves out the second run of the frame surface on a screen 16 bits
# deep: its own session and prefix take three minutes in the guest, and the
# depth conversions it reaches are portable code the native 32-bit tests run.
unit_tests() {
  local skip=()
  [ "$which" = all ] || skip=(-E OnASixteenBitScreen)
  bash scripts/wine-session.sh ctest --test-dir "$build/win32-unit" --output-on-failure --timeout 600 "${skip[@]}"
}

part "GoogleTest suites" unit_tests
part "end-to-end tests ($which)" end_to_end
# Memory, GDI objects, windows and file descriptors must not grow.
part "soak: turning picture, movie and clock, 40 s each" \
  bash scripts/wine-session.sh bash scripts/soak.sh "$build/win32/VelorinScreenSaver.scr" 0.67 10
part "setup program's round trip, 64-bit Windows" setup_round_trip win64 win64 /usr/lib/wine/wine64 x64
part "setup program's round trip, 32-bit Windows" setup_round_trip win32 win32 /usr/lib/wine/wine x86

printf '\n32-bit parts, in seconds:\n'
printf '%s\n' "${times[@]}"
