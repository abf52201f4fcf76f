#!/usr/bin/env bash
# MAP end to end: SELECT Japan from the bundled JMA catalogue, draw it over
# the default base map (NWPAC), over the fine JAPAN map with the two
# cross-section charts, and across the 180th meridian; print one map and
# check that ghostscript renders it.
. "$(dirname "$0")/lib.sh"
e2e_setup maps_map

DATA=$TOP/data/dataset
[ -e "$DATA/jma-95.b" ] || fail "no bundled JMA catalogue in $DATA"
[ -e "$TOP/data/aux/nwpac.m" ] || fail "no bundled base maps"

write_seis "$DATA" "$TOP/data/aux" JMA 1995 1995 "" 128 146 25 46

e2e_start
e2e_select
see map-form ctrl+Return
see map-nwpac 1 Return
[ "$(colour map-nwpac 'rgb(0,255,255)')" -gt 300 ] || fail "no coastline"
[ "$(colour map-nwpac 'rgb(255,0,0)')" -gt 50 ] || fail "no shallow events"
[ "$(colour map-nwpac 'rgb(255,0,255)')" -gt 50 ] || fail "no 20-40 km events"

keys 1 F1     # the same map into seis.prn
keys Return   # back to the panel: the copy is finished and spooled
# Fine Japan map with charts to 100 km. The panel starts on the first
# longitude (no dataset, no region): Tab round to the dataset field, then
# on to the chart depth.
for k in $(seq 14); do xdotool key Tab; done
type_text "JAPAN   "
for k in $(seq 14); do xdotool key Tab; done
type_text 100
see map-japan-charts 1 Return
[ "$(colour map-japan-charts 'rgb(0,255,255)')" -gt 300 ] || fail "no fine coastline"
keys Return
# Across the 180th meridian: 170 E to 170 W, default base map, no charts.
type_text "        "
keys Tab
type_text 17000E17000W3000N6000NN000
see map-wrap 2 Return
[ "$(colour map-wrap 'rgb(0,255,255)')" -gt 300 ] || fail "no coastline across 180"
keys F3
e2e_quit

job=$WORK/lpr.0.file
[ -e "$job" ] || fail "the map copy did not reach lpr"
grep -q "(MAP) show" "$job" || fail "legend title missing from the copy"
grep -q "\[6 2 2 2\] 0 setdash" "$job" || fail "the copy has no dashed border lines"
[ "$(grep -c ' pL$' "$job")" -gt 1000 ] || fail "the copy has hardly any coastline"
keep_ps "$job" map-copy
echo PASS
