#!/bin/sh
# Evaluates COUNT generated setup files in one `halvex-eval --json` call and
# compares its wall time with that of `cat` over the same files. The two
# alternate for RUNS rounds, so that a busy moment of the machine falls on
# both; the medians and their ratio are printed, and beside them the
# processor time (user and system) each used, which a busy machine changes
# less.
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
# Processor seconds used so far by the programs this shell ran: `times` is a
# built-in that counts the children of the shell it runs in, so it writes to
# a file here rather than in a command substitution's subshell.
cpu_mark() { times >"$work/cpu.$1"; }
cpu_of() {
  awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); print u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$work/cpu.$1"
}
# Warm the page cache so every run reads from memory.
cat "$work"/setups/*.hvx >/dev/null

status=0
: >"$work/times"
i=0
while [ "$i" -lt "$runs" ]; do
  cpu_mark 0; t0=$(now)
  "$build/cli/halvex-eval" --json "$work"/setups/*.hvx >"$work/out.jsonl" || status=$?
  t1=$(now); cpu_mark 1
  cat "$work"/setups/*.hvx >/dev/null
  t2=$(now); cpu_mark 2
  echo "$t0 $t1 $t2 $(cpu_of 0) $(cpu_of 1) $(cpu_of 2)" >>"$work/times"
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
{ k++; e[k] = $2 - $1; c[k] = $3 - $2; r[k] = e[k] / c[k]; ep[k] = $5 - $4; cp[k] = $6 - $5 }
END {
  printf "files:              %d (%d reports: %d ok, %d refused; exit status %d)\n", n, lines, ok, refused, status
  printf "runs:               %d, alternating\n", k
  me = median(e, k); mc = median(c, k)
  printf "halvex-eval --json: %.3f s median  (%.0f files/s)\n", me, n / me
  printf "cat (same files):   %.3f s median\n", mc
  printf "ratio of medians:   %.2f x cat (median of the per-run ratios %.2f)\n", me / mc, median(r, k)
  mep = median(ep, k); mcp = median(cp, k)
  printf "processor time:     %.3f s halvex-eval, %.3f s cat (medians): %.2f x cat\n", mep, mcp, (mcp > 0 ? mep / mcp : 0)
}' "$work/times"
