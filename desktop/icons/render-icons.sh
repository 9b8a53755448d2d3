#!/bin/sh
# Renders the PNG icons from the one SVG drawing. Run it after changing the SVG, and commit the
# PNGs it writes (rsvg-convert is in Debian's librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "$size.png" org.quelvar.Quelvar.svg
done
