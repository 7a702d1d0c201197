#!/bin/sh
# Installs what is missing, builds the program (not the tests) and starts it.
# Arguments are passed to the program (a setup file to open).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
HALVEX_BUILD_TARGET=halvex "$root/scripts/build.sh" "$root/build"
exec "$root/build/app/halvex" "$@"
