#!/usr/bin/env bash
# Checks the sources' layout and floors, builds every configuration and runs every test:
#   native    the portable core with AddressSanitizer and UBSan, its tests, as
#             64-bit and as 32-bit Linux code;
#   bench     the benchmarks, optimised (built, and run briefly as a check);
#   fuzz      the libFuzzer targets under clang, each for a short smoke run;
#   win64     the 64-bit .scr: the GoogleTest suites and the end-to-end tests
#             under Wine on a virtual display, and a short soak;
#   win32     the 32-bit .scr, the one users install, its imports checked
#             against Windows 98's, and the setup program made from the two
#             savers; scripts/test-32bit.sh runs their tests: the .scr's as the
#             64-bit one's, in the same 64-bit prefix (WOW64), and the setup's
#             round trip (install, the saver it sets, a second setup, uninstall)
#             in a 64-bit and a 32-bit prefix. Natively where the kernel runs
#             32-bit programs; elsewhere in scripts/vm32.sh's emulated guest,
#             by default on the end-to-end tests tests/wine/subset-32bit.txt
#             names (SAVER_32BIT_TESTS=all: every one; subset: those alone);
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
# but cannot run them (nor Wine's 32-bit half) itself.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

step "layout of the C++ sources (.clang-format)"
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

step "floors of the sources: every include runs down (scripts/floors.py)"
python3 scripts/floors.py

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
  # Every call between rooms runs down the floors too.
  NM=$([ $bits = 64 ] && echo x86_64 || echo i686)-w64-mingw32-nm python3 scripts/floors.py "$build/win$bits" >/dev/null
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
  [ $bits = 64 ] || continue

  step "64-bit Windows tests under Wine"
  bash scripts/wine-session.sh ctest --test-dir "$build/win$bits-unit" --output-on-failure
  bash scripts/wine-session.sh ctest --test-dir "$build/win$bits" --output-on-failure

  step "64-bit soak: turning picture, movie and clock, 40 s each"
  # A short soak: memory, GDI objects, windows and file descriptors must not grow.
  bash scripts/wine-session.sh bash scripts/soak.sh "$scr" 0.67 10
done

step "setup program, made from the two savers"
# From the savers built above: no second build.
bash scripts/make-setup.sh "$build/win32/VelorinScreenSaver.scr" "$build/win64/VelorinScreenSaver.scr" \
  "$build/setup/VelorinScreenSaver-setup.exe" >/dev/null

if runs_32bit; then
  ran_32bit=natively which_32bit=${SAVER_32BIT_TESTS:-all}
  step "32-bit Windows tests under Wine: the 32-bit saver's, the setup program's"
  bash scripts/test-32bit.sh "$build" "$which_32bit"
else
  ran_32bit="in the QEMU guest" which_32bit=${SAVER_32BIT_TESTS:-subset}
  step "32-bit Windows tests under Wine, in the QEMU guest: the 32-bit saver's, the setup program's"
  # The guest runs about 3 times slower than this machine, on one core.
  bash scripts/vm32.sh env SAVER_SLOWNESS=3 bash scripts/test-32bit.sh "$build" "$which_32bit"
fi

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
echo "the 32-bit native core's tests ran $(runs_32bit && echo natively || echo "under qemu-i386")"
echo "the 32-bit saver's GoogleTest suites, end-to-end tests ($which_32bit), soak and the setup program's round trips ran $ran_32bit"
echo "all configurations built; all tests passed"
