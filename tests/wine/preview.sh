#!/usr/bin/env bash
# Lumeridge.scr /p under Wine, driven by win32/preview_host.exe (a stand-in
# for the Screen Saver Settings dialog, in a process of its own): the preview
# draws into a window of ours inside the host's preview window at its client
# size, leaves the host's windows alone, and ends with exit code 0 when the
# preview window is disabled or destroyed, or was disabled before the start.
# It follows a resize of the host's preview window, and a host that goes
# away during its start-up ends it quietly with 0 too. A /p start with a
# handle that is no window ends quietly with 0. Then
# win32/attach_window_test.exe checks the window adoption underneath.
# Usage: preview.sh <Lumeridge.scr> <helper dir> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
scr=$1
helpers=$2
work=$4
for f in "$scr" "$helpers/preview_host.exe" "$helpers/attach_window_test.exe"; do
  [[ -f $f ]] || fail "no $f"
done
wine_begin "$work" "$3"

# Each helper bounds its own waits; the outer bound only catches a hang.
for ending in disable destroy predisabled resize vanish; do
  echo "== preview, ended by: $ending"
  timeout 90 wine "$helpers/preview_host.exe" "$scr" "$ending" > "$work/$ending.out" 2>&1
  rc=$?
  grep -E '^(ok|FAIL|exit code|preview client)' "$work/$ending.out"
  [[ $rc -eq 0 ]] || fail "preview ended by $ending (helper exit code $rc)"
done

echo "== /p with a handle that is no window"
wine "$scr" /p 2147483646 > "$work/nowindow.out" 2>&1 &
pid=$!
wait_exit "$pid" 30; rc=$?
[[ $rc -eq 0 ]] || fail "/p 2147483646 ended with $rc (124: still running after 30 s)"
xdotool search --onlyvisible --name . >/dev/null 2>&1 && fail "/p 2147483646 left a window: $(xdotool search --onlyvisible --name . getwindowname %@)"
ok "/p 2147483646 ends quietly with 0"

for part in same other; do
  echo "== window adoption: a window of the $part process"
  timeout 90 wine "$helpers/attach_window_test.exe" "$part" > "$work/attach-$part.out" 2>&1
  rc=$?
  grep -E '^(ok|FAIL)' "$work/attach-$part.out"
  [[ $rc -eq 0 ]] || fail "window adoption, $part process (helper exit code $rc)"
done
exit 0
