#!/usr/bin/env bash
# Runs the Windows build under Wine on a private Xvfb: /s opens a full-screen
# window and a key ends it with exit code 0; while a bare start runs, a second
# bare start ends at once with 0 (the named event), and /s does not check.
# Usage: scr_smoke.sh <path to Lumeridge.scr> <work dir>
set -u
scr=$1
work=$2
[[ -f $scr ]] || { echo "no $scr"; exit 1; }
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

fail() { echo "FAIL: $*"; exit 1; }

# Private display.
Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp > "$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
cleanup() {
  xdotool keyup Return >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  timeout 120 wineboot -i >/dev/null 2>&1 || fail "wineboot"
  timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
# Start the server first so no later process waits on inherited pipes.
wineserver -p >/dev/null 2>&1
timeout 60 wine cmd /c exit >/dev/null 2>&1

wait_window() {  # wait_window SECONDS -> prints window id of "Lumeridge"
  local end=$((SECONDS + $1))
  while ((SECONDS < end)); do
    local id
    id=$(xdotool search --name '^Lumeridge$' 2>/dev/null | head -1)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

wait_exit() {  # wait_exit PID SECONDS -> exit code, or 124 on time-out
  local end=$((SECONDS + $2))
  while ((SECONDS < end)); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  return 124
}

# 1. /s: full screen, a key ends it with 0.
wine "$scr" /s > "$work/s.out" 2>&1 &
pid=$!
win=$(wait_window 60) || fail "/s opened no window"
geometry=$(xdotool getwindowgeometry "$win" 2>/dev/null | grep Geometry | awk '{print $2}')
[[ $geometry == 1920x1080 ]] || fail "/s window is $geometry, not 1920x1080"
sleep 1
import -window root "$work/screensaver.png" 2>/dev/null
xdotool key --window "$win" space
wait_exit "$pid" 20; rc=$?
[[ $rc -eq 0 ]] || fail "/s after a key ended with $rc"
echo "ok: /s full screen 1920x1080, a key ends it with 0"

# 2. A bare start holds the event: a second bare start ends at once with 0,
#    while /s still runs beside it.
wine "$scr" > "$work/first.out" 2>&1 &
first=$!
win=$(wait_window 60) || fail "bare start opened no window"
t0=$SECONDS
wine "$scr" > "$work/second.out" 2>&1 &
second=$!
wait_exit "$second" 30; rc=$?
[[ $rc -eq 0 ]] || fail "second bare start ended with $rc"
echo "ok: second bare start ended with 0 after $((SECONDS - t0)) s"
kill -0 "$first" 2>/dev/null || fail "the first instance did not keep running"
xdotool key --window "$win" space
wait_exit "$first" 20; rc=$?
[[ $rc -eq 0 ]] || fail "first bare start ended with $rc"
echo "ok: first bare start ended with 0 after a key"
exit 0
