#!/usr/bin/env bash
# The program through tarnwell-server: the same session (SELECT of JPN over
# 1880-1930 in the region JAPAN, BROWSE with region names, SAVE, MAP) run
# once on local files and once with both directories set to
# "@127.0.0.1:PORT", with the active faults and stations over the map; the
# saved lists and the screens must be the same.
. "$(dirname "$0")/lib.sh"
e2e_setup server_select

DATA=$TOP/data/dataset AUX=$TOP/data/aux
[ -f "$DATA/vela.b" ] && [ -f "$AUX/regions" ] || fail "bundled data missing"
server_start 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' -p 0 -d "$DATA" -x "$AUX"

setup() { # data directory, auxiliary directory
	write_seis "$1" "$2" "JPN  " 1880 1930 JAPAN 120 180 00 60
}

session() { # label
	e2e_start
	e2e_select
	shot "$1-menu"
	keys ctrl+b
	sleep 0.5
	shot "$1-browse"
	keys F3
	keys ctrl+v
	type_text "$WORK/$1.txt"
	keys Return
	sleep 0.3
	keys ctrl+Return
	keys Return
	sleep 1.5
	shot "$1-map"
	keys F8
	type_text 5          # ACTIVE-FAULTS, as offered for the box
	keys Return
	keys Return
	sleep 1.5
	shot "$1-faults"
	keys Return
	type_text 6          # STATIONS of the source, with codes
	keys Return
	keys Tab
	type_text y
	keys Return
	sleep 1.5
	shot "$1-stations"
	keys Return
	keys F3
	e2e_quit "$1"
}

setup "$DATA" "$AUX"
session local
setup "@127.0.0.1:$PORT" "@127.0.0.1:$PORT"
session server

n=$(wc -l < "$WORK/local.txt")
[ "$n" -gt 100 ] || fail "only $n events selected from local files"
cmp -s "$WORK/local.txt" "$WORK/server.txt" ||
	fail "the server's selection differs ($(wc -l < "$WORK/server.txt") of $n lines)"
for s in menu browse map faults stations; do
	d=$(compare -metric AE "$ART/local-$s.png" "$ART/server-$s.png" null: 2>&1 || true)
	[ "$d" = 0 ] || fail "$s screen differs by $d pixels"
done

# Every kind of file went through the server, one logged line each.
grep -q 'event RIKA 0: ' "$WORK/server.log" || fail "no RIKA request"
grep -q 'event VELA 0: ' "$WORK/server.log" || fail "no VELA request"
grep -q 'event JMA 1930: ' "$WORK/server.log" || fail "no JMA 1930 request"
grep -q 'file regions: ' "$WORK/server.log" || fail "regions not fetched"
grep -qi 'file japan.mes: ' "$WORK/server.log" || fail "region names not fetched"
grep -qi 'file japan.f: ' "$WORK/server.log" || fail "faults not fetched"
grep -qi 'file jpn.s: ' "$WORK/server.log" || fail "stations not fetched"
grep -q 'not found\|broken off\|refused' "$WORK/server.log" && fail "failed requests: $(grep 'not found\|broken off\|refused' "$WORK/server.log")"
server_stop
echo "server_select: $n events, $(grep -c ' event \| file ' "$WORK/server.log") requests served"
