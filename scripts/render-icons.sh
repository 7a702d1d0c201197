#!/bin/sh
# Renders the program's icon (app/icons/halvex.svg) into the PNG files of the
# hicolor sizes that app/CMakeLists.txt installs beside the scalable one:
#   scripts/render-icons.sh
# Run it again after changing the icon, and commit the pictures. Needs
# rsvg-convert (package librsvg2-bin).
set -eu
icons=$(cd "$(dirname "$0")/../app/icons" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$icons/halvex-$size.png" "$icons/halvex.svg"
done
