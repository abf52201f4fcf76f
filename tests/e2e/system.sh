#!/usr/bin/env bash
# The whole program as a user meets it, in one session on the bundled data:
# every command of the main menu and every map subfunction, with real X
# input. Checked as a user would: the listings and the saved file agree with
# each other and with the count the program reports, the sorted file is in
# order, every PostScript job renders, and the setup file keeps the options.
. "$(dirname "$0")/lib.sh"
e2e_setup system

DATA=$TOP/data/dataset AUX=$TOP/data/aux
write_seis "$DATA" "$AUX" "JMA  " 1995 1996 JAPAN 120 180 00 60

# The count in the BROWSE title of a text hard copy: "for N events from".
count_in() { grep -m1 -oE 'for +[0-9]+ events' "$1" | grep -oE '[0-9]+'; }

e2e_start
keys space
shot 01-opening-done

# SELECT
keys ctrl+s
shot 02-select
keys Return
sleep 1
shot 03-selected

# BROWSE: a text hard copy of the first page holds the count.
keys ctrl+b
shot 04-browse
keys F1
sleep 0.3
keys F8
shot 05-browse-page-2
keys F3
n=$(count_in "$(job 1)")
[ -n "$n" ] && [ "$n" -gt 100 ] || fail "BROWSE copy has no sensible count: '$n'"

# PRINT: one line per event after the header.
keys ctrl+p
shot 06-print-prompt
keys Return
sleep 0.5
printed=$(grep -cE '^ *[0-9]{4} [0-9 ]{4}  [0-9 ]{4} ' "$(job 2)" || true)
[ "$printed" = "$n" ] || fail "PRINT listed $printed of $n events"

# SAVE
keys ctrl+v
shot 07-save
type_text "$WORK/saved.txt"
keys Return
sleep 0.3
[ "$(wc -l < "$WORK/saved.txt")" = "$n" ] || fail "SAVE wrote $(wc -l < "$WORK/saved.txt") of $n lines"
# The first listed event is the first saved one.
first=$(head -1 "$WORK/saved.txt" | cut -c1-20)
grep -qF "${first:5}" "$(job 1)" || fail "first saved event '$first' is not on the first page"

# SORT: magnitude descending, then SAVE again.
keys ctrl+r
shot 08-sort
keys Return
sleep 0.5
shot 09-sorted
keys ctrl+v
type_text "$WORK/sorted.txt"
keys Return
sleep 0.3
cut -c47-51 "$WORK/sorted.txt" | awk '$0 !~ /^ *$/ { if (NR > 1 && $1 > last) exit 1; last = $1 }' ||
	fail "sorted file out of order"
[ "$(sort "$WORK/sorted.txt" | md5sum)" = "$(sort "$WORK/saved.txt" | md5sum)" ] || fail "SORT changed events"

# A fresh SELECT restores the chronological order for the rest.
keys ctrl+s Return
sleep 1

# MAP, its hard copy, and every subfunction.
keys ctrl+Return
shot 10-map-form
keys Return
sleep 1
shot 11-map
keys F1
sleep 1
keys F8
shot 12-map-functions
keys Return                   # FIND
sleep 0.5
click_at 355 160; click_at 385 160
keys F1                       # the map with its circle into a copy
sleep 0.5
keys Return
sleep 0.5
shot 13-find-list
keys F6
type_text 3                   # CROSS-SECTION
keys Return
sleep 0.5
click_at 200 250; click_at 380 250; click_at 290 290
keys Return Return
sleep 0.5
shot 14-cross-section
keys F1
sleep 0.5
keys Return
type_text 4                   # SPACE-TIME
keys Return
sleep 0.5
click_at 200 250; click_at 380 250; click_at 290 290
keys Return Return
sleep 0.5
shot 15-space-time
keys Return
type_text 5                   # ACTIVE-FAULTS
keys Return Return
sleep 1
shot 16-active-faults
keys F2                       # half-size copy
sleep 1
keys Return
type_text 6                   # STATIONS, with codes
keys Return Tab
type_text y
keys Return
sleep 1
shot 17-stations
keys Return
type_text 2                   # SELECT a quadrilateral: the new selection
keys Return
sleep 0.5
click_at 250 100; click_at 390 100; click_at 390 300; click_at 250 300
keys Return
shot 18-map-select
keys Return
sleep 0.5
keys F3
sleep 0.3
shot 19-menu-after-map-select
keys ctrl+b F1 F3
sleep 0.3
m=$(count_in "$(job '$')")
[ -n "$m" ] && [ "$m" -gt 0 ] && [ "$m" -lt "$n" ] || fail "map SELECT kept '$m' of $n events"
# The copies of FIND (job 4), the cross-section and the faults (half size);
# on the screen faults in magenta, red station crosses.
grep -q " arc$" "$(job 4)" || fail "the FIND copy has no circle"
grep -q "(Press Enter or     ) show" "$(job 4)" || fail "the FIND copy lacks its prompt"
grep -q "(CROSS-) show" "$(job 5)" || fail "cross-section title missing from the copy"
[ "$(sed -n 14p "$(job 6)")" = "0.5 0.5 scale" ] || fail "the faults copy is not half size"
[ "$(grep -c ' pL$' "$(job 6)")" -gt 1000 ] || fail "the faults copy has hardly any lines"
[ "$(colour 16-active-faults 'rgb(255,0,255)')" -gt 100 ] || fail "no class A faults"
[ "$(colour 17-stations 'rgb(255,0,0)')" -gt 20 ] || fail "no stations"

# TIME with a full-size copy, MAGNITUDE with a half-size one.
keys ctrl+t
shot 20-time-form
keys Return
sleep 1
shot 21-time
keys F1
sleep 1
keys F3
keys ctrl+g Return
sleep 1
shot 22-magnitude
keys F2
sleep 1
keys F3

# OPTION: a new printer name is used at once and kept.
keys ctrl+o
shot 23-option
keys Tab Tab
keys ctrl+a
for _ in 1 2 3 4 5 6 7 8; do keys BackSpace; done
type_text lp7
keys Return
sleep 0.3
keys ctrl+b F1 F3
sleep 0.3
last=$(ls "$WORK"/lpr.*.args | sort -V | tail -1)
grep -qx -- "-Plp7" "$last" || fail "printer option not used: $(tr '\n' ' ' < "$last")"

e2e_quit
[ "$(wc -l < "$HOME/_seis")" = 42 ] || fail "setup file has $(wc -l < "$HOME/_seis") lines"
sed -n 3p "$HOME/_seis" | grep -q '^lp7' || fail "printer not kept: $(sed -n 3p "$HOME/_seis")"

# Every PostScript job renders.
keep_jobs ps
[ $KEPT -ge 4 ] || fail "only $KEPT PostScript jobs"
echo "PASS: $n events, $m after map SELECT, $(ls "$WORK"/lpr.*.file | wc -l) print jobs, $KEPT PostScript"
