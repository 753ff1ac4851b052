#!/usr/bin/env bash
# Fails when a Windows executable imports a function that is not in a list of
# allowed imports ("DLL function" a line, '#' starts a comment; DLL names
# compare without case). The 32-bit saver's build runs it against
# cmake/win98-imports.txt, so that a function Windows 98 lacks is found when
# it is linked in, not when the loader refuses the file:
#   bash scripts/check-imports.sh VelorinScreenSaver.scr cmake/win98-imports.txt
set -euo pipefail
executable=$1
allowed=$2

imports=$(i686-w64-mingw32-objdump -p "$executable" | awk '
  /^\tDLL Name: / { dll = toupper($3) }
  /^\t[0-9a-f]+\t +[0-9]+ / && dll != "" { print dll, $3 }
  /^\t[0-9a-f]+\t +<none> / && dll != "" { print dll, "ordinal" }' | sort -u)
[ -n "$imports" ] || { echo "$executable: no imports found" >&2; exit 1; }
missing=$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | awk 'NF { print toupper($1), $2 }' | sort -u))
if [ -n "$missing" ]; then
  echo "$executable imports functions that Windows 98 may lack (not in $allowed):" >&2
  echo "$missing" | sed 's/^/  /' >&2
  exit 1
fi
