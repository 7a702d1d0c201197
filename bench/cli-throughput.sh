#!/bin/sh
# Evaluates 10,000 generated setup files in one `halvex-eval --json` call and
# prints files per second beside the wall time of `cat` over the same files.
#   bench/cli-throughput.sh [BUILD_DIR] [COUNT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
count=${2:-10000}
cmake --build "$build" --target halvex-eval halvex-bench-gen -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/halvex-bench-gen" "$work/setups" "$count"

now() { date +%s.%N; }
# Warm the page cache so both runs read from memory.
cat "$work"/setups/*.hvx >/dev/null

t0=$(now)
status=0
"$build/cli/halvex-eval" --json "$work"/setups/*.hvx >"$work/out.jsonl" || status=$?
t1=$(now)
cat "$work"/setups/*.hvx >/dev/null
t2=$(now)

lines=$(wc -l <"$work/out.jsonl")
ok=$(grep -c '"status": "ok"' "$work/out.jsonl" || true)
refused=$(grep -c '"status": "refused"' "$work/out.jsonl" || true)
awk -v n="$count" -v t0="$t0" -v t1="$t1" -v t2="$t2" \
    -v lines="$lines" -v ok="$ok" -v refused="$refused" -v status="$status" 'BEGIN {
  e = t1 - t0; c = t2 - t1
  printf "files:              %d (%d reports: %d ok, %d refused; exit status %d)\n", n, lines, ok, refused, status
  printf "halvex-eval --json: %.3f s  (%.0f files/s)\n", e, n / e
  printf "cat (same files):   %.3f s\n", c
  printf "ratio:              %.1f x cat\n", e / c
}'
