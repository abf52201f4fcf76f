#!/usr/bin/env bash
# Map subfunctions end to end with real pointer clicks: FIND a circle and
# list it, SELECT a quadrilateral and see the main menu count change, draw a
# cross-section and a space-time plot, overlay the active faults and the
# stations; the printed copies must render in ghostscript.
. "$(dirname "$0")/lib.sh"
e2e_setup maps_sub

DATA=$TOP/data/dataset
[ -e "$DATA/jma-95.b" ] || fail "no bundled JMA catalogue in $DATA"

write_seis "$DATA" "$TOP/data/aux" JMA 1995 1995 "" 128 146 25 46

e2e_start
e2e_select
shot selected
keys ctrl+Return
keys Return
sleep 1
keys F8              # the subfunction menu
shot menu
keys Return          # 1: FIND
sleep 0.5
click_at 355 160         # centre on the Sanriku cluster
click_at 385 160         # on the circumference
shot find-circle
keys F1              # the map with its circle into a copy
sleep 0.5
keys Return
sleep 0.5
shot find-list
keys F6              # back to the menu
type_text 2          # SELECT
keys Return
sleep 0.5
click_at 250 100; click_at 390 100; click_at 390 300; click_at 250 300
shot select-figure
keys Return          # the confirmation panel
shot select-confirm
keys Return          # "Y"
sleep 0.5
shot select-done
type_text 3          # CROSS-SECTION
keys Return
sleep 0.5
click_at 200 250; click_at 380 250; click_at 290 290
keys Return
keys Return          # the drawing range as preset
sleep 0.5
shot cross-section
keys F1              # printed
sleep 0.5
keys Return          # back to the menu; the copy is spooled
type_text 4          # SPACE-TIME along the same kind of profile
keys Return
sleep 0.5
click_at 200 250; click_at 380 250; click_at 290 290
keys Return
keys Return          # the time range of the selection, yearly ticks
sleep 0.5
shot space-time
keys Return
type_text 5          # ACTIVE-FAULTS: JAPAN is offered for this box
keys Return
keys Return
sleep 1
shot active-faults
keys F2              # half-size copy
sleep 1
keys Return
type_text 6          # STATIONS of the selection's source, with codes
keys Return
keys Tab
type_text y
keys Return
sleep 1
shot stations
keys Return
keys F3              # leave MAP
sleep 0.3
shot main-menu
# The screens: faults in magenta, green or cyan over the map; red station
# crosses.
[ "$(colour "$ART/active-faults.png" 'rgb(255,0,255)')" -gt 100 ] || fail "no class A faults"
[ "$(colour "$ART/stations.png" 'rgb(255,0,0)')" -gt 20 ] || fail "no stations"
e2e_exit

jobs=($(print_jobs))
[ ${#jobs[@]} = 3 ] || fail "expected 3 print jobs (FIND, cross-section, faults), got ${#jobs[@]}"
[ "$(grep -c ' pL$' "${jobs[2]}")" -gt 1000 ] || fail "the faults copy has hardly any lines"
grep -q " arc$" "${jobs[0]}" || fail "the FIND copy has no circle"
grep -q "(Press Enter or     ) show" "${jobs[0]}" || fail "the FIND copy lacks its prompt"
grep -q "(CROSS-) show" "${jobs[1]}" || fail "cross-section title missing from the copy"
keep_jobs "${jobs[@]}"
echo PASS
