#!/bin/sh
# The real program answers --help and --version, and refuses an unknown
# option, without a display: the window system is never started.
#   commandline.sh PROGRAM VERSION
set -u
prog=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
fail() { echo "FAIL: $*"; exit 1; }
run() { "$prog" "$@" >"$out/stdout" 2>"$out/stderr"; echo $?; }

[ "$(run --version)" = 0 ] || fail "--version: exit status"
[ "$(cat "$out/stdout")" = "halvex $version" ] || fail "--version printed: $(cat "$out/stdout")"
[ "$(run --help)" = 0 ] || fail "--help: exit status"
grep -q '^Usage: halvex' "$out/stdout" && [ ! -s "$out/stderr" ] || fail "--help printed: $(cat "$out/stdout" "$out/stderr")"
[ "$(run --no-such-option)" = 2 ] || fail "unknown option: exit status"
grep -q -- '--no-such-option' "$out/stderr" && [ ! -s "$out/stdout" ] || fail "unknown option printed: $(cat "$out/stdout" "$out/stderr")"
echo "--help, --version and an unknown option answered without a display"
