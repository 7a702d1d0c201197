#!/bin/sh
# Installs what is missing, builds the project twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs the whole test suite
# in both builds; the plain build's Debian package is made and checked too.
# Sources that do not follow .clang-format fail the run first.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/format.sh" --check
export QT_QPA_PLATFORM=offscreen
# The sanitizer build carries its own options (leak checking included).

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j2)
# The Debian package made from the plain build, checked as a system sees it.
"$root/scripts/check-package.sh" "$root/build"

"$root/scripts/build.sh" "$root/build-sanitize" -DHALVEX_SANITIZE=ON
(cd "$root/build-sanitize" && ctest --output-on-failure -j2)
