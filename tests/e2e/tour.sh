#!/usr/bin/env bash
# The newcomer's tour runs through and leaves its screenshots and rendered
# hard copies behind.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
"$top/tests/tour" "${TARNWELL_BIN:?}" > /dev/null
n=$(ls "$top"/tour/[0-9][0-9]-*.png | wc -l)
[ "$n" = 12 ] || { echo "FAIL: $n screenshots" >&2; exit 1; }
for ps in "$top"/tour/hardcopy-*.ps; do
	gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY "$ps" || { echo "FAIL: $ps" >&2; exit 1; }
	[ -s "${ps%.ps}.png" ] || { echo "FAIL: no rendering of $ps" >&2; exit 1; }
done
[ "$(ls "$top"/tour/hardcopy-*.ps | wc -l)" = 2 ] || { echo "FAIL: hard copies" >&2; exit 1; }
echo PASS
