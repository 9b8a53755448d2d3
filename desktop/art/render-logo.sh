#!/bin/sh
# Renders logo.png, which the window shows, from logo.svg. Run it after changing the SVG and commit
# the PNG it writes (rsvg-convert is in Debian's librsvg2-bin).
set -eu
cd "$(dirname "$0")"
rsvg-convert --width 422 --height 155 --output logo.png logo.svg
