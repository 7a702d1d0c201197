#!/bin/sh
# Installs what is missing, builds the project twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs the whole test suite
# in both builds.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j2)

"$root/scripts/build.sh" "$root/build-sanitize" -DHALVEX_SANITIZE=ON
(cd "$root/build-sanitize" && ctest --output-on-failure -j2)
