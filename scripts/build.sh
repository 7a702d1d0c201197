#!/bin/sh
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...]
set -eu
dir=$1; shift
cmake -S "$(dirname "$0")/.." -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
