#!/bin/sh
# A --make of 10,000 rows stopped by SIGINT, SIGTERM and SIGHUP at a random
# moment while it writes leaves its folder as it was: the files it would
# replace with their old content, nothing made beside them. A --pdf stopped
# while it draws leaves no scratch folder behind.
# usage: make-stopped.sh HALVEX_EVAL EXAMPLES_DIR
set -u
eval=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() {
    echo "make-stopped: $*" >&2
    exit 1
}

awk 'BEGIN { print "file,input type,input range,output 1"
             for (i = 1; i <= 10000; i++) printf "unit-%05d,Voltage,0 to 10 V,4 to 20 mA source\n", i }' >plant.csv
fresh() {
    rm -rf out && mkdir out || exit 1
    for i in 00001 05000 10000; do printf 'old %s' $i >out/unit-$i.hvx; done
    echo keep >out/notes.txt
}
snapshot() { (cd out && ls -A && cat unit-00001.hvx unit-05000.hvx unit-10000.hvx notes.txt | cksum); }
# Up to 300 ms.
randomDelay() { sleep "0.$(od -An -N2 -tu2 /dev/urandom | awk '{ printf "%03d", $1 % 300 }')"; }
# Waits until a name matching the pattern shows in the folder (5 s at most).
waitFor() {
    n=0
    until ls -A "$1" | grep -q "$2"; do
        n=$((n + 1))
        [ $n -lt 1000 ] || return 1
        sleep 0.005
    done
}

fresh
before=$(snapshot)
for sig in INT TERM HUP; do
    # A shell starts background programs with SIGINT ignored; a user's does not.
    env --default-signal=INT,TERM,HUP "$eval" --make plant.csv --into out --force 2>err &
    pid=$!
    waitFor out '\.part$' || fail "$sig: no temporary file seen"
    randomDelay
    kill -$sig $pid
    wait $pid
    status=$?
    if [ $status -eq 0 ]; then
        # It ended before the signal came: then every file is the new one.
        [ "$(ls out | grep -c '^unit-.*\.hvx$')" -eq 10000 ] && [ "$(ls -A out | wc -l)" -eq 10001 ] ||
            fail "$sig: finished, but not with the whole new set"
        echo "make-stopped: $sig came after the run ended"
        fresh
        continue
    fi
    [ "$(kill -l $status)" = "$sig" ] || fail "$sig: ended with status $status: $(cat err)"
    [ "$(snapshot)" = "$before" ] || fail "$sig: the folder changed: $(ls -A out | head)"
    echo "make-stopped: $sig stopped the run; the folder is as it was"
done

mkdir tmp
TMPDIR=$work/tmp env --default-signal=INT,TERM,HUP "$eval" --pdf sheets.pdf "$examples"/*.hvx >/dev/null 2>&1 &
pid=$!
waitFor tmp '^halvex-eval-' || fail "no scratch folder seen"
kill -TERM $pid
wait $pid
[ -z "$(ls -A tmp | grep '^halvex-eval-')" ] || fail "--pdf left $(ls -A tmp)"
[ ! -e sheets.pdf ] && [ -z "$(ls -A . | grep '\.part$')" ] || fail "--pdf left its output"
echo "make-stopped: --pdf stopped while drawing left nothing"
