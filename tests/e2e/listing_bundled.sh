#!/usr/bin/env bash
# Listings over the bundled data: a JMA selection inside Japan gets names
# from the bundled Japanese tables, one around the western Pacific from the
# world tables; BROWSE pages through it and PRINT hands it to lpr.
. "$(dirname "$0")/lib.sh"
e2e_setup listing_bundled
[ -e "$TOP/data/aux/japan.mes" ] || fail "bundled region tables missing"

# setup SOURCE LON1 LON2 LAT1 LAT2: a 1995 selection in that box.
setup() {
	write_seis "$TOP/data/dataset" "$TOP/data/aux" "$1" 1995 1995 "" "$2" "$3" "$4" "$5"
}

# Browse, hard copy of pages 1 and 2, quit, PRINT, exit.
run() {
	e2e_start
	e2e_select 0.5
	see "$1-1" ctrl+b
	see "$1-2" F1 F8
	keys 0.5 F1 F3 ctrl+p Return
	e2e_quit "$1"
}

setup JMA 130 140 30 40
run japan
n=$(row "$(job 1)" 0 | sed -n 's/.*for \([0-9]*\) events.*/\1/p')
[ "${n:-0}" -gt 40 ] || fail "japan: selection of ${n:-0} events"
row "$(job 2)" 1 | grep -q "^21   Date" || fail "japan: page 2 header"
# The Kobe earthquake, sixth on the first page, lies in a named cell.
kobe=$(row "$(job 1)" 7)
[ "${kobe:0:54}" = "F  1995 0117  0546 13.0  135.035E  34.598N   16.1  7.3" ] || fail "kobe: $kobe"
[[ "${kobe:56}" =~ ^[A-Z] ]] || fail "kobe has no region name: $kobe"
printed=$(tr -d '\r' < "$(job 3)" | tail -n +3)
[ "$(wc -l <<< "$printed")" = "$n" ] || fail "japan: printed lines"
named=$(awk 'length($0) == 77' <<< "$printed" | wc -l)
[ "$(awk 'length($0) != 77 && length($0) != 53' <<< "$printed" | wc -l)" = 0 ] || fail "japan: line lengths"
[ "$named" -gt $((n / 2)) ] || fail "japan: only $named of $n events named"

rm -f "$WORK"/lpr.*
setup PDE 120 180 0 60
run world
printed=$(tr -d '\r' < "$(job 3)" | tail -n +3)
[ "$(awk 'length($0) == 77' <<< "$printed" | wc -l)" -gt 0 ] || fail "world: no names"
[ "$(awk 'length($0) != 77 && length($0) != 53' <<< "$printed" | wc -l)" = 0 ] || fail "world: line lengths"
echo PASS
