#!/bin/sh
# Reads the real program through the accessibility bus (AT-SPI), as a screen
# reader does, under a virtual X server and a D-Bus session of its own.
#   accessibility.sh PROGRAM EVALUATOR EXAMPLES-DIR
# Exit status 77 (skipped) when no X virtual frame buffer is installed.
set -u
here=$(dirname "$0")
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
command -v dbus-run-session >/dev/null 2>&1 || { echo "dbus-run-session is missing (scripts/deps.sh installs it)"; exit 1; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "at-spi2-core is missing (scripts/deps.sh installs it)"; exit 1; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is missing (scripts/deps.sh installs it)"; exit 1; }
command -v xdotool >/dev/null 2>&1 || { echo "xdotool is missing (scripts/deps.sh installs it)"; exit 1; }

work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$work/display" ]; do
  i=$((i + 1))
  [ $i -gt 300 ] && { echo "FAIL: the X server did not start: $(cat "$work/xvfb.log")"; exit 1; }
  sleep 0.1
done
DISPLAY=:$(cat "$work/display")
# The program on that X server, telling the accessibility bus about itself
# without a desktop that asks it to.
QT_QPA_PLATFORM=xcb
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
XDG_RUNTIME_DIR=$work
XDG_CONFIG_HOME=$work/config
export DISPLAY QT_QPA_PLATFORM QT_LINUX_ACCESSIBILITY_ALWAYS_ON XDG_RUNTIME_DIR XDG_CONFIG_HOME
# The session bus starts the accessibility bus when it is first asked for.
dbus-run-session -- /usr/bin/python3 "$here/accessibility.py" "$@" 2>"$work/session.log"
status=$?
[ $status -eq 0 ] || grep -v 'fd limit' "$work/session.log" | tail -n 20
exit $status
