#!/bin/sh
# --make over tables made to be costly: ten million rows that each have a
# problem (20 MB), and 1,000 rows under a header of 100,000 columns (100 MB).
# Prints the time, the largest memory the run held and the table's size:
# problems are told as found (100, then a count), the header is indexed
# once, and a table is held once, read a record at a time.
#   bench/table-bounds.sh [BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" --target halvex-eval -j2 >/dev/null
eval="$build/cli/halvex-eval"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN { print "file"; for (i = 0; i < 10000000; i++) print "x" }' >"$work/bad.csv"
awk 'BEGIN { OFS = ","; n = 100000
             h = "file,input type,input range,output 1"; for (c = 4; c < n; c++) h = h ",c" c; print h
             e = ""; for (c = 4; c < n; c++) e = e ","
             for (r = 0; r < 1000; r++) print "u" r ",Voltage,0 to 10 V,4 to 20 mA source" e }' >"$work/wide.csv"

for table in bad wide; do
    rm -rf "$work/out"
    /usr/bin/time -f "%e %M" -o "$work/time" "$eval" --make "$work/$table.csv" --into "$work/out" \
        >/dev/null 2>"$work/err" || true
    read -r seconds kb <<EOT
$(tail -n 1 "$work/time")
EOT
    echo "$table.csv: $(($(wc -c <"$work/$table.csv") / 1048576)) MB, $seconds s, $((kb / 1024)) MB held," \
        "$(wc -l <"$work/err") lines on standard error"
done
