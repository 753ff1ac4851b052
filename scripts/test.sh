#!/usr/bin/env bash
# Builds every configuration and runs every test:
#   native   the portable core with AddressSanitizer and UBSan, its tests;
#   bench    the benchmarks, optimised (built, and run briefly as a check);
#   fuzz     the libFuzzer targets under clang, each for a short smoke run;
#   win64    the 64-bit .scr and its tests under Wine on a virtual display;
#   soak     the 64-bit .scr on each moving content, checked to grow nothing;
#   win32    the 32-bit .scr, checked to be a PE32 GUI executable;
#   release  the zip a Windows user installs from, checked against its sums.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
generator=(-G Ninja)
build=${SAVER_BUILD_DIR:-build}

step() { printf '\n=== %s\n' "$*"; }

step "native core with sanitizers"
cmake -S . -B "$build/native" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DSAVER_SANITIZE=ON -DSAVER_BENCH=OFF >/dev/null
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

step "benchmarks"
cmake -S . -B "$build/bench" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/bench" -j "$jobs"
# Every benchmark, briefly: each bench/<name>.cpp builds the program <name>.
for source in bench/*.cpp; do
  name=$(basename "$source" .cpp)
  echo "$name"
  "$build/bench/$name" --benchmark_min_time=0.01 >/dev/null
done

step "fuzz smoke runs"
CC=clang CXX=clang++ cmake -S . -B "$build/fuzz" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DSAVER_FUZZ=ON -DSAVER_BENCH=OFF >/dev/null
cmake --build "$build/fuzz" -j "$jobs"
ctest --test-dir "$build/fuzz" --output-on-failure -R '_smoke$'

step "64-bit Windows build, tests under Wine"
cmake -S . -B "$build/win64" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=ON >/dev/null
cmake --build "$build/win64" -j "$jobs"
bash scripts/wine-session.sh ctest --test-dir "$build/win64" --output-on-failure

step "soak: turning picture, movie and clock, 40 s each"
# A short soak: memory, GDI objects, windows and file descriptors must not grow.
bash scripts/wine-session.sh bash scripts/soak.sh "$build/win64/VelorinScreenSaver.scr" 0.67 10

# The 32-bit saver needs the file virtualisation that Windows gives a program
# whose manifest requests no execution level (settings in win.ini, or beside
# the saver in the system folder): the manifest must not carry one.
check_manifest() {
  if grep -q -a requestedExecutionLevel "$1" || ! grep -q -a dpiAwareness "$1"; then
    echo "$1: the manifest must declare DPI awareness and no execution level" >&2
    exit 1
  fi
}
check_manifest "$build/win64/VelorinScreenSaver.scr"

step "32-bit Windows build"
cmake -S . -B "$build/win32" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$build/win32" -j "$jobs"
kind=$(file -b "$build/win32/VelorinScreenSaver.scr")
echo "VelorinScreenSaver.scr (32-bit): $kind"
check_manifest "$build/win32/VelorinScreenSaver.scr"
case "$kind" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "the 32-bit saver is not a PE32 GUI executable" >&2; exit 1 ;;
esac

step "release package"
zip=$(bash scripts/release.sh | tail -n 1)
python3 - "$zip" <<'PY'
import hashlib, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
sums = dict(line.split()[::-1] for line in archive.read("SHA256SUMS.txt").decode().splitlines())
for name in ["x86/VelorinScreenSaver.scr", "x64/VelorinScreenSaver.scr", "README.txt", "INSTALL.txt"]:
    assert hashlib.sha256(archive.read(name)).hexdigest() == sums[name], name
print(sys.argv[1], "holds", ", ".join(archive.namelist()))
PY

echo
echo "all configurations built; all tests passed"
