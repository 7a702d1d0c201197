#!/bin/sh
# Installs what is missing, builds the program and starts it.
# Arguments are passed to the program (a setup file to open).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
if [ -x "$root/build/app/halvex" ]; then
  exec "$root/build/app/halvex" "$@"
fi
# Until the windows exist: evaluate the example setups with the command-line tool.
if [ "$#" -eq 0 ]; then set -- "$root"/examples/*.hvx; fi
exec "$root/build/cli/halvex-eval" "$@"
