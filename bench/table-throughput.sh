#!/bin/sh
# The table commands over 10,000 rows against `halvex-eval --json` over the
# same files: --csv of the generated setup files, --make of a table of
# 10,000 rows (the setups the window evaluates, repeated under new names as
# needed), and --verify-table of the files made against their own switches,
# each in one call; prints rows per second. Then the three ratios against the
# floor of the work: --make into an empty folder against copying the same
# made files into a new folder and syncing it (cp -r, then sync -f),
# alternated ROUNDS times in one run (medians); --force and --update over the
# files made against --make into an empty folder; --verify-table against
# --json.
#   bench/table-throughput.sh [BUILD_DIR] [COUNT] [ROUNDS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
count=${2:-10000}
rounds=${3:-3}
cmake --build "$build" --target halvex-eval halvex-bench-gen -j2 >/dev/null
eval="$build/cli/halvex-eval"
work=$(mktemp -d)
# Many small files: removed several at a time.
trap 'find "$work" -type f -print0 | xargs -0 -r -n 500 -P 8 rm -f; rm -rf "$work"' EXIT
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
# The files' own switches taken for what was read off the units.
(cd "$work" && "$eval" --csv made/*.hvx | sed '1s/,S1,S2,S3,S4,/,read S1,read S2,read S3,read S4,/' >units.csv) || true
run verify "$eval" --verify-table "$work/units.csv" --into "$work/made" >"$work/verify.out"
matched=$(grep -c ': match: ' "$work/verify.out" || true)

# --make into an empty folder and the copy of its files, alternated.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Each timing starts with nothing left to write. The folders are removed only
# at the end, several files at a time: a file system that has just freed
# many files can take longer to make the next ones (it passes over the
# freed ones), which would burden whichever command came next. The order of
# the two alternates from round to round.
settle() { sync -f "$work"; }
make_fresh() {
  settle
  run fresh "$eval" --make "$work/plant.csv" --into "$work/fresh$i" 2>/dev/null
  echo "$fresh_time" >>"$work/fresh.times"
}
copy_made() {
  settle
  run copy sh -c 'cp -r "$0" "$1" && sync -f "$1"' "$work/made" "$work/copy$i"
  echo "$copy_time" >>"$work/copy.times"
}
i=0
while [ "$i" -lt "$rounds" ]; do
  i=$((i + 1))
  if [ $((i % 2)) -eq 1 ]; then make_fresh; copy_made; else copy_made; make_fresh; fi
  settle
  run force "$eval" --make "$work/plant.csv" --into "$work/fresh$i" --force 2>/dev/null
  echo "$force_time" >>"$work/force.times"
  settle
  run update "$eval" --make "$work/plant.csv" --into "$work/fresh$i" --update >/dev/null 2>&1
  echo "$update_time" >>"$work/update.times"
done
tf=$(median <"$work/fresh.times"); tcp=$(median <"$work/copy.times")
tfo=$(median <"$work/force.times"); tu=$(median <"$work/update.times")
# Each round's own ratio: the two ran back to back, under the same writes of
# the rest of the machine, which move both medians a lot from run to run.
rpair=$(paste "$work/fresh.times" "$work/copy.times" | awk '{ print $1 / $2 }' | median)

awk -v n="$count" -v rows="$rows" -v made="$made" \
    -v tj="$json_time" -v sj="$json_status" -v tc="$csv_time" -v sc="$csv_status" \
    -v tm="$make_time" -v sm="$make_status" -v tv="$verify_time" -v sv="$verify_status" -v matched="$matched" \
    -v tf="$tf" -v tcp="$tcp" -v tfo="$tfo" -v tu="$tu" -v rpair="$rpair" -v rounds="$rounds" 'BEGIN {
  printf "files:              %d generated setup files\n", n
  printf "halvex-eval --json: %.3f s  (%.0f files/s, exit status %d)\n", tj, n / tj, sj
  printf "halvex-eval --csv:  %.3f s  (%.0f rows/s, exit status %d; %.2f x --json)\n", tc, n / tc, sc, tc / tj
  printf "halvex-eval --make: %.3f s  (%d rows, %d files written, %.0f rows/s, exit status %d; %.2f x --json)\n", tm, rows, made, rows / tm, sm, tm / tj
  printf "halvex-eval --verify-table: %.3f s  (%d units, %d match, %.0f rows/s, exit status %d; %.2f x --json)\n", tv, made, matched, made / tv, sv, tv / tj
  printf "medians of %d alternated rounds:\n", rounds
  printf "  --make into an empty folder %.3f s, cp -r + sync -f of its files %.3f s: %.2f x (target 1.5 x)\n", tf, tcp, tf / tcp
  printf "    the same, the median of the ratio within each round: %.2f x\n", rpair
  printf "  --make --force over them %.3f s: %.2f x --make into an empty folder (target 2 x)\n", tfo, tfo / tf
  printf "  --make --update over them (none changed) %.3f s: %.2f x --make into an empty folder (target 2 x)\n", tu, tu / tf
  printf "  --verify-table %.3f s: %.2f x --json (target 1.5 x)\n", tv, tv / tj
}'
