#!/bin/sh
# Configures and builds one build tree:
#   scripts/build.sh DIR [cmake options...]
# With HALVEX_BUILD_TARGET set, builds only that target (e.g. halvex).
set -eu
dir=$1; shift
cmake -S "$(dirname "$0")/.." -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVEX_WERROR=ON "$@" >/dev/null
if [ -n "${HALVEX_BUILD_TARGET:-}" ]; then
  cmake --build "$dir" -j"$(nproc)" --target "$HALVEX_BUILD_TARGET"
else
  cmake --build "$dir" -j"$(nproc)"
fi
