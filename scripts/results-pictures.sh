#!/bin/sh
# Renders the results window for the main kinds of setup (single output, dual
# analog, trip relay, frequency) and the Read Switches window (switches a setup
# gives, switches none gives) into the PNG files that README.md shows:
#   scripts/results-pictures.sh [OUTPUT-FOLDER]     (default docs/pictures)
# The build folder is build/ unless BUILD_DIR names another.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/pictures}
build=${BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target halvex-results-pictures
QT_QPA_PLATFORM=offscreen "$build/tools/halvex-results-pictures" "$out"
