#!/bin/sh
# The table commands over 10,000 rows against `halvex-eval --json` over the
# same files: --csv of the generated setup files, --make of a table of
# 10,000 rows (the setups the window evaluates, repeated under new names as
# needed), and --verify-table of the files made against their own switches,
# each in one call; prints rows per second.
#   bench/table-throughput.sh [BUILD_DIR] [COUNT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
count=${2:-10000}
cmake --build "$build" --target halvex-eval halvex-bench-gen -j2 >/dev/null
eval="$build/cli/halvex-eval"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/halvex-bench-gen" "$work/setups" "$count"
cat "$work"/setups/*.hvx >/dev/null # warm the page cache

now() { date +%s.%N; }
run() { # NAME COMMAND...: times one call, keeps its exit status
  name=$1; shift
  t0=$(now); status=0
  "$@" || status=$?
  t1=$(now)
  eval "${name}_time=\$(echo \"\$t1 - \$t0\" | bc -l)"
  eval "${name}_status=\$status"
}

run json sh -c '"$0" --json "$1"/setups/*.hvx >"$1/out.jsonl"' "$eval" "$work"
run csv sh -c '"$0" --csv "$1"/setups/*.hvx >"$1/all.csv"' "$eval" "$work"

# A table for --make: the rows that evaluate, repeated up to COUNT rows.
head -n 1 "$work/all.csv" >"$work/plant.csv"
grep ',ok,.$' "$work/all.csv" | awk -v n="$count" '
  { rows[NR] = substr($0, index($0, ",")) }
  END { for (i = 0; i < n; ++i) printf "unit-%05d%s\n", i, rows[i % NR + 1] }' >>"$work/plant.csv"
rows=$(($(wc -l <"$work/plant.csv") - 1))
run make "$eval" --make "$work/plant.csv" --into "$work/made"
made=$(find "$work/made" -name '*.hvx' | wc -l)
(cd "$work" && "$eval" --csv made/*.hvx >units.csv) || true
run verify "$eval" --verify-table "$work/units.csv" >"$work/verify.out"
matched=$(grep -c ': match: ' "$work/verify.out" || true)

awk -v n="$count" -v rows="$rows" -v made="$made" \
    -v tj="$json_time" -v sj="$json_status" -v tc="$csv_time" -v sc="$csv_status" \
    -v tm="$make_time" -v sm="$make_status" -v tv="$verify_time" -v sv="$verify_status" -v matched="$matched" 'BEGIN {
  printf "files:              %d generated setup files\n", n
  printf "halvex-eval --json: %.3f s  (%.0f files/s, exit status %d)\n", tj, n / tj, sj
  printf "halvex-eval --csv:  %.3f s  (%.0f rows/s, exit status %d; %.2f x --json)\n", tc, n / tc, sc, tc / tj
  printf "halvex-eval --make: %.3f s  (%d rows, %d files written, %.0f rows/s, exit status %d; %.2f x --json)\n", tm, rows, made, rows / tm, sm, tm / tj
  printf "halvex-eval --verify-table: %.3f s  (%d units, %d match, %.0f rows/s, exit status %d; %.2f x --json)\n", tv, made, matched, made / tv, sv, tv / tj
}'
