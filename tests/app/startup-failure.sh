#!/bin/sh
# The program whose start-up fails shows the error's text and ends with a
# non-zero exit status.
#
#   startup-failure.sh PROGRAM PRELOAD-LIBRARY
set -u
program=$1
preload=$2
# A sanitizer build checks that its runtime is loaded first; the preloaded
# library comes before it on purpose.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
output=$(QT_QPA_PLATFORM=offscreen LD_PRELOAD="$preload" timeout 60 "$program" 2>&1)
status=$?
echo "$output" | grep -qx "message: windows could not be made" || { echo "no message; the program said: $output"; exit 1; }
[ $status -ne 0 ] || { echo "exit status 0 after a failed start"; exit 1; }
[ $status -ne 124 ] || { echo "the program did not end"; exit 1; }
echo "failed as it should, exit status $status"
