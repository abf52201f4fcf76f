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
see option-first space
# The OPTION form: its first box is white where the main menu is blank.
white option-first 200 120 || fail "no OPTION form at first start"
n=$(reds option-first 640x14+50+335)
[ "${n%.*}" -gt 50 ] || fail "no message on the OPTION message line ($n red pixels)"

type_text "/data/seis"
keys Tab Tab
type_text "lp0 "
shot option-typed
see menu Return
e2e_quit

f=$HOME/_seis
[ -f "$f" ] || fail "no setup file"
[ "$(wc -l < "$f")" = 42 ] || fail "setup file has $(wc -l < "$f") lines"
for want in 1=/data/seis "2=PS  " 3=lp0 "4=PDE  " "37=7 8 1.500000 1.250000" 42=/seis/aux; do
	line=$(sed -n "${want%%=*}p" "$f")
	[ "$line" = "${want#*=}" ] || fail "line ${want%%=*}: $line"
done
cp "$f" "$ART/_seis"

# Second start: straight to the main menu, and OPTION shows what was saved.
export SEIS=
e2e_start
see menu-second space
! white menu-second 200 120 || fail "OPTION shown again at second start"
see option-second ctrl+o
keys 0.5 F1
[ -f "$WORK/lpr.0.args" ] || fail "F1 handed nothing to lpr"
[ "$(cat "$WORK/lpr.0.args")" = "$(printf -- '-Plp0\nseis.prn')" ] || fail "lpr args: $(cat "$WORK/lpr.0.args")"
copy=$WORK/lpr.0.file
[ "$(wc -c < "$copy")" = $((25 * 82)) ] || fail "hard copy size $(wc -c < "$copy")"
for w in "Request : OPTION" "( /data/seis " "( /seis/aux " "( lp0 "; do
	grep -qF "$w" "$copy" || fail "hard copy lacks '$w'"
done
keys F3
e2e_quit second
cmp -s "$f" "$ART/_seis" || fail "setup file changed by a run that changed nothing"
echo PASS
