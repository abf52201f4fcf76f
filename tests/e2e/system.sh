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
see 01-opening-done space

# SELECT
see 02-select ctrl+s
see 03-selected 1 Return

# BROWSE: a text hard copy of the first page holds the count.
see 04-browse ctrl+b
keys 0.3 F1
see 05-browse-page-2 F8
keys F3
n=$(count_in "$(job 1)")
[ -n "$n" ] && [ "$n" -gt 100 ] || fail "BROWSE copy has no sensible count: '$n'"

# PRINT: one line per event after the header.
see 06-print-prompt ctrl+p
keys 0.5 Return
printed=$(grep -cE '^ *[0-9]{4} [0-9 ]{4}  [0-9 ]{4} ' "$(job 2)" || true)
[ "$printed" = "$n" ] || fail "PRINT listed $printed of $n events"

# SAVE
see 07-save ctrl+v
type_text "$WORK/saved.txt"
keys 0.3 Return
[ "$(wc -l < "$WORK/saved.txt")" = "$n" ] || fail "SAVE wrote $(wc -l < "$WORK/saved.txt") of $n lines"
# The first listed event is the first saved one.
first=$(head -1 "$WORK/saved.txt" | cut -c1-20)
grep -qF "${first:5}" "$(job 1)" || fail "first saved event '$first' is not on the first page"

# SORT: magnitude descending, then SAVE again.
see 08-sort ctrl+r
see 09-sorted 0.5 Return
save_as "$WORK/sorted.txt"
check_sorted "$WORK/sorted.txt" "$WORK/saved.txt"

# A fresh SELECT restores the chronological order for the rest.
keys 1 ctrl+s Return

# MAP, its hard copy, and every subfunction.
see 10-map-form ctrl+Return
see 11-map 1 Return
keys 1 F1
see 12-map-functions F8
keys 0.5 Return               # FIND
click_at 355 160; click_at 385 160
keys 0.5 F1                   # the map with its circle into a copy
see 13-find-list 0.5 Return
keys F6
type_text 3                   # CROSS-SECTION
keys 0.5 Return
click_at 200 250; click_at 380 250; click_at 290 290
see 14-cross-section 0.5 Return Return
keys 0.5 F1
keys Return
type_text 4                   # SPACE-TIME
keys 0.5 Return
click_at 200 250; click_at 380 250; click_at 290 290
see 15-space-time 0.5 Return Return
keys Return
type_text 5                   # ACTIVE-FAULTS
see 16-active-faults 1 Return Return
keys 1 F2                     # half-size copy
keys Return
type_text 6                   # STATIONS, with codes
keys Return Tab
type_text y
see 17-stations 1 Return
keys Return
type_text 2                   # SELECT a quadrilateral: the new selection
keys 0.5 Return
click_at 250 100; click_at 390 100; click_at 390 300; click_at 250 300
see 18-map-select Return
keys 0.5 Return
see 19-menu-after-map-select 0.3 F3
keys 0.3 ctrl+b F1 F3
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
see 20-time-form ctrl+t
see 21-time 1 Return
keys 1 F1
keys F3
see 22-magnitude 1 ctrl+g Return
keys 1 F2
keys F3

# OPTION: a new printer name is used at once and kept.
see 23-option ctrl+o
keys Tab Tab
keys ctrl+a
for _ in 1 2 3 4 5 6 7 8; do keys BackSpace; done
type_text lp7
keys 0.3 Return
keys 0.3 ctrl+b F1 F3
last=$(ls "$WORK"/lpr.*.args | sort -V | tail -1)
grep -qx -- "-Plp7" "$last" || fail "printer option not used: $(tr '\n' ' ' < "$last")"

e2e_quit
[ "$(wc -l < "$HOME/_seis")" = 42 ] || fail "setup file has $(wc -l < "$HOME/_seis") lines"
sed -n 3p "$HOME/_seis" | grep -q '^lp7' || fail "printer not kept: $(sed -n 3p "$HOME/_seis")"

# Every PostScript job renders.
keep_jobs ps
[ $KEPT -ge 4 ] || fail "only $KEPT PostScript jobs"
echo "PASS: $n events, $m after map SELECT, $(ls "$WORK"/lpr.*.file | wc -l) print jobs, $KEPT PostScript"
