#!/usr/bin/env bash
# Listings end to end: SELECT from a dataset file written here, BROWSE with
# region names from small tables written here, page forward, text hard
# copies, PRINT and SAVE; the outputs are checked against the records.
. "$(dirname "$0")/lib.sh"
e2e_setup listing_browse

DATA=$WORK/data AUX=$WORK/aux
mkdir -p "$DATA" "$AUX"

bytes() { for b; do printf "\\$(printf %03o "$b")"; done; }
name24() { printf '%-24.24s' "$1"; }

# One record: year, month, day, hour, minute, seconds x 10, longitude and
# latitude as degrees/minutes/seconds (north and east), depth x 10, mag x 10.
rec() {
	bytes $(($1 - 1900)) "$2" "$3" "$4" "$5" $(($6 & 255)) $(($6 >> 8)) \
		"$7" "$8" "$9" "${10}" "${11}" "${12}" $((${13} & 255)) $((${13} >> 8)) "${14}"
}

# Event i: 1995-01-(i+1) 05:i 52.1 at 135.035E 34.598N, 16.1 km, M 7.2;
# event 3 has neither depth nor magnitude, event 10 lies at 139.2E 35.7N
# and event 15 at 27.9N (south of the Japanese tables).
N=25
{
	bytes 0 0 0 0
	for i in $(seq 0 $((N - 1))); do
		lon="135 2 6" lat="34 35 53" dep=161 mag=72
		[ $i = 3 ] && dep=65535 mag=0
		[ $i = 10 ] && lon="139 12 0" lat="35 42 0"
		[ $i = 15 ] && lat="27 54 0"
		rec 1995 1 $((i + 1)) 5 $i 521 $lon $lat $dep $mag
	done
	bytes 255 255 0 0 0 0 0 0 0 0 0 0 0 0 0 0
} > "$DATA/test-95.b"

expected_line() {
	local i=$1 lon="135.035E" lat=" 34.598N" tail="   16.1  7.2"
	[ $i = 3 ] && tail="            "
	[ $i = 10 ] && lon="139.200E" lat=" 35.700N"
	[ $i = 15 ] && lat=" 27.900N"
	printf '1995 01%02d  05%02d 52.1  %s %s%s' $((i + 1)) $i "$lon" "$lat" "$tail"
}
expected_name() {
	case $1 in 10) name24 KANTO ;; 15) ;; *) name24 KINKI ;; esac
}

# Japanese tables: band 51 (34.0-34.67N) and band 53 (35.33-36.0N).
bytes 51 2 130 1 135 2 53 1 138 3 > "$AUX/japan.mes"
{ name24 "SOUTHWEST JAPAN"; name24 KINKI; name24 KANTO; } > "$AUX/japan.nam"

# Setup: the data source TEST for 1995 in a box inside the Japanese tables.
write_seis "$DATA" "$AUX" TEST 1995 1995 "" 128 146 25 46

e2e_start
e2e_select 0.5
see browse-1 ctrl+b
see browse-2 F1 F8
keys 0.5 F1 F3 ctrl+p Return
save_as "$WORK/saved.txt"
e2e_quit

print_jobs
[ ${#JOBS[@]} = 3 ] || fail "expected 3 print jobs, got ${#JOBS[@]}"

# Text hard copies: 25 rows of 80 characters and CR LF.
[ "$(wc -c < "${JOBS[0]}")" = $((25 * 82)) ] || fail "hard copy size"
row "${JOBS[0]}" 0 | grep -q "^    Request : BROWSE  for $N events from TEST" || fail "title: $(row "${JOBS[0]}" 0)"
row "${JOBS[0]}" 1 | grep -q "^1    Date       Time       Lon" || fail "header: $(row "${JOBS[0]}" 1)"
L=ABCDEFGHIJKLMNOPQRST
for i in 0 3 10 15 19; do
	want="${L:i:1}  $(expected_line $i)  $(expected_name $i)"
	got=$(row "${JOBS[0]}" $((i + 2)))
	[ "$got" = "$(printf '%-80s' "$want")" ] || fail "page 1 row $i: [$got]"
done
row "${JOBS[1]}" 1 | grep -q "^21   Date" || fail "page 2 header: $(row "${JOBS[1]}" 1)"
for i in 20 24; do
	got=$(row "${JOBS[1]}" $((i - 18)))
	[ "${got:0:3}" = "${L:i-20:1}  " ] || fail "page 2 letter: $got"
	[ "${got:3:51}" = "$(expected_line $i)" ] || fail "page 2 row $i: $got"
done
[ -z "$(row "${JOBS[1]}" 7 | tr -d ' ')" ] || fail "page 2 has more than 5 events"

# PRINT: header, empty line, then 77 characters with a name, 53 without,
# every line ending in CR LF.
{
	printf '  Date       Time       Lon       Lat    Depth   M         Region\n\n'
	for i in $(seq 0 $((N - 1))); do echo "$(expected_line $i)  $(expected_name $i)"; done
} > "$WORK/printed.txt"
tr -d '\r' < "${JOBS[2]}" | cmp - "$WORK/printed.txt" || fail "printed listing differs"
[ "$(grep -c $'\r$' "${JOBS[2]}")" = $((N + 2)) ] || fail "print line ends"

# SAVE: the 51-character lines alone.
for i in $(seq 0 $((N - 1))); do expected_line $i; echo; done > "$WORK/expected.txt"
cmp "$WORK/expected.txt" "$WORK/saved.txt" || fail "saved file differs"
cp "$WORK/saved.txt" "$ART/saved.txt"
echo PASS
