#!/usr/bin/env bash
# tarnwell-setup's arguments: help, wrong options, a directory that is none,
# and an existing setup file kept unless --force. Runs in a scratch home.
# Usage: setup_command.sh path/to/tarnwell-setup
set -u
bin=$1 work=$(mktemp -d) fails=0
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME" "$work/data" "$work/with blank" && cd "$work" || exit 1
# expect STATUS STDOUT-PATTERN STDERR-PATTERN LINE1 ARGS...: an empty
# pattern wants no output; LINE1 is the setup file's first line afterwards
# ("-" for no file).
expect() {
	local got l1=-
	"$bin" "${@:5}" > out 2> err && got=0 || got=$?
	[ -e "$HOME/_seis" ] && l1=$(head -1 "$HOME/_seis")
	[ "$got" = "$1" ] && [[ $(<out) =~ ${2:-^$} ]] && [[ $(<err) =~ ${3:-^$} ]] && [ "$l1" = "$4" ] ||
		{ echo "FAIL: ${*:5} -> status $got, stdout '$(<out)', stderr '$(<err)', line 1 '$l1'"; fails=$((fails + 1)); }
}
expect 0 '^usage: tarnwell-setup' '' - --help
expect 0 '^usage: tarnwell-setup' '' - -h data
expect 2 '' '^usage: tarnwell-setup' - --bogus data
expect 2 '' '^usage: tarnwell-setup' -
expect 2 '' '^usage: tarnwell-setup' - data data
expect 1 '' 'nowhere is not a directory!' - nowhere
expect 1 '' 'is not a directory!' - /dev/null
expect 1 '' 'has a blank!' - "with blank"
expect 0 '' '' "$work/data" data
echo keep > "$HOME/_seis"
expect 1 '' 'is there already \(--force replaces it\)!' keep "$work"
expect 0 '' '' "$work" --force "$work"
[ "$(wc -l < "$HOME/_seis")" = 42 ] || { echo "FAIL: forced file is not 42 lines"; fails=$((fails + 1)); }
[ "$fails" = 0 ] && echo PASS
exit "$fails"
