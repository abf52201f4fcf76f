# Sourced by test scripts: start a private Xvfb and export DISPLAY.
# xvfb_start [alias|noalias]: with "alias" (the default) the font path holds
# fonts/, whose fonts.alias makes the Palatino menu font resolve.
xvfb_start() {
	_top=$(cd "$(dirname "${BASH_SOURCE:-$0}")/.." 2>/dev/null && pwd)
	[ -d "$_top/fonts" ] || _top=${TARNWELL_SOURCE:-$(pwd)}
	_fp=/usr/share/fonts/X11/misc,/usr/share/fonts/X11/100dpi,/usr/share/fonts/X11/75dpi,/usr/share/fonts/X11/Type1
	[ "${1:-alias}" = alias ] && _fp="$_fp,$_top/fonts"
	_fp="$_fp,built-ins"
	_n=$(( ($$ % 400) + 100 ))
	while [ -e /tmp/.X$_n-lock ] || [ -e /tmp/.X11-unix/X$_n ]; do _n=$((_n + 1)); done
	Xvfb :$_n -screen 0 1024x768x24 -noreset -nolisten tcp -fp "$_fp" >/dev/null 2>&1 &
	XVFB_PID=$!
	export DISPLAY=:$_n
	_i=0
	while ! xdpyinfo >/dev/null 2>&1; do
		_i=$((_i + 1))
		[ $_i -gt 100 ] && { echo "Xvfb did not start" >&2; return 1; }
		sleep 0.05
	done
	trap 'kill $XVFB_PID 2>/dev/null' EXIT
}
