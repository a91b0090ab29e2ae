#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its drawing. Run after changing the SVG and commit the
# PNGs: the build itself needs no SVG renderer. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons/hicolor"

name=io.github.pinprobe.Pinprobe
for size in 16 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" "scalable/apps/$name.svg" \
    --output "${size}x${size}/apps/$name.png"
done
