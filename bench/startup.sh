#!/usr/bin/env bash
# Start-up to first screen: the program is started under Xvfb, the opening
# screen is awaited (its window appears and Ctrl+E is taken, so the panel
# has been drawn and the key loop runs), ten times. A bare X client
# (xdpyinfo) connecting to the same server is the yardstick.
# Usage: bench/startup.sh path/to/tarnwell
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "$1")
. "$top/tests/xvfb.sh"
xvfb_start alias
work=$(mktemp -d)
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work SEIS=$top/data/aux
"$top/build/tarnwell-setup" "$top/data/dataset" 2>/dev/null || true
now() { date +%s.%N; }
runs=10
t0=$(now)
for _ in $(seq $runs); do
	"$bin" & pid=$!
	w=$(xdotool search --sync --name Tarnwell | head -1)
	xdotool mousemove --window "$w" 300 300 key ctrl+e
	wait $pid
done
t1=$(now)
for _ in $(seq $runs); do xdpyinfo > /dev/null; done
t2=$(now)
awk -v a="$t0" -v b="$t1" -v c="$t2" -v n=$runs 'BEGIN {
	s = (b - a) / n; x = (c - b) / n
	printf "startup: first screen and exit %.1f ms, xdpyinfo %.1f ms, ratio %.1f\n", s * 1000, x * 1000, s / x }'
