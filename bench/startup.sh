#!/usr/bin/env bash
# Start-up to the first exposed window, against a bare Xlib client (see
# bench/startup.cpp), under a private Xvfb with a scratch HOME holding a
# setup file for the bundled data.
# Usage: bench/startup.sh path/to/tarnwell [runs]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
b=${BUILD_DIR:-$top/build}
bin=$(realpath "$1")
. "$top/tests/xvfb.sh"
xvfb_start alias
work=$(mktemp -d)
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work SEIS=$top/data/aux
cd "$work"
"$b/tarnwell-setup" "$top/data/dataset" >/dev/null 2>&1 || true
"$b/bench/bench_startup" "$bin" "${2:-10}"
