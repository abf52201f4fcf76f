#!/usr/bin/env bash
# Diagrams end to end: SELECT from the bundled JMA catalogue, TIME with a
# full-size hard copy, MAGNITUDE with a half-size one; both files must reach
# lpr, carry their page scale and render in ghostscript.
. "$(dirname "$0")/lib.sh"
e2e_setup diagrams_time

DATA=$TOP/data/dataset
[ -e "$DATA/jma-95.b" ] || fail "no bundled JMA catalogue in $DATA"

write_seis "$DATA" "$TOP/data/aux" JMA 1990 2005 "" 128 146 25 46

e2e_start
e2e_select
shot menu
see time-form ctrl+t
see time 0.5 Return
keys 0.5 F1
keys Return F3 ctrl+g # back to the form: the hard copy is finished and spooled
see magnitude 0.5 Return
keys 0.5 F2
keys F3
e2e_quit

print_jobs
[ ${#JOBS[@]} = 2 ] || fail "expected 2 print jobs, got ${#JOBS[@]}"
grep -qx -- "-Pps" "$WORK/lpr.0.args" || fail "printer: $(cat "$WORK/lpr.0.args")"
[ "$(sed -n 14p "${JOBS[0]}")" = "1.0 1.0 scale" ] || fail "full-size scale: $(sed -n 14p "${JOBS[0]}")"
[ "$(sed -n 14p "${JOBS[1]}")" = "0.5 0.5 scale" ] || fail "half-size scale: $(sed -n 14p "${JOBS[1]}")"
grep -q "(Time) show" "${JOBS[0]}" || fail "TIME title missing"
grep -q "(unknown) show" "${JOBS[1]}" || fail "MAGNITUDE label missing"
[ "$(grep -c ' pM$' "${JOBS[0]}")" -gt 50 ] || fail "TIME copy has hardly anything drawn"

keep_jobs

# The screen: cyan bars on black in the TIME diagram.
cyan=$(colour time "rgb(0,255,255)" 450x300+60+90)
[ "$cyan" -gt 100 ] || fail "no cyan bars on the TIME screen ($cyan)"
echo PASS
