#!/usr/bin/env bash
# Lumeridge.scr full screen among the desktop's other windows and monitors,
# under Wine, driven by win32/saver_probe.exe:
# 1. /s leaves the display free to power off: the process never asks for
#    the display-required execution state (Wine's ntdll warns of every
#    request), SC_MONITORPOWER reaches the default window procedure and
#    SC_SCREENSAVE does not (a relay trace of user32.DefWindowProcW).
# 2. /s and a bare start end with exit code 0, never minimised and without a
#    message box, when another window comes to the front.
# 3. On an X server with two monitors (Xorg's dummy driver; the other
#    monitor left of the primary and reaching above it), each monitor is
#    covered by a topmost window of exactly its size; motion over the other
#    monitor leaves it running, a key or a button there ends it with 0; the
#    other monitor shows the rain: the primary's background, moving.
# Usage: desktop.sh <Lumeridge.scr> <helper dir> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
scr=$1
probe=$2/saver_probe.exe
work=$4
for f in "$scr" "$probe"; do [[ -f $f ]] || fail "no $f"; done
wine_begin "$work" "$3"

# probe NAME CHECK [ARGS...]: runs one check of the probe (it bounds its waits)
probe() {
  local name=$1; shift
  timeout 90 wine "$probe" "$scr" "$@" > "$work/$name.out" 2> "$work/$name.err"
  local rc=$?
  grep -E '^(ok|FAIL|saver window)' "$work/$name.out"
  [[ $rc -eq 0 ]] || fail "$name (probe exit code $rc)"
}

echo "== display power"
relay='HKCU\Software\Wine\Debug'
wine reg add "$relay" /v RelayInclude /d 'user32.DefWindowProcW' /f >/dev/null 2>&1 || fail "setting RelayInclude"
WINEDEBUG=warn+ntdll,+relay probe power power
wine reg delete "$relay" /v RelayInclude /f >/dev/null 2>&1
trace=$work/power.err
read -r hwnd < <(sed -n 's/^saver window \([0-9a-f]*\) thread.*/\1/p' "$work/power.out")
[[ -n $hwnd ]] || fail "the probe named no saver window"
requests=$(grep -o 'NtSetThreadExecutionState (0x[0-9a-f]*' "$trace" | sed 's/.*(//')
echo "execution-state requests: ${requests:-none}"
for r in $requests; do
  (((r & 0x2) == 0)) || fail "the saver asked for the display-required execution state ($r)"
done
ok "no display-required execution state"
grep -q "DefWindowProcW($hwnd,00000112,0000f170," "$trace" ||
  fail "SC_MONITORPOWER did not reach the default window procedure"
ok "SC_MONITORPOWER reaches the default window procedure"
grep -q "DefWindowProcW($hwnd,00000112,0000f14" "$trace" &&
  fail "SC_SCREENSAVE reached the default window procedure"
ok "SC_SCREENSAVE is swallowed"

for start in /s bare; do
  echo "== focus lost, $start"
  probe "focus-${start#/}" focus "$start"
done

echo "== two monitors"
wineserver -k >/dev/null 2>&1; timeout 30 wineserver -w
start_monitors "$work"
wineserver -p >/dev/null 2>&1
timeout 60 wine cmd /c exit >/dev/null 2>&1
probe monitors monitors

# The other monitor's part of the screen (X coordinates) and the band of each
# monitor that shows the lowest quarter-width strip of the photograph.
other=1280x1024+0+0
other_band=1280x320+0+704
main_band=1920x480+1280+900
wine "$scr" /s > "$work/rain.out" 2>&1 &
pid=$!
end=$((SECONDS + 60))
until [[ $(xdotool search --onlyvisible --name '^Lumeridge$' 2>/dev/null | wc -l) -ge 2 ]]; do
  ((SECONDS < end)) || fail "no two windows of the saver"
  sleep 0.3
done
end=$((SECONDS + 30))
until screenshot "$work/other1.png" "$other" &&
  awk -v s="$(spread "$work/other1.png")" 'BEGIN {exit !(s > 0.03)}'; do
  ((SECONDS < end)) || fail "the other monitor shows no picture (grey spread $(spread "$work/other1.png"))"
  sleep 0.3
done
moved=$(wait_moves "$work/other1.png" "$work/other2.png" "$other") ||
  fail "the other monitor's picture does not move ($moved pixels changed)"
ok "the other monitor shows a moving picture ($moved pixels changed)"
screenshot "$work/other-band.png" "$other_band"
screenshot "$work/main-band.png" "$main_band"
distance=$(block_distance "$work/other-band.png" "$work/main-band.png")
awk -v d="$distance" 'BEGIN {exit !(d < 12)}' ||
  fail "the other monitor does not show the primary's background (block distance $distance)"
ok "the other monitor shows the primary's background (block distance $distance)"
keeps_running "$pid" 300 400 "the other monitor"
xdotool click 1
wait_exit "$pid" 5; rc=$?
[[ $rc -eq 0 ]] || fail "after a click on the other monitor the process ended with $rc (124: still running)"
ok "a click on the other monitor ends it with exit code 0"
exit 0
