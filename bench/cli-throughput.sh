#!/bin/sh
# Evaluates COUNT generated setup files in one `halvex-eval --json` call and
# compares its wall time with that of `cat` over the same files. The two
# alternate for RUNS rounds, so that a busy moment of the machine falls on
# both; the medians and their ratio are printed.
#   bench/cli-throughput.sh [BUILD_DIR] [COUNT] [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
count=${2:-10000}
runs=${3:-7}
cmake --build "$build" --target halvex-eval halvex-bench-gen -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/halvex-bench-gen" "$work/setups" "$count"

now() { date +%s.%N; }
# Warm the page cache so every run reads from memory.
cat "$work"/setups/*.hvx >/dev/null

status=0
: >"$work/times"
i=0
while [ "$i" -lt "$runs" ]; do
  t0=$(now)
  "$build/cli/halvex-eval" --json "$work"/setups/*.hvx >"$work/out.jsonl" || status=$?
  t1=$(now)
  cat "$work"/setups/*.hvx >/dev/null
  t2=$(now)
  echo "$t0 $t1 $t2" >>"$work/times"
  i=$((i + 1))
done

lines=$(wc -l <"$work/out.jsonl")
ok=$(grep -c '"status": "ok"' "$work/out.jsonl" || true)
refused=$(grep -c '"status": "refused"' "$work/out.jsonl" || true)
awk -v n="$count" -v lines="$lines" -v ok="$ok" -v refused="$refused" -v status="$status" '
function median(a, k,    i, j, t) {
  for (i = 2; i <= k; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
  return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
}
{ k++; e[k] = $2 - $1; c[k] = $3 - $2; r[k] = e[k] / c[k] }
END {
  printf "files:              %d (%d reports: %d ok, %d refused; exit status %d)\n", n, lines, ok, refused, status
  printf "runs:               %d, alternating\n", k
  me = median(e, k); mc = median(c, k)
  printf "halvex-eval --json: %.3f s median  (%.0f files/s)\n", me, n / me
  printf "cat (same files):   %.3f s median\n", mc
  printf "ratio of medians:   %.2f x cat (median of the per-run ratios %.2f)\n", me / mc, median(r, k)
}' "$work/times"
