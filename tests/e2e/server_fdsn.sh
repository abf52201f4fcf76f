#!/usr/bin/env bash
# The FDSN event web service as a user meets it: tarnwell-server -w on the
# bundled data, the standard query with curl, the year's events fetched
# with curl and imported by tarnwell-data, then the same SELECT and BROWSE
# in the viewer on the original files and on the imported ones: the saved
# lists and the screens must be the same.
. "$(dirname "$0")/lib.sh"
e2e_setup server_fdsn

DATA=$TOP/data/dataset AUX=$TOP/data/aux
[ -f "$DATA/jma-95.b" ] && [ -f "$AUX/world.nam" ] || fail "bundled data missing"
TDATA=$(dirname "$BIN")/tools/tarnwell-data
[ -x "$TDATA" ] || fail "no tarnwell-data next to $BIN"
server_start 's|.*fdsnws-event listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' \
	-p 0 -w 0 -d "$DATA" -x "$AUX"
URL=http://127.0.0.1:$PORT/fdsnws/event/1

# The standard text: its header, and a region name on every line.
curl -sf "$URL/query?catalog=JMA&starttime=1995-01-01&endtime=1995-12-31&minmagnitude=6&format=text" \
	> "$WORK/m6.txt" || fail "query failed"
head -1 "$WORK/m6.txt" | grep -qx '#EventID|Time|Latitude|Longitude|Depth/km|Author|Catalog|Contributor|ContributorID|MagType|Magnitude|MagAuthor|EventLocationName' ||
	fail "not the standard header: $(head -1 "$WORK/m6.txt")"
m6=$(($(wc -l < "$WORK/m6.txt") - 1))
[ "$m6" -gt 0 ] || fail "no events of magnitude 6 in 1995"
awk -F'|' 'NR > 1 && ($13 == "" || $11 < 6 || $1 !~ /^JMA-1995-[0-9]+$/) { exit 1 }' "$WORK/m6.txt" ||
	fail "a line without a region, under magnitude 6 or with a bad id"
cp "$WORK/m6.txt" "$ART/jma-1995-m6.txt"
[ "$(curl -s "$URL/version")" = 1.2.0 ] || fail "version"
[ "$(curl -s -o /dev/null -w '%{http_code}' "$URL/query?catalog=JMA&minmag=x")" = 400 ] || fail "no 400"

# The whole year as a user would get it, into a data directory of its own.
mkdir -p "$WORK/fetched"
curl -sf "$URL/query?catalog=JMA&starttime=1995-01-01&endtime=1995-12-31T23:59:59.9" > "$WORK/jma95.txt" ||
	fail "year query failed"
"$TDATA" import --source JMA --out "$WORK/fetched" "fdsn:$WORK/jma95.txt" > "$WORK/import.txt" ||
	fail "import failed: $(cat "$WORK/import.txt")"
grep -q ', 0 unreadable$' "$WORK/import.txt" || fail "unreadable rows: $(cat "$WORK/import.txt")"

session() { # label data-directory
	write_seis "$2" "$AUX" "JMA  " 1995 1995 "" 120 150 20 50
	e2e_start
	e2e_select
	save_as "$WORK/$1.txt"
	see "$1-browse" 0.5 ctrl+b
	keys F3
	e2e_quit "$1"
}

session original "$DATA"
session fetched "$WORK/fetched"

n=$(wc -l < "$WORK/original.txt")
[ "$n" -gt 50 ] || fail "only $n events selected from the original files"
cmp -s "$WORK/original.txt" "$WORK/fetched.txt" ||
	fail "the fetched catalogue selects differently ($(wc -l < "$WORK/fetched.txt") of $n lines)"
d=$(differ "$ART/original-browse.png" "$ART/fetched-browse.png")
[ "$d" = 0 ] || fail "browse screen differs by $d pixels"

grep -q "http /fdsnws/event/1/query?catalog=JMA&minmag=x 400" "$WORK/server.log" || fail "no log line"
server_stop
echo "server_fdsn: $m6 events of magnitude 6, $n of 1995 selected alike from the fetched files"
