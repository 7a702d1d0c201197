#!/bin/sh
# Starts the real program under a virtual X server on a setup file, checks
# that its window carries the file's path in the title, answers the splash
# screen with a click and leaves through File, Exit.
#   endtoend.sh PROGRAM SETUP-FILE
# Exit status 77 (skipped) when no X virtual frame buffer is installed.
set -u
prog=$1
setup=$2
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
for tool in xdotool xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing (scripts/deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/app.log" ] && { echo "the program said:"; cat "$work/app.log"; }
  exit 1
}

# A display number of its own: the server picks a free one and tells it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$work/display" ]; do
  i=$((i + 1)); [ $i -gt 300 ] && fail "the X server did not start: $(cat "$work/xvfb.log")"
  sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
# The program must use that X server, whatever platform the test run chose.
QT_QPA_PLATFORM=xcb
export QT_QPA_PLATFORM

# The setup file in a folder whose name has a blank, as users' folders do.
mkdir -p "$work/My Setups"
file="$work/My Setups/plant 7.hvx"
cp "$setup" "$file"
export XDG_RUNTIME_DIR="$work"
"$prog" "$file" >"$work/app.log" 2>&1 &
app=$!

expected="Halvex Switch Setup - $file"
wid=""
i=0
while [ -z "$wid" ]; do
  i=$((i + 1)); [ $i -gt 300 ] && fail "no main window; the program said: $(cat "$work/app.log")"
  wid=$(xdotool search --name '^Halvex Switch Setup' 2>/dev/null | head -n 1)
  [ -z "$wid" ] && sleep 0.1
done
title=$(xprop -id "$wid" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[ "$title" = "$expected" ] || fail "title is '$title', expected '$expected'"
echo "window title: $title"

# Activating the window brings up the splash screen (unless its time ran out
# before, on a slow machine: then it never shows); a click closes it.
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
i=0
splash=""
while [ $i -lt 40 ] && [ -z "$splash" ]; do
  splash=$(xdotool search --onlyvisible --name '^Halvex QVR Splash Screen$' 2>/dev/null | head -n 1)
  i=$((i + 1)); [ -z "$splash" ] && sleep 0.1
done
if [ -n "$splash" ]; then
  # Its top left corner lies outside the main window (both are centred and
  # the splash screen is the larger), so a click that comes just after the
  # splash screen's time ran out reaches no control.
  xdotool mousemove --window "$splash" 4 4 click 1
  i=0
  while xdotool search --onlyvisible --name '^Halvex QVR Splash Screen$' >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -gt 50 ] && fail "the splash screen did not close on a click"
    sleep 0.1
  done
  echo "splash screen closed by a click"
fi

# File, Exit: the menu opens on a click (a window of its own), Up wraps to
# its last item.
shown() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
before=$(shown)
xdotool mousemove --window "$wid" 12 10 click 1
i=0
while [ "$(shown)" -le "$before" ]; do
  i=$((i + 1)); [ $i -gt 300 ] && fail "the File menu did not open"
  sleep 0.1
done
xdotool key Up Return
i=0
while kill -0 "$app" 2>/dev/null; do
  i=$((i + 1)); [ $i -gt 300 ] && fail "the program did not end after File, Exit"
  sleep 0.1
done
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "exit status $status"
echo "ended with exit status 0"
