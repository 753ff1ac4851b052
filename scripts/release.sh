#!/usr/bin/env bash
# Builds the 32-bit and 64-bit saver in Release mode and packs
#   dist/VelorinScreenSaver-<version>.zip
# with x86/ and x64/VelorinScreenSaver.scr, README.txt, INSTALL.txt and
# SHA256SUMS.txt, and beside it the setup program
#   dist/VelorinScreenSaver-<version>-setup.exe
# The version is the one in CMakeLists.txt's project(). Prints the setup
# program's path, then the zip's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

version=$(bash scripts/version.sh)
build=${SAVER_BUILD_DIR:-build}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

for arch in x86:i686 x64:x86_64; do
  folder=${arch%%:*}
  toolchain=${arch##*:}
  dir="$build/release-$folder"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSAVER_WINDOWS_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target VelorinScreenSaver
  mkdir -p "$stage/$folder"
  cp "$dir/VelorinScreenSaver.scr" "$stage/$folder/"
done

sed 's/$/\r/' README.md > "$stage/README.txt"
sed 's/$/\r/' > "$stage/INSTALL.txt" <<NOTE
VelorinScreenSaver $version

Install
  The setup program published with this zip,
  VelorinScreenSaver-$version-setup.exe, installs the saver that fits your
  Windows (2000 or later), makes it your screen saver and adds it to Apps &
  features.

  By hand: right-click VelorinScreenSaver.scr and choose Install. Take the
  file in x64 on 64-bit Windows, the one in x86 on 32-bit Windows (it runs
  on both, and on Windows 98, ME, NT 4, 2000 and XP). Or open the saver's
  options (double-click it) and press "Install...".

Uninstall
  Installed by the setup program: remove it in Apps & features. Installed by
  hand: pick another screen saver in the screen-saver settings, then delete
  VelorinScreenSaver.scr from the Windows system folder (System32, or
  SysWOW64 for the 32-bit saver on 64-bit Windows).

Settings live in section [VelorinScreenSaver] of VelorinTools.ini in the
folder named by [Folders] VelorinTools in win.ini; without that entry, in
win.ini itself (32-bit saver) or in
%APPDATA%\VelorinScreenSaver\VelorinTools.ini (64-bit saver).
NOTE
(cd "$stage" && sha256sum x86/VelorinScreenSaver.scr x64/VelorinScreenSaver.scr README.txt INSTALL.txt \
  > SHA256SUMS.txt)

mkdir -p dist
zip=$(pwd)/dist/VelorinScreenSaver-$version.zip
rm -f "$zip"
python3 - "$stage" "$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for name in ["x86/VelorinScreenSaver.scr", "x64/VelorinScreenSaver.scr", "README.txt",
                 "INSTALL.txt", "SHA256SUMS.txt"]:
        archive.write(os.path.join(stage, name), name)
PY

setup=dist/VelorinScreenSaver-$version-setup.exe
bash scripts/make-setup.sh "$build/release-x86/VelorinScreenSaver.scr" \
  "$build/release-x64/VelorinScreenSaver.scr" "$setup" >/dev/null
echo "$(pwd)/$setup"
echo "$zip"
