#!/usr/bin/env bash
# Checks the sources' layout, builds every configuration and runs every test:
#   native    the portable core with AddressSanitizer and UBSan, its tests, as
#             64-bit and as 32-bit Linux code;
#   bench     the benchmarks, optimised (built, and run briefly as a check);
#   fuzz      the libFuzzer targets under clang, each for a short smoke run;
#   win64     the 64-bit .scr: the GoogleTest suites and the end-to-end tests
#             under Wine on a virtual display, and a short soak;
#   win32     the same for the 32-bit .scr, the one users install, in the same
#             64-bit prefix (WOW64), its imports checked against Windows 98's;
#   setup     the setup program, made from the two savers: its round trip
#             under Wine (install, the saver it sets, a second setup, uninstall);
#   release   the zip and the setup program a Windows user installs from, the
#             zip checked against its sums.
# The saver is built with the "win32" thread model of its compiler, the
# GoogleTest suites with the "posix" one, in a build folder of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
generator=(-G Ninja)
build=${SAVER_BUILD_DIR:-build}

step() { printf '\n=== %s\n' "$*"; }

# A machine without the kernel's 32-bit support builds the 32-bit programs
# but cannot run them (nor Wine's 32-bit half); what it skipped is named in
# one line at the end.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
skipped=()

step "layout of the C++ sources (.clang-format)"
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

step "native core with sanitizers"
cmake -S . -B "$build/native" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DSAVER_SANITIZE=ON -DSAVER_BENCH=OFF >/dev/null
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

step "native core as 32-bit code, with sanitizers"
cmake -S . -B "$build/native32" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake \
  -DCMAKE_BUILD_TYPE=Debug -DSAVER_SANITIZE=ON -DSAVER_BENCH=OFF >/dev/null
cmake --build "$build/native32" -j "$jobs"
if runs_32bit; then
  ctest --test-dir "$build/native32" --output-on-failure -j "$jobs"
else
  # The processor emulator runs a 32-bit Linux program where the kernel does
  # not (Wine's 32-bit half does not run under it). The leak checker stops
  # the process with ptrace at exit, which the emulator never answers.
  ASAN_OPTIONS=detect_leaks=0 qemu-i386 "$build/native32/core_tests" --gtest_brief=1
fi
# Once more as a processor without SSE2 runs them: the x87 kernels, and a
# fault on any SSE or SSE2 instruction in the code or the libraries (the
# sanitizers' runtime included). A Pentium II, as QEMU's "pentium3" lets
# SSE2 instructions through.
ASAN_OPTIONS=detect_leaks=0 qemu-i386 -cpu pentium2 "$build/native32/core_tests" --gtest_brief=1

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

# The 32-bit saver needs the file virtualisation that Windows gives a program
# whose manifest requests no execution level (settings in win.ini, or beside
# the saver in the system folder): the manifest must not carry one.
check_manifest() {
  if grep -q -a requestedExecutionLevel "$1" || ! grep -q -a dpiAwareness "$1"; then
    echo "$1: the manifest must declare DPI awareness and no execution level" >&2
    exit 1
  fi
}

for bits in 64 32; do
  toolchain=cmake/mingw-$([ $bits = 64 ] && echo x86_64 || echo i686).cmake
  step "$bits-bit Windows build: the saver and its end-to-end tests; the GoogleTest suites"
  # The 32-bit saver's build also checks its imports against Windows 98's,
  # and that SSE2 is only in the kernels picked at run time (check-sse2.sh).
  cmake -S . -B "$build/win$bits" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=$toolchain \
    -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$build/win$bits" -j "$jobs"
  cmake -S . -B "$build/win$bits-unit" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=$toolchain \
    -DSAVER_THREAD_MODEL=posix -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=ON >/dev/null
  cmake --build "$build/win$bits-unit" -j "$jobs"
  scr=$build/win$bits/VelorinScreenSaver.scr
  check_manifest "$scr"
  kind=$(file -b "$scr")
  echo "VelorinScreenSaver.scr ($bits-bit): $kind"
  case "$bits:$kind" in
    "64:PE32+ executable (GUI) x86-64"* | "32:PE32 executable (GUI) Intel 80386"*) ;;
    *) echo "the $bits-bit saver is not a PE GUI executable of its kind" >&2; exit 1 ;;
  esac
  if [ $bits = 32 ] && ! runs_32bit; then
    skipped+=("the 32-bit saver's GoogleTest suites, end-to-end tests and soak")
    continue
  fi

  step "$bits-bit Windows tests under Wine"
  bash scripts/wine-session.sh ctest --test-dir "$build/win$bits-unit" --output-on-failure
  bash scripts/wine-session.sh ctest --test-dir "$build/win$bits" --output-on-failure

  step "$bits-bit soak: turning picture, movie and clock, 40 s each"
  # A short soak: memory, GDI objects, windows and file descriptors must not grow.
  bash scripts/wine-session.sh bash scripts/soak.sh "$scr" 0.67 10
done

step "setup program: made from the two savers, and its round trip under Wine"
# From the savers built and tested above: no second build.
setup=$build/setup/VelorinScreenSaver-setup.exe
bash scripts/make-setup.sh "$build/win32/VelorinScreenSaver.scr" "$build/win64/VelorinScreenSaver.scr" \
  "$setup" >/dev/null
if ! runs_32bit; then
  # The setup is a 32-bit program. Its 64-bit build, from the same script,
  # takes the round trip instead: all of it but WOW64's redirection is the same.
  setup=$build/setup/x64/VelorinScreenSaver-setup.exe
  bash scripts/make-setup.sh "$build/win32/VelorinScreenSaver.scr" "$build/win64/VelorinScreenSaver.scr" \
    "$setup" amd64-unicode >/dev/null
  skipped+=("the 32-bit setup program's round trip (its 64-bit build took it instead)")
fi
SAVER_SETUP=$setup SAVER_SCR=$build/win64/VelorinScreenSaver.scr SAVER_PROBE=$build/win64/winprobe.exe \
  bash scripts/wine-session.sh /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/wine/test_setup.py

step "release package"
release=$(bash scripts/release.sh)
setup=$(tail -n 2 <<<"$release" | head -n 1)
zip=$(tail -n 1 <<<"$release")
kind=$(file -b "$setup")
echo "$setup: $kind"
case "$kind" in
  "PE32 executable (GUI) Intel 80386"*"Nullsoft Installer"*) ;;
  *) echo "the setup program is not a 32-bit NSIS installer" >&2; exit 1 ;;
esac
python3 - "$zip" <<'PY'
import hashlib, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
sums = dict(line.split()[::-1] for line in archive.read("SHA256SUMS.txt").decode().splitlines())
for name in ["x86/VelorinScreenSaver.scr", "x64/VelorinScreenSaver.scr", "README.txt", "INSTALL.txt"]:
    assert hashlib.sha256(archive.read(name)).hexdigest() == sums[name], name
print(sys.argv[1], "holds", ", ".join(archive.namelist()))
PY

echo
if [ ${#skipped[@]} -gt 0 ]; then
  printf '\n!!!!! 32-BIT TESTS DID NOT RUN: this machine cannot run 32-bit programs, so %s were built but not run. !!!!!\n\n' \
    "$(IFS=';'; echo "${skipped[*]}" | sed 's/;/ and /g')"
fi
echo "all configurations built; all tests that could run passed"
