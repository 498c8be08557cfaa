#!/usr/bin/env bash
# Lumeridge.scr /s and bare starts under Wine: a full-screen window with a
# moving, rippled picture; moving the mouse leaves it running, a mouse click
# or a key ends it with exit code 0; different starts show different
# backgrounds; while a bare start runs a second bare start ends at once with
# 0 (the named event).
# Usage: screensaver.sh <Lumeridge.scr> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
scr=$1
work=$3
[[ -f $scr ]] || fail "no $scr"
wine_begin "$work" "$2"

# start_saver NAME ARGS... -> sets pid and win; the window must be full screen
start_saver() {
  local name=$1; shift
  wine "$scr" "$@" > "$work/$name.out" 2>&1 &
  pid=$!
  win=$(wait_window '^Lumeridge$' 60) || fail "$name: no window"
  local g; g=$(geometry "$win")
  [[ $g == "0 0 1920 1080" ]] || fail "$name: window at $g, not full screen 1920x1080"
}

# wait_picture NAME -> the first screenshot that is not flat (the scene is set up)
wait_picture() {
  local end=$((SECONDS + 30)) s
  while ((SECONDS < end)); do
    screenshot "$work/$1.png"
    s=$(spread "$work/$1.png")
    awk -v s="$s" 'BEGIN {exit !(s > 0.03)}' && { echo "$s"; return 0; }
    sleep 0.3
  done
  fail "$1: the picture stayed flat (grey spread ${s:-?})"
}

end_with() {  # end_with NAME HOW: the process ends with 0 within 5 s
  local rc
  wait_exit "$pid" 5; rc=$?
  [[ $rc -eq 0 ]] || fail "$1: after $2 the process ended with $rc (124: still running after 5 s)"
  ok "$1: $2 ends it with exit code 0"
}

# 1. /s: a detailed picture whose ripples move; the mouse moving does not
#    end it, a click does.
start_saver s1 /s
spread1=$(wait_picture s1) || fail "${spread1#FAIL: }"
ok "s1: full screen 1920x1080, picture spread $spread1"
moved=$(wait_moves "$work/s1.png" "$work/s1-later.png") || fail "s1: the picture does not move ($moved pixels changed)"
ok "s1: the ripples move ($moved pixels changed)"
keeps_running "$pid" 700 500 s1
xdotool click 1
end_with s1 "a mouse click"

# 2. /s again, ended by a key; one more start while the backgrounds match
#    (1 in 20 per start).
shots=("$work/s1.png")
for n in 2 3 4 5; do
  start_saver "s$n" /s
  wait_picture "s$n" >/dev/null
  shots+=("$work/s$n.png")
  xdotool key --window "$win" space
  end_with "s$n" "a key"
  distance=$(block_distance "$work/s1.png" "$work/s$n.png")
  echo "block distance s1-s$n: $distance"
  awk -v d="$distance" 'BEGIN {exit !(d > 8)}' && break
done
awk -v d="$distance" 'BEGIN {exit !(d > 8)}' ||
  fail "${#shots[@]} starts all showed the same background (block distance $distance)"
ok "different starts show different backgrounds (block distance $distance)"

# 3. A bare start holds the event: a second bare start ends at once with 0,
#    while the first keeps running.
wine "$scr" > "$work/first.out" 2>&1 &
first=$!
win=$(wait_window '^Lumeridge$' 60) || fail "bare start opened no window"
wine "$scr" > "$work/second.out" 2>&1 &
second=$!
wait_exit "$second" 30; rc=$?
[[ $rc -eq 0 ]] || fail "second bare start ended with $rc"
ok "a second bare start ends with 0 while the first runs"
kill -0 "$first" 2>/dev/null || fail "the first instance did not keep running"
pid=$first
xdotool key --window "$win" space
end_with "bare start" "a key"
exit 0
