#!/bin/sh
# The program on a real Wayland compositor: weston with its headless back end,
# in a private runtime folder.
#   wayland.sh PROGRAM TEST-PROGRAM SETUP-FILE
# First the program itself, copied into a folder of its own: its main window
# shows with the desktop entry's id as its app id, it writes nothing on
# standard error, and it makes no file in its own folder. Then TEST-PROGRAM
# drives the program's windows there (the results window, the About box).
# Exit status 77 (skipped) when weston is not installed.
set -u
program=$1
tests=$2
setup=$3
if ! command -v weston >/dev/null 2>&1; then
  echo "weston is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
weston=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$weston" ] && kill "$weston" 2>/dev/null && wait "$weston"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  cat "$work/weston.log" "$work/app.log" 2>/dev/null
  exit 1
}

# The compositor's socket in a folder only this user may enter, as a session
# gives it; --debug lets weston-debug ask for the scene graph.
XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
WAYLAND_DISPLAY=wayland-halvex-test
XDG_CONFIG_HOME=$work/config
QT_QPA_PLATFORM=wayland
export XDG_RUNTIME_DIR WAYLAND_DISPLAY XDG_CONFIG_HOME QT_QPA_PLATFORM
unset DISPLAY
# Its output, and that of the helper clients it starts, goes to a file: a
# helper still holding the test's output open would keep ctest waiting.
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug \
  --log="$work/weston.log" >"$work/weston.out" 2>&1 </dev/null &
weston=$!
i=0
while [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do
  i=$((i + 1))
  [ $i -gt 300 ] && fail "weston did not start"
  sleep 0.1
done

mkdir "$work/bin"
cp "$program" "$work/bin/halvex"
"$work/bin/halvex" "$setup" >"$work/app.log" 2>&1 &
app=$!
window="top-level window 'Halvex Switch Setup - $setup' of com.halvex.switchsetup"
i=0
until weston-debug scene-graph 2>/dev/null | grep -qF "$window"; do
  i=$((i + 1)); [ $i -gt 300 ] && fail "weston shows no $window"
  sleep 0.1
done
[ -s "$work/app.log" ] && fail "the program wrote on standard error"
[ "$(ls -A "$work/bin")" = halvex ] || fail "the program made files in its folder: $(ls -A "$work/bin")"
kill "$app"
app=""
HALVEX_SETUP_FILE=$setup "$tests" || fail "the windows on Wayland"
