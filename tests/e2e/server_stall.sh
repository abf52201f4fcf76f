#!/usr/bin/env bash
# A retrieval server that accepts the connection and never answers: while
# SELECT waits for it, the window is covered by another one and uncovered
# again and must show what it showed before, and Ctrl+E must end the
# program within a second.
. "$(dirname "$0")/lib.sh"
e2e_setup server_stall

# The stand-in peer: accepts one connection and stays silent.
python3 - "$WORK/port" <<'PY' &
import os, socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(1)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(s.getsockname()[1]))
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
c, _ = s.accept()
time.sleep(120)
PY
PEER_PID=$!
trap 'kill $PEER_PID ${COVER_PID:-} 2>/dev/null || true; e2e_cleanup' EXIT
for _ in $(seq 100); do
	[ -s "$WORK/port" ] && break
	sleep 0.05
done
PORT=$(cat "$WORK/port") || fail "the stand-in peer did not start"

write_seis "@127.0.0.1:$PORT" "$TOP/data/aux" JMA 1995 1995 "" 128 146 25 46

e2e_start
see waiting 0.5 space ctrl+s Return # the request goes out; no answer comes

eval "$(xwininfo -id "$WIN" | sed -n 's/^ *Absolute upper-left \([XY]\): *\(-*[0-9]*\)/\1=\2/p')"
xlogo -geometry "653x471+$X+$Y" &
COVER_PID=$!
sleep 0.7
shot covered
kill $COVER_PID
wait $COVER_PID 2>/dev/null || true
COVER_PID=
sleep 0.5
shot uncovered
[ "$(differ "$ART/waiting.png" "$ART/covered.png")" -gt 1000 ] || fail "the window was never covered"
[ "$(differ "$ART/waiting.png" "$ART/uncovered.png")" = 0 ] || fail "not repainted while waiting"

xdotool mousemove --window "$WIN" 320 300
sleep 0.2
t0=$(date +%s%N)
xdotool key ctrl+e
rc=$(e2e_wait_exit) || fail "Ctrl+E did not end the program"
ms=$((($(date +%s%N) - t0) / 1000000))
echo "ended ${ms} ms after Ctrl+E, status $rc"
[ "$rc" = 0 ] || fail "exit status $rc"
[ "$ms" -lt 1000 ] || fail "Ctrl+E took ${ms} ms"
[ -s "$HOME/_seis" ] || fail "the setup file was not written on the way out"
echo "OK"
