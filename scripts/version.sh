#!/usr/bin/env bash
# Prints the product's version, x.y.z, from project() in CMakeLists.txt: the
# one place it is set. The .scr's version information, the release zip's name
# and the setup program all take it from there.
set -euo pipefail
version=$(sed -n 's/^project(VelorinScreenSaver VERSION \([0-9]*\.[0-9]*\.[0-9]*\)[ )].*/\1/p' \
  "$(dirname "$0")/../CMakeLists.txt")
[ -n "$version" ] || { echo "no x.y.z version in CMakeLists.txt's project()" >&2; exit 1; }
echo "$version"
