#!/usr/bin/env bash
# LumeridgeSetup.exe under Wine, silent mode (/S) throughout: a fresh install
# (the file in system32 with its version resource, the Programs and Features
# entry, the current user's screensaver setting); the installed saver runs
# /s and ends on a key with 0; while it runs neither an install over it nor
# the uninstaller changes anything (exit code 2); afterwards the install
# upgrades an older one in place; the uninstaller removes everything and
# takes the screensaver setting only while it names Lumeridge.
# Usage: installer.sh <LumeridgeSetup.exe> <Lumeridge.scr> <helpers dir> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
setup=$1
scr=$2
helpers=$3
work=$5
[[ -f $setup ]] || fail "no $setup"
wine_begin "$work" "$4"

sys=$WINEPREFIX/drive_c/windows/system32
installed=$sys/Lumeridge.scr
uninstaller_dir=$WINEPREFIX/drive_c/Program\ Files/Lumeridge
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumeridge'
desktop_key='HKCU\Control Panel\Desktop'

install() {  # install EXPECTED-RC WHAT
  local rc
  timeout 120 wine "$setup" /S; rc=$?
  [[ $rc -eq $1 ]] || fail "$2: the installer ended with $rc, not $1"
}

# expect_values KEY NAME=DATA...
expect_values() {
  local key=$1 pair got; shift
  for pair in "$@"; do
    got=$(reg_value "$key" "${pair%%=*}") || fail "no ${pair%%=*} under $key"
    [[ $got == "${pair#*=}" ]] || fail "$key ${pair%%=*} is '$got', not '${pair#*=}'"
  done
}

# 1. A fresh install.
install 0 "fresh install"
cmp -s "$scr" "$installed" || fail "system32 holds no copy of Lumeridge.scr"
[[ -z $(find "$sys" -maxdepth 1 -iname 'Lumeridge.scr?*') ]] || fail "a temporary file is left in system32"
version=$(timeout 30 wine "$helpers/file_version.exe" 'C:\windows\system32\Lumeridge.scr' | tr -d '\r')
for line in ProductName=Lumeridge ProductVersion=1.0.0 CompanyName=Lumeridge \
    "FileDescription=Lumeridge screensaver"; do
  grep -qxF "$line" <<<"$version" || fail "the version resource lacks $line (has: ${version//$'\n'/; })"
done
expect_values "$uninstall_key" DisplayName=Lumeridge Publisher=Lumeridge DisplayVersion=1.0.0 \
  'DisplayIcon=C:\windows\system32\Lumeridge.scr,0' \
  'UninstallString="C:\Program Files\Lumeridge\Uninstall.exe"'
size=$(reg_value "$uninstall_key" EstimatedSize) || fail "no EstimatedSize"
kib=$(($(stat -c %s "$scr") / 1024))
((size >= kib && size < kib + 1024)) || fail "EstimatedSize $((size)) KiB does not fit the file's $kib KiB"
[[ -f $uninstaller_dir/Uninstall.exe ]] || fail "no uninstaller"
expect_values "$desktop_key" 'SCRNSAVE.EXE=C:\windows\system32\Lumeridge.scr'
[[ $(reg_value "$desktop_key" ScreenSaveActive) =~ ^(1|0x1)$ ]] || fail "ScreenSaveActive is not 1"
ok "silent install: file, version resource, uninstall entry and screensaver setting"

# 2. The install made older (a byte appended, which the loader ignores, and
#    the version set back), then run as the screensaver.
echo >> "$installed"
cp "$installed" "$work/old.scr"
timeout 30 wine reg add "$uninstall_key" /v DisplayVersion /d 0.9.0 /f >/dev/null 2>&1
wine 'C:\windows\system32\Lumeridge.scr' /s > "$work/saver.out" 2>&1 &
pid=$!
win=$(wait_window '^Lumeridge$' 60) || fail "the installed saver opened no window"
install 2 "install while the saver runs"
rc=0; timeout 60 wine "$uninstaller_dir/Uninstall.exe" /S '_?=C:\PROGRA~1\Lumeridge' || rc=$?
[[ $rc -eq 2 ]] || fail "the uninstaller ended with $rc while the saver runs, not 2"
cmp -s "$work/old.scr" "$installed" || fail "the running saver's file was changed"
[[ -z $(find "$sys" -maxdepth 1 -iname 'Lumeridge.scr?*') ]] || fail "half a new install is left in system32"
expect_values "$uninstall_key" DisplayVersion=0.9.0
ok "while the saver runs, install and uninstall end with 2 and leave the old install whole"
xdotool key --window "$win" space
wait_exit "$pid" 5; rc=$?
[[ $rc -eq 0 ]] || fail "the installed saver ended with $rc after a key (124: still running after 5 s)"
ok "the installed saver runs /s and ends on a key with 0"

install 0 "upgrade"
cmp -s "$scr" "$installed" || fail "the upgrade did not replace the old file"
expect_values "$uninstall_key" DisplayVersion=1.0.0
ok "an install over an older one upgrades it in place"

# 3. Silent uninstalls, with the screensaver setting as the installer left
#    it and as the user changed it to another saver since. The uninstaller
#    runs from a copy of itself and returns at once: wait for the result.
uninstall() {  # uninstall WHAT
  timeout 60 wine "$uninstaller_dir/Uninstall.exe" /S || fail "$1: the uninstaller did not start"
  local end=$((SECONDS + 30))
  while [[ -e $installed || -e $uninstaller_dir ]] || reg_key_exists "$uninstall_key"; do
    ((SECONDS < end)) || fail "$1: the install is not gone 30 s after the uninstaller"
    sleep 0.5
  done
}
uninstall "Lumeridge chosen"
reg_value "$desktop_key" SCRNSAVE.EXE >/dev/null && fail "the uninstaller left SCRNSAVE.EXE naming Lumeridge"
ok "silent uninstall: file, uninstaller, uninstall entry and screensaver setting gone"

install 0 "second install"
other='C:\windows\system32\Other.scr'
timeout 30 wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
uninstall "another saver chosen"
expect_values "$desktop_key" "SCRNSAVE.EXE=$other"
timeout 30 wine reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null 2>&1
ok "the uninstaller leaves a screensaver setting that names another saver"
exit 0
