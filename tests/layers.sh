#!/bin/sh
# Includes run one way: device (with its X11 back end) -> panel engine ->
# commands (catalog, then listing, then the chart pieces diagrams and maps
# share, then diagrams and maps, which never include each other) -> the loop. Prints every include against that order.
cd "${1:-.}" || exit 2
grep -rnE '^#include "[a-z]+/' src | awk -F: '
function rank(p) {
	if (p ~ /^src\/device\// || p ~ /^device\//) return 0
	if (p ~ /(^|\/)shell\/(panel|fieldcheck|templates)\./) return 1
	if (p ~ /(^|\/)(catalog\/|shell\/setup\.)/) return 2
	if (p ~ /(^|\/)listing\//) return 3
	if (p ~ /(^|\/)chart\//) return 4
	if (p ~ /(^|\/)(diagrams|maps)\//) return 5
	return 6
}
function group(p) { sub(/^src\//, "", p); sub(/\/.*/, "", p); return p }
{
	inc = $3; sub(/^#include "/, "", inc); sub(/".*/, "", inc)
	r = rank($1); ri = rank(inc)
	cross = r == 5 && ri == 5 && group($1) != group(inc)
	if (ri > r || cross) { print $1 ":" $2 ": " inc; bad = 1 }
}
END { exit bad }'
