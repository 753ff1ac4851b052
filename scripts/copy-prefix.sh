#!/usr/bin/env bash
# Copies a Wine prefix: Wine's own programs and libraries, well over a
# gigabyte that nothing writes to, as hard links; the registry, win.ini and
# every other file as copies of their own.
#   bash scripts/copy-prefix.sh FROM TO
set -euo pipefail
mkdir -p "$2"
cp -a --link "$1/." "$2/"
find "$2" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' ! -iname '*.nls' \
  -exec sh -c 'for file; do cp -a "$file" "$file.copy" && mv "$file.copy" "$file"; done' copy {} +
