#!/usr/bin/env bash
# Draws the program's icon, a faceted gem on a lavender tile, at every size
# Windows asks for, and packs them into VelorinScreenSaver.ico.
# Run by hand after changing the drawing; the .ico is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn once at 256 pixels on a 256 grid, then scaled down.
convert -size 256x256 xc:none \
  -fill '#C8B8F0' -stroke '#8E7CC3' -strokewidth 6 -draw "roundrectangle 8,8 248,248 40,40" \
  -stroke '#2E1F66' -strokewidth 5 \
  -fill '#6A4FD0' -draw "polygon 56,96 88,56 168,56 200,96 128,212" \
  -fill '#9A83F0' -draw "polygon 88,56 128,96 168,56" \
  -fill '#B9A8FF' -draw "polygon 56,96 88,56 128,96" \
  -fill '#7B62E0' -draw "polygon 128,96 168,56 200,96" \
  -fill '#4B33A8' -draw "polygon 56,96 128,96 128,212" \
  -fill '#5D43C0' -draw "polygon 128,96 200,96 128,212" \
  -stroke none -fill 'rgba(255,255,255,0.85)' -draw "polygon 84,92 96,68 110,92" \
  "$work/gem256.png"
for size in 16 24 32 48 64 128; do
  convert "$work/gem256.png" -resize ${size}x${size} "$work/gem$size.png"
done
convert "$work"/gem16.png "$work"/gem24.png "$work"/gem32.png "$work"/gem48.png \
  "$work"/gem64.png "$work"/gem128.png "$work"/gem256.png -depth 8 VelorinScreenSaver.ico
