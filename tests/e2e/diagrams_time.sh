#!/usr/bin/env bash
# Diagrams end to end: SELECT from the bundled JMA catalogue, TIME with a
# full-size hard copy, MAGNITUDE with a half-size one; both files must reach
# lpr, carry their page scale and render in ghostscript.
. "$(dirname "$0")/lib.sh"
e2e_setup diagrams_time

DATA=$TOP/data/dataset
[ -e "$DATA/jma-95.b" ] || fail "no bundled JMA catalogue in $DATA"

{
	echo "$DATA"; echo "PS  "; echo ps; echo JMA
	printf '%s\n' 1990 01 01 00 00 00.00 2005 12 31 23 59 59.99 ""
	printf '%s\n' 128 00 E 146 00 E 25 00 N 46 00 N 000.0 999.9 +0.0 +9.9 Y Y ""
	echo "7 8 1.500000 1.250000"; echo "0 20 40 60 80 200 600 "
	echo "4 5 6 2 3 1 7 "; echo "0.000000 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 "
	echo 000; echo "$TOP/data/aux"
} > "$HOME/_seis"

e2e_start
keys space
keys ctrl+s
keys Return
sleep 1
shot menu
keys ctrl+t
shot time-form
keys Return
sleep 0.5
shot time
keys F1
sleep 0.5
keys Return   # back to the form: the hard copy is finished and spooled
keys F3
keys ctrl+g
keys Return
sleep 0.5
shot magnitude
keys F2
sleep 0.5
keys F3
keys ctrl+e
rc=$(e2e_wait_exit)
[ "$rc" = 0 ] || fail "exit status $rc"

jobs=($(ls "$WORK"/lpr.*.file 2>/dev/null | sort -V))
[ ${#jobs[@]} = 2 ] || fail "expected 2 print jobs, got ${#jobs[@]}"
grep -qx -- "-Pps" "$WORK/lpr.0.args" || fail "printer: $(cat "$WORK/lpr.0.args")"
[ "$(sed -n 14p "${jobs[0]}")" = "1.0 1.0 scale" ] || fail "full-size scale: $(sed -n 14p "${jobs[0]}")"
[ "$(sed -n 14p "${jobs[1]}")" = "0.5 0.5 scale" ] || fail "half-size scale: $(sed -n 14p "${jobs[1]}")"
grep -q "(Time) show" "${jobs[0]}" || fail "TIME title missing"
grep -q "(unknown) show" "${jobs[1]}" || fail "MAGNITUDE label missing"
[ "$(grep -c ' pM$' "${jobs[0]}")" -gt 50 ] || fail "TIME copy has hardly anything drawn"

i=0
for j in "${jobs[@]}"; do
	gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY "$j" || fail "ghostscript rejects job $i"
	gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=letter -sDEVICE=png16m -r50 \
		-sOutputFile="$ART/job$i.png" "$j" || fail "ghostscript cannot render job $i"
	cp "$j" "$ART/job$i.ps"
	i=$((i + 1))
done

# The screen: cyan bars on black in the TIME diagram.
cyan=$(convert "$ART/time.png" -crop 450x300+60+90 +repage -fuzz 5% -fill white -opaque "rgb(0,255,255)" \
	-fill black +opaque white -format "%[fx:mean*w*h]" info:)
[ "${cyan%.*}" -gt 100 ] || fail "no cyan bars on the TIME screen ($cyan)"
echo PASS
