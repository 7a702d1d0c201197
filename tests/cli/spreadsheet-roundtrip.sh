#!/bin/sh
# A table exported by halvex-eval goes through a real spreadsheet: Calc opens
# it, saves it as .xlsx, and saves that back as CSV with semicolons. --make
# and --verify-table then read what the spreadsheet wrote.
#   spreadsheet-roundtrip.sh HALVEX_EVAL EXAMPLES_DIR
set -eu
eval=$1
examples=$2
command -v soffice >/dev/null || { echo "soffice is missing (Debian package libreoffice-calc-nogui)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME" "$work/plant"
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

cp "$examples"/*.hvx plant/
# A custom range whose texts a spreadsheet writes otherwise (7.50 as 7.5).
printf 'file,input type,input range,custom low,custom high,output 1\nplant/custom,Voltage,Custom,0.50,7.50,4 to 20 mA source\n' >custom.csv
"$eval" --make custom.csv --into plant 2>/dev/null || fail "--make of the custom row"
"$eval" --csv plant/*.hvx >exported.csv || fail "--csv of the plant"

soffice --headless --norestore --infilter="CSV:44,34,76,1" --convert-to xlsx --outdir xlsx exported.csv >/dev/null 2>&1
[ -s xlsx/exported.xlsx ] || fail "Calc wrote no .xlsx"
soffice --headless --norestore --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1' --outdir back \
  xlsx/exported.xlsx >/dev/null 2>&1
[ -s back/exported.csv ] || fail "Calc wrote no CSV"
mv back/exported.csv fromcalc.csv
head -n 1 fromcalc.csv | grep -q '"file";"input type"' || fail "Calc's CSV has no semicolons: $(head -n 1 fromcalc.csv)"
grep -q '0 to 400°C' fromcalc.csv || fail "the degree sign did not come back"

"$eval" --make fromcalc.csv --into made || fail "--make of Calc's table"
# The files made give every value again, the custom texts as the same numbers.
values() { cut -d, -f2,3,6-31; }
"$eval" --csv made/*.hvx | values | sort >made.values
values <exported.csv | sort >plant.values
diff plant.values made.values || fail "--csv of the files made differs from the export"
"$eval" --csv made/custom.hvx | grep -q ',Custom,0.5,7.5,' || fail "custom texts: $("$eval" --csv made/custom.hvx)"

# The S1 to S4 of the export are the setups' switches, never taken for what
# was read off the units; under "read S1" to "read S4" they are readings.
status=0
"$eval" --verify-table fromcalc.csv >verify.out 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q 'fromcalc.csv:1: no "read S1"' verify.out || fail "S1 to S4 taken as read: $(cat verify.out)"
sed '1s/"S\([1-4]\)"/"read S\1"/g' fromcalc.csv >units.csv
"$eval" --verify-table units.csv --into plant >verify.out || fail "--verify-table of Calc's table: $(cat verify.out)"
[ "$(grep -c ': match: ' verify.out)" -eq 7 ] || fail "not every unit matches: $(cat verify.out)"
# A German locale: Calc reads 1,5 as a number and writes it back as 1,5. The
# header typed wrong stops --make before anything is written.
printf 'tag;file;input type;input range;custom low;custom high;output 1;RTD wires\nTT 7;plant/german;Voltage;Custom;0;1,5;4 to 20 mA source;\n' >german.csv
LC_ALL=de_DE.UTF-8 soffice --headless --norestore --infilter="CSV:59,34,76,1" --convert-to xlsx --outdir xlsx \
  german.csv >/dev/null 2>&1
LC_ALL=de_DE.UTF-8 soffice --headless --norestore --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1' \
  --outdir back xlsx/german.xlsx >/dev/null 2>&1
grep -q ';1,5;' back/german.csv || fail "Calc did not write 1,5: $(cat back/german.csv)"
status=0
"$eval" --make back/german.csv --into german 2>make.err || status=$?
[ "$status" -eq 1 ] || fail "--make of a header typed wrong gave $status"
grep -qx 'back/german.csv:1: column "RTD wires" is not a known column; did you mean "RTD wiring"?' make.err ||
  fail "the header typed wrong: $(cat make.err)"
[ ! -e german ] || fail "--make of a header typed wrong wrote something"
sed 's/RTD wires/RTD wiring/' back/german.csv >fixed.csv
"$eval" --make fixed.csv --into german 2>make.err || fail "--make of the German table: $(cat make.err)"
grep -qx "halvex-eval: kept as the plant's own columns: tag" make.err || fail "the plant's column: $(cat make.err)"
"$eval" --csv german/german.hvx | grep -q ',Custom,0,"1,5",.*,4 to 20 mA source,.*,ok,' ||
  fail "the decimal comma: $("$eval" --csv german/german.hvx)"
"$eval" german/german.hvx | grep -q 'Custom range: 0 to 1,5 V (using 0 to 2 V)' ||
  fail "1,5 is not 1.5: $("$eval" german/german.hvx)"
echo "PASS"
