# Sourced by the end-to-end scripts: run the real binary under a private
# Xvfb and drive it with xdotool.
# Usage: . lib.sh; e2e_setup <name> [alias|noalias]; e2e_start; ...
set -eu
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TOP=$(cd "$E2E_DIR/../.." && pwd)
. "$TOP/tests/xvfb.sh"
. "$TOP/tests/setup-file.sh"

e2e_setup() {
	NAME=$1
	BIN=$(realpath "${TARNWELL_BIN:?}")
	WORK=$(mktemp -d /tmp/tarnwell-e2e.XXXXXX)
	ART=$TOP/artifacts/$NAME
	export HOME=$WORK/home
	mkdir -p "$ART" "$HOME" "$WORK/bin"
	# A stand-in lpr on PATH records what it was asked to print.
	cat > "$WORK/bin/lpr" <<LPR
#!/bin/sh
n=\$(ls "$WORK"/lpr.*.args 2>/dev/null | wc -l)
printf '%s\n' "\$@" > "$WORK/lpr.\$n.args"
for a; do case "\$a" in -*) ;; *) cp "\$a" "$WORK/lpr.\$n.file";; esac; done
LPR
	chmod +x "$WORK/bin/lpr"
	export PATH=$WORK/bin:$PATH
	xvfb_start "${2:-alias}"
	trap 'e2e_cleanup' EXIT
}

e2e_cleanup() {
	[ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
	kill "$XVFB_PID" 2>/dev/null || true
	[ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
}

# Start the program in $WORK (seis.prn lands there); WIN gets its window.
e2e_start() {
	(cd "$WORK" && exec "$BIN") &
	APP_PID=$!
	WIN=$(timeout 10 xdotool search --sync --name "Tarnwell" | head -1)
	[ -n "$WIN" ] || fail "no window"
	xdotool mousemove --window "$WIN" 320 300
	sleep 0.3
}

# keys [SECONDS] KEY...: keys to the window, then a pause of 0.2 s for the
# program to redraw, and SECONDS more for what they started.
keys() {
	local t=0
	[[ $1 =~ ^[0-9.]+$ ]] && t=$1 && shift
	xdotool key --delay 30 "$@"
	sleep 0.2 "$t"
}
type_text() { xdotool type --delay 20 "$1"; sleep 0.1; }
click_at() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; sleep 0.3; }
shot() { import -window "$WIN" "$ART/$1.png"; }
# see NAME [SECONDS] KEY...: keys, then the screenshot NAME.
see() { local n=$1; shift; keys "$@"; shot "$n"; }
# SAVE of the listing into FILE.
save_as() { keys ctrl+v; type_text "$1"; keys 0.3 Return; }
# Pixels in which two screenshots differ.
differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }

# Wait for the program to end; prints its exit status.
e2e_wait_exit() {
	local i rc=0
	for i in $(seq 100); do kill -0 "$APP_PID" 2>/dev/null && sleep 0.05 || break; done
	kill -0 "$APP_PID" 2>/dev/null && { echo "still running" >&2; return 1; }
	wait "$APP_PID" || rc=$?
	APP_PID=
	echo $rc
}

fail() { echo "FAIL: $*" >&2; exit 1; }

# Ctrl+E, and the program must end with status 0.
e2e_quit() {
	keys ctrl+e
	local rc
	rc=$(e2e_wait_exit)
	[ "$rc" = 0 ] || fail "${1:+$1: }exit status $rc"
}

# Past the opening screen, SELECT with the form as the setup file fills it.
e2e_select() { keys "${1:-1}" space ctrl+s Return; }

# JOBS: the files handed to lpr, in order; job N: the Nth of them.
print_jobs() { JOBS=($(ls "$WORK"/lpr.*.file 2>/dev/null | sort -V)); }
job() { ls "$WORK"/lpr.*.file 2>/dev/null | sort -V | sed -n "$1p"; }
# Row N (from 0) of a text hard copy, without its CR.
row() { tr -d '\r' < "$1" | sed -n "$(($2 + 1))p"; }

# colour SHOT COLOUR [CROP]: pixels of that colour in a screenshot (inside
# the map frame unless a crop is given).
colour() {
	convert "$ART/$1.png" -crop "${3:-490x400+4+45}" +repage -fuzz 5% -fill white -opaque "$2" \
		-fill black +opaque white -format "%[fx:mean*w*h]" info: | cut -d. -f1
}

# SORTED, a SAVE after SORT by magnitude, descending: events without one
# last, and the same lines as the SAVE before it, SAVED.
check_sorted() {
	cut -c47-51 "$1" | awk '
		$0 ~ /^ *$/ { blank = 1; next }
		blank { print "magnitude after a blank one"; exit 1 }
		NR > 1 && $1 > last { print "not descending at " NR; exit 1 }
		{ last = $1 }' || fail "sorted magnitudes out of order"
	[ "$(sort "$1" | md5sum)" = "$(sort "$2" | md5sum)" ] || fail "SORT lost or changed events"
}

# server_start SED-EXPR OPTIONS...: tarnwell-server (next to $BIN) with the
# options, SRV_PID, its log in $WORK/server.log, and in PORT what the sed
# expression prints from the log once the port is listed there.
server_start() {
	local expr=$1
	shift
	SRV=$(dirname "$BIN")/server/tarnwell-server
	[ -x "$SRV" ] || fail "no tarnwell-server next to $BIN"
	"$SRV" "$@" 2> "$WORK/server.log" &
	SRV_PID=$!
	trap 'kill $SRV_PID 2>/dev/null || true; e2e_cleanup' EXIT
	for _ in $(seq 100); do
		PORT=$(sed -n "$expr" "$WORK/server.log")
		[ -n "$PORT" ] && break
		sleep 0.05
	done
	[ -n "$PORT" ] || fail "the server did not start: $(cat "$WORK/server.log")"
}

# keep_ps FILE NAME: the PostScript file must pass ghostscript; it is kept
# as $ART/NAME.ps with its rendering $ART/NAME.png.
keep_ps() {
	gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY "$1" || fail "ghostscript rejects $2"
	gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=letter -sDEVICE=png16m -r60 \
		-sOutputFile="$ART/$2.png" "$1" || fail "ghostscript cannot render $2"
	cp "$1" "$ART/$2.ps"
}

# Every print job (or only the PostScript ones with "ps") through keep_ps,
# as job0, job1, ...; KEPT is how many.
keep_jobs() {
	KEPT=0
	local j
	for j in $(ls "$WORK"/lpr.*.file | sort -V); do
		[ "${1:-}" = ps ] && ! head -c 2 "$j" | grep -q '%!' && continue
		keep_ps "$j" job$KEPT
		KEPT=$((KEPT + 1))
	done
}

# SIGTERM, and the server must stop cleanly.
server_stop() {
	cp "$WORK/server.log" "$ART/server.log"
	kill -TERM $SRV_PID
	wait $SRV_PID || fail "server exit status $?"
	tail -1 "$WORK/server.log" | grep -q stopped || fail "no clean stop"
}
