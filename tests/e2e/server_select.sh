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
	see "$1-browse" 0.5 ctrl+b
	keys F3
	save_as "$WORK/$1.txt"
	see "$1-map" 1.5 ctrl+Return Return
	keys F8
	type_text 5          # ACTIVE-FAULTS, as offered for the box
	see "$1-faults" 1.5 Return Return
	keys Return
	type_text 6          # STATIONS of the source, with codes
	keys Return Tab
	type_text y
	see "$1-stations" 1.5 Return
	keys Return F3
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
	d=$(differ "$ART/local-$s.png" "$ART/server-$s.png")
	[ "$d" = 0 ] || fail "$s screen differs by $d pixels"
done

# Every kind of file went through the server, one logged line each.
for w in 'event RIKA 0' 'event VELA 0' 'event JMA 1930' 'file regions' 'file JAPAN.MES' 'file japan.f' 'file jpn.s'; do
	grep -q "$w: " "$WORK/server.log" || fail "not served: $w"
done
grep -q 'not found\|broken off\|refused' "$WORK/server.log" && fail "failed requests: $(grep 'not found\|broken off\|refused' "$WORK/server.log")"
server_stop
echo "server_select: $n events, $(grep -c ' event \| file ' "$WORK/server.log") requests served"
