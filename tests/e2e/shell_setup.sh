#!/usr/bin/env bash
# First start without a setup file: the opening screen, then OPTION with the
# "not found" message; the user sets the directories and the printer, Ctrl+E
# writes a 42-line _seis. The second start reads it back (no OPTION at
# once) and F1 on the OPTION form hands the text copy to lpr.
. "$(dirname "$0")/lib.sh"
e2e_setup shell_setup
export SEIS=/seis/aux
white() { [ "$(convert "$ART/$1.png" -format "%[fx:p{$2,$3}.r>0.9&&p{$2,$3}.g>0.9&&p{$2,$3}.b>0.9]" info:)" = 1 ]; }
# Red pixels in a strip of the window: the message line shows something.
reds() { convert "$ART/$1.png" -crop "$2" +repage -fx 'r>0.5&&g<0.3&&b<0.3' -format '%[fx:mean*w*h]' info:; }

e2e_start
shot opening
keys space
shot option-first
# The OPTION form: its first box is white where the main menu is blank.
white option-first 200 120 || fail "no OPTION form at first start"
n=$(reds option-first 640x14+50+335)
[ "${n%.*}" -gt 50 ] || fail "no message on the OPTION message line ($n red pixels)"

type_text "/data/seis"
keys Tab Tab
type_text "lp0 "
shot option-typed
keys Return
shot menu
e2e_quit

f=$HOME/_seis
[ -f "$f" ] || fail "no setup file"
[ "$(wc -l < "$f")" = 42 ] || fail "setup file has $(wc -l < "$f") lines"
[ "$(sed -n 1p "$f")" = /data/seis ] || fail "line 1: $(sed -n 1p "$f")"
[ "$(sed -n 2p "$f")" = "PS  " ] || fail "line 2: $(sed -n 2p "$f")"
[ "$(sed -n 3p "$f")" = lp0 ] || fail "line 3: $(sed -n 3p "$f")"
[ "$(sed -n 4p "$f")" = "PDE  " ] || fail "line 4: $(sed -n 4p "$f")"
[ "$(sed -n 37p "$f")" = "7 8 1.500000 1.250000" ] || fail "line 37: $(sed -n 37p "$f")"
[ "$(sed -n 42p "$f")" = /seis/aux ] || fail "line 42: $(sed -n 42p "$f")"
cp "$f" "$ART/_seis"

# Second start: straight to the main menu, and OPTION shows what was saved.
export SEIS=
e2e_start
keys space
shot menu-second
! white menu-second 200 120 || fail "OPTION shown again at second start"
keys ctrl+o
shot option-second
keys F1
sleep 0.5
[ -f "$WORK/lpr.0.args" ] || fail "F1 handed nothing to lpr"
[ "$(cat "$WORK/lpr.0.args")" = "$(printf -- '-Plp0\nseis.prn')" ] || fail "lpr args: $(cat "$WORK/lpr.0.args")"
copy=$WORK/lpr.0.file
[ "$(wc -c < "$copy")" = $((25 * 82)) ] || fail "hard copy size $(wc -c < "$copy")"
grep -q "Request : OPTION" "$copy" || fail "hard copy lacks the form"
grep -q "( /data/seis " "$copy" || fail "data directory not read back"
grep -q "( /seis/aux " "$copy" || fail "auxiliary directory not read back"
grep -q "( lp0 " "$copy" || fail "printer not read back"
keys F3
e2e_quit second
cmp -s "$f" "$ART/_seis" || fail "setup file changed by a run that changed nothing"
echo PASS
