#!/bin/sh
# A --make --update of 10,000 rows, 7,500 of them changed, killed outright
# (SIGKILL, as a power cut) at a random moment while it moves its files,
# five times: each next run finds what the killed one left, says so, and
# leaves the table's set of files and nothing else. So too after a kill
# while the files are written, and one into a folder not there yet.
# usage: make-killed.sh HALVEX_EVAL
set -u
eval=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() {
    echo "make-killed: $*" >&2
    exit 1
}

# Two tables: every fourth unit the same in both.
table() {
    awk -v out="$1" 'BEGIN { print "file,input type,input range,output 1"
        for (i = 1; i <= 10000; i++)
            printf "unit-%05d,Voltage,0 to 10 V,%s\n", i, (i % 4 == 0 || out == "") ? "4 to 20 mA source" : out }'
}
table "" >a.csv
table "0 to 20 mA source" >b.csv
"$eval" --make a.csv --into out 2>err || fail "the first run: $(cat err)"
"$eval" --make b.csv --into same 2>err || fail "the second table's files: $(cat err)"
"$eval" --make a.csv --into old 2>err || fail "the first table's files: $(cat err)"

# Up to 20 ms.
randomDelay() { sleep "0.0$(od -An -N2 -tu2 /dev/urandom | awk '{ printf "%02d", $1 % 20 }')"; }
# The folder holds the files of the table made into want and nothing else.
holds() { diff -r out "$1" >/dev/null; }

i=0
next=b
while [ $i -lt 5 ]; do
    i=$((i + 1))
    "$eval" --make $next.csv --into out --update >/dev/null 2>err &
    pid=$!
    n=0
    until [ -e out/.halvex-moves ] || ! kill -0 $pid 2>/dev/null; do
        n=$((n + 1))
        [ $n -lt 20000 ] || fail "kill $i: the moves never started"
        sleep 0.001
    done
    randomDelay
    kill -KILL $pid 2>/dev/null
    { wait $pid; } 2>/dev/null
    if [ ! -e out/.halvex-moves ]; then
        echo "make-killed: kill $i came after the moves" >&2
        [ $next = b ] && want=same || want=old
        holds $want || fail "kill $i: ended, but not with the whole new set"
    else
        # The next run of the same table finishes the killed run's moves.
        "$eval" --make $next.csv --into out --update >listing 2>err || fail "after kill $i: $(cat err)"
        grep -q '^halvex-eval: the folder out: a run was stopped while it moved its files: [0-9,]* files\? put in place now' err ||
            fail "after kill $i, nothing was said of it: $(cat err)"
        [ "$(cat listing)" = "unchanged: 10,000" ] || fail "after kill $i, the run found changes: $(head -3 listing)"
        [ $next = b ] && want=same || want=old
        holds $want || fail "after kill $i, the folder is not the table's: $(diff -rq out $want | head -3)"
        echo "make-killed: kill $i: $(grep -o 'stopped while.*' err)"
    fi
    [ $next = b ] && next=a || next=b
done

# Killed while it writes its temporaries, or its folder beside its place.
"$eval" --make b.csv --into out --force >/dev/null 2>err &
pid=$!
until ls out | grep -q '\.part$'; do sleep 0.001; done
kill -KILL $pid
{ wait $pid; } 2>/dev/null
"$eval" --make a.csv --into new >/dev/null 2>err &
pid=$!
until ls | grep -q '^new\..*\.part$'; do sleep 0.001; done
kill -KILL $pid
{ wait $pid; } 2>/dev/null
"$eval" --make a.csv --into out --update >listing 2>err || fail "after the kills while writing: $(cat err)"
grep -q 'temporar.* of stopped runs removed' err || fail "the temporaries were not named: $(cat err)"
"$eval" --make a.csv --into new 2>err || fail "into the new folder: $(cat err)"
grep -q '1 folder left beside it by stopped runs removed' err || fail "the folder beside was not named: $(cat err)"
[ -z "$(ls | grep '\.part$')" ] && diff -r new old >/dev/null && diff -r out old >/dev/null ||
    fail "left behind: $(ls -A . out | grep part | head -3)"
echo "make-killed: $(grep -o 'the folder.*' err)"
