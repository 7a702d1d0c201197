#!/bin/sh
# The program's windows on a real Wayland compositor: weston with its headless
# back end, in a private runtime folder, and TEST-PROGRAM driving them there.
#   wayland.sh TEST-PROGRAM SETUP-FILE
# Exit status 77 (skipped) when weston is not installed.
set -u
tests=$1
setup=$2
if ! command -v weston >/dev/null 2>&1; then
  echo "weston is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
weston=""
cleanup() {
  [ -n "$weston" ] && kill "$weston" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The compositor's socket in a folder only this user may enter, as a session
# gives it; --debug lets weston-debug ask for the scene graph.
XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
WAYLAND_DISPLAY=wayland-halvex-test
XDG_CONFIG_HOME=$work/config
QT_QPA_PLATFORM=wayland
export XDG_RUNTIME_DIR WAYLAND_DISPLAY XDG_CONFIG_HOME QT_QPA_PLATFORM
unset DISPLAY
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug \
  --log="$work/weston.log" &
weston=$!
i=0
while [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do
  i=$((i + 1))
  [ $i -gt 300 ] && { echo "weston did not start:"; cat "$work/weston.log"; exit 1; }
  sleep 0.1
done
HALVEX_SETUP_FILE=$setup "$tests"
