#!/usr/bin/env bash
# Fails when a 32-bit Windows executable holds an SSE or SSE2 instruction
# outside the functions whose names contain "Sse2": the kernels that run only
# after CpuHasSse2(). Anything else would fault on the processors without
# SSE2 the 32-bit saver is built for (Pentium II and III, Athlon XP). The
# 32-bit saver's build runs it, beside the import check:
#   bash scripts/check-sse2.sh VelorinScreenSaver.scr
# Looked for: any instruction on an xmm register (the SSE and SSE2 arithmetic,
# the cvt* conversions, movd/movq to and from xmm), the SSE2 instructions on
# MMX registers (paddq, psubq, pmuludq), and the other SSE2 ones (lfence,
# mfence, clflush, movnti). `pause` runs everywhere, as a plain nop.
set -euo pipefail
executable=$1

listing=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$executable")
# Without its symbols the listing names no functions, and nothing can be told apart.
grep -q '^[0-9a-f]* <_WinMain@16>:$' <<<"$listing" || {
  echo "$executable: no symbols to find the functions by" >&2
  exit 1
}
found=$(awk '
  /^[0-9a-f]+ <.*>:$/ { name = $2; sub(/:$/, "", name); next }
  name ~ /Sse2/ { next }
  /%xmm/ || /:\t(lfence|mfence|clflush|movnti)( |$)/ || /:\t(paddq|psubq|pmuludq) .*%mm[0-7]/ {
    count[name]++
    if (!(name in first)) first[name] = $0
  }
  END { for (name in count) printf "  %s: %d, first %s\n", name, count[name], first[name] }' <<<"$listing")
if [ -n "$found" ]; then
  echo "$executable holds SSE or SSE2 instructions outside the ...Sse2 functions:" >&2
  echo "$found" >&2
  exit 1
fi
