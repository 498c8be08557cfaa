#!/usr/bin/env bash
# The error boxes of a running full-screen saver under Wine: each shows as the
# top window after the saver's window has gone, and the process ends with 0
# (win32/error_box_test.exe drives and checks them).
# Usage: error_box.sh <helper dir> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
helpers=$1
work=$3
[[ -f $helpers/error_box_test.exe ]] || fail "no $helpers/error_box_test.exe"
wine_begin "$work" "$2"
for kind in glfw shader mesh; do
  echo "== $kind"
  timeout 90 wine "$helpers/error_box_test.exe" check "$kind" > "$work/$kind.out" 2>&1
  rc=$?
  grep -E '^(ok|FAIL)' "$work/$kind.out"
  [[ $rc -eq 0 ]] || fail "$kind (helper exit code $rc)"
done
exit 0
