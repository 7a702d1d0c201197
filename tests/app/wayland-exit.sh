#!/bin/sh
# The program ends when its window is closed on Wayland, every time: weston
# with its X11 back end in a virtual X server, keys typed into the compositor
# as a user types them.
#   wayland-exit.sh PROGRAM SETUP-FILE [RUNS]
# Each run starts the program on the setup file, closes the splash screen
# with Escape, evaluates with Ctrl+E, goes back from the results window with
# Escape (which stores the print options) and quits with Ctrl+Q. The process
# must be gone within a second of Ctrl+Q, and the print options file must
# have been written, in every run. Prints the time each exit took.
# Exit status 77 (skipped) when weston, Xvfb or xdotool is not installed.
set -u
program=$1
setup=$2
runs=${3:-30}
for tool in weston Xvfb xdotool weston-debug; do
  if ! command -v $tool >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb=""
weston=""
app=""
cleanup() {
  [ -n "$app" ] && kill -9 "$app" 2>/dev/null
  [ -n "$weston" ] && kill "$weston" 2>/dev/null && wait "$weston"
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  cat "$work/weston.log" "$work/app.log" 2>/dev/null | tail -n 20
  exit 1
}
# Waits up to 10 s for the command to succeed.
await() {
  i=0
  until "$@"; do
    i=$((i + 1))
    [ $i -gt 200 ] && return 1
    sleep 0.05
  done
}
shows() { weston-debug scene-graph 2>/dev/null | grep -qF "top-level window '$1'"; }
hides() { ! shows "$1"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
await test -s "$work/display" || fail "the X server did not start"
DISPLAY=:$(cat "$work/display")
XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
WAYLAND_DISPLAY=wayland-halvex-exit
XDG_CONFIG_HOME=$work/config
export DISPLAY XDG_RUNTIME_DIR WAYLAND_DISPLAY XDG_CONFIG_HOME
# Without animations the keyboard goes back to the main window as soon as
# another window closes (not after a fade of its own).
mkdir "$XDG_CONFIG_HOME"
printf '[shell]\nclose-animation=none\nstartup-animation=none\nfocus-animation=none\nanimation=none\n' \
  >"$XDG_CONFIG_HOME/weston.ini"
weston --backend=x11-backend.so --use-pixman --width=1024 --height=768 --socket="$WAYLAND_DISPLAY" \
  --idle-time=0 --debug --log="$work/weston.log" >"$work/weston.out" 2>&1 </dev/null &
weston=$!
await test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"
# The compositor's window (its log names it) takes the keyboard.
window_id() { sed -n 's/.*x11 output .*, window id \([0-9]*\).*/\1/p' "$work/weston.log"; }
await test -n "$(window_id)" || fail "weston shows no window"
xdotool windowfocus --sync "$(window_id)" mousemove 512 384

# The program keeps its print options beside itself while a file is there:
# values of 2 read as on and are written back as 1.
mkdir "$work/bin"
cp "$program" "$work/bin/halvex"
options=$work/bin/hvxprint.ini
printf '\002\000\000\000\002\000\000\000\002\000\000\000\002\000\000\000' >"$work/stale"
printf '\001\000\000\000\001\000\000\000\001\000\000\000\001\000\000\000' >"$work/stored"

times=""
run=1
while [ $run -le $runs ]; do
  cp "$work/stale" "$options"
  QT_QPA_PLATFORM=wayland "$work/bin/halvex" "$setup" >"$work/app.log" 2>&1 &
  app=$!
  await shows "Halvex QVR Splash Screen" || fail "run $run: no splash screen"
  xdotool key Escape
  await hides "Halvex QVR Splash Screen" || fail "run $run: the splash screen stayed"
  xdotool key ctrl+e
  await shows Results || fail "run $run: Ctrl+E showed no results window"
  xdotool key Escape
  await hides Results || fail "run $run: Escape left the results window open"
  cmp -s "$options" "$work/stored" || fail "run $run: the print options were not written"
  start=$(now_ms)
  xdotool key ctrl+q
  while kill -0 "$app" 2>/dev/null && [ $(($(now_ms) - start)) -lt 1000 ]; do
    sleep 0.01
  done
  took=$(($(now_ms) - start))
  kill -0 "$app" 2>/dev/null && fail "run $run: the process was still there 1 s after Ctrl+Q"
  wait "$app"
  status=$?
  app=""
  [ $status -eq 0 ] || fail "run $run: the program ended with status $status"
  times="$times $took"
  run=$((run + 1))
done
echo "$runs of $runs runs ended within a second of Ctrl+Q; milliseconds:$times"
