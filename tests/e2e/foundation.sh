#!/usr/bin/env bash
# Start-up, the main menu, a menu-bar click, repaint after covering, exit;
# the program without a display and without the menu font.
. "$(dirname "$0")/lib.sh"
e2e_setup foundation

out=$(DISPLAY= "$BIN" 2>&1) || rc=$?
[ "${rc:-0}" = 1 ] || fail "status without display: ${rc:-0}"
[ "$out" = "You are not in the X Window environment!" ] || fail "message: $out"

e2e_start
[ "$(xdotool getwindowname "$WIN")" = "Tarnwell (Version 3.02a  April 25, 2000)" ] || fail title
read -r W H < <(xwininfo -id "$WIN" | awk '/Width:/{w=$2}/Height:/{h=$2}END{print w, h}')
[ "$W" = 653 ] && [ "$H" = 471 ] || fail "size $W x $H"
# Leave the opening screen if there is one.
see menu space
# The menu separator and the status line are where they belong.
px=$(convert "$ART/menu.png" -format "%[pixel:p{300,18}]" info:)
[ "$px" = "srgb(129,129,129)" ] || fail "separator: $px"

# A click on "Map" behaves like Ctrl+Enter; the program stays up.
click_at 245 8
kill -0 "$APP_PID" || fail "died after the Map click"

# Cover and uncover: the window comes back from the pixmap.
see before Escape
xdotool windowunmap --sync "$WIN"
xdotool windowmap --sync "$WIN"
sleep 0.5
shot after
d=$(differ "$ART/before.png" "$ART/after.png")
[ "$d" = 0 ] || fail "repaint differs by $d pixels"

e2e_quit

# Without the Palatino alias the menu falls back to 6x13 and still starts.
kill "$XVFB_PID"
xvfb_start noalias
e2e_start
see menu-fallback space
e2e_quit "without alias"
echo PASS
