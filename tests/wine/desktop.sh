#!/usr/bin/env bash
# Lumeridge.scr full screen among the desktop's other windows and monitors,
# under Wine, driven by win32/saver_probe.exe:
# 1. /s leaves the display free to power off: the process never asks for
#    the display-required execution state (Wine's ntdll warns of every
#    request), SC_MONITORPOWER reaches the default window procedure and
#    SC_SCREENSAVE does not (a relay trace of user32.DefWindowProcW).
# 2. /s and a bare start end with exit code 0, never minimised and without a
#    message box, when another window comes to the front.
# 3. On an X server with two monitors (two Xvfb screens joined by Xinerama,
#    RandR off, so that Wine reads the monitors from Xinerama), each monitor
#    is covered by a topmost window; a key on the second monitor's ends it.
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
kill "$_wine_xvfb" 2>/dev/null
start_xvfb "$work" +xinerama -extension RANDR -screen 1 1280x1024x24
wineserver -p >/dev/null 2>&1
timeout 60 wine cmd /c exit >/dev/null 2>&1
probe monitors monitors
exit 0
