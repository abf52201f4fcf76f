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
	mkdir -p "$ART"
	export HOME=$WORK/home
	mkdir -p "$HOME"
	# A stand-in lpr on PATH records what it was asked to print.
	mkdir -p "$WORK/bin"
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
	[ -n "$WIN" ] || { echo "no window" >&2; exit 1; }
	xdotool mousemove --window "$WIN" 320 300
	sleep 0.3
}

# Keys and clicks go to the window; a short pause lets it redraw.
keys() { xdotool key --delay 30 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 20 "$1"; sleep 0.1; }
click_at() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; sleep 0.3; }
shot() { import -window "$WIN" "$ART/$1.png"; }

# Wait for the program to end; prints its exit status.
e2e_wait_exit() {
	local i=0
	while kill -0 "$APP_PID" 2>/dev/null; do
		i=$((i + 1))
		[ $i -gt 100 ] && { echo "still running" >&2; return 1; }
		sleep 0.05
	done
	local rc=0
	wait "$APP_PID" || rc=$?
	APP_PID=
	echo $rc
}

fail() { echo "FAIL: $*" >&2; exit 1; }

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

# SELECT with the form as written, from the opening screen.
e2e_select() { keys space; keys ctrl+s; keys Return; sleep 1; }

# Ctrl+E must end the program with status 0; $1 names the session.
e2e_exit() {
	keys ctrl+e
	local rc
	rc=$(e2e_wait_exit)
	[ "$rc" = 0 ] || fail "${1:+$1: }exit status $rc"
}

# The files lpr was given, in order; job N is the Nth of them.
print_jobs() { ls "$WORK"/lpr.*.file 2>/dev/null | sort -V; }
job() { print_jobs | sed -n "$1p"; }

# row FILE N: line N (from 0) of a text hard copy, without its CR.
row() { tr -d '\r' < "$1" | sed -n "$(($2 + 1))p"; }

# colour PNG RGB [CROP]: pixels of that colour, inside the map frame
# unless another crop is given.
colour() {
	convert "$1" -crop "${3:-490x400+4+45}" +repage -fuzz 5% -fill white -opaque "$2" \
		-fill black +opaque white -format "%[fx:mean*w*h]" info: | cut -d. -f1
}

# keep_ps FILE NAME: the PostScript file must pass ghostscript; it is kept
# as $ART/NAME.ps with its rendering $ART/NAME.png.
keep_ps() {
	gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY "$1" || fail "ghostscript rejects $2"
	gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=letter -sDEVICE=png16m -r60 \
		-sOutputFile="$ART/$2.png" "$1" || fail "ghostscript cannot render $2"
	cp "$1" "$ART/$2.ps"
}

# keep_jobs FILE...: each as keep_ps, named job0, job1, ...
keep_jobs() {
	local i=0 j
	for j; do
		keep_ps "$j" job$i
		i=$((i + 1))
	done
}
