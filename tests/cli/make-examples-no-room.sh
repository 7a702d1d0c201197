#!/bin/sh
# The examples writer, with files limited to 0 bytes, must fail with a
# message and leave no file behind.
#
#   make-examples-no-room.sh PROGRAM
set -u
program=$1
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
# The message comes through a pipe, which the limit does not touch.
message=$( (trap '' XFSZ; ulimit -f 0; exec "$program" "$dir") 2>&1 )
status=$?
[ $status -ne 0 ] || { echo "exit status 0 although nothing could be written"; exit 1; }
[ -n "$message" ] || { echo "no message"; exit 1; }
left=$(ls -A "$dir")
[ -z "$left" ] || { echo "left behind: $left"; exit 1; }
echo "failed as it should: $message"
