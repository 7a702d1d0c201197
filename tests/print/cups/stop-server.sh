#!/bin/sh
# Stops the test print server started by start-server.sh DIR (only that one:
# the process recorded in DIR/cupsd.pid, if it still runs our configuration).
#
#   stop-server.sh DIR
set -eu
dir=$1
pidfile=$dir/cupsd.pid
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
if [ -n "$pid" ] && grep -q "$dir/conf/cupsd.conf" "/proc/$pid/cmdline" 2>/dev/null; then
  kill "$pid" 2>/dev/null || true
  tries=0
  while kill -0 "$pid" 2>/dev/null && [ $tries -lt 50 ]; do
    tries=$((tries + 1)); sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
fi
rm -f "$pidfile"
