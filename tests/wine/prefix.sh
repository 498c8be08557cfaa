#!/usr/bin/env bash
# Makes the Wine prefix that the other Wine tests of this run share: a fresh
# 64-bit prefix (about 8 s), the X11 driver unmanaged (no window manager
# here: a managed window's destruction waits about 2 s for one), and Wine's
# own fonts, which wineboot does not copy from Debian's fonts-wine (without
# Marlett the caption buttons show as letters).
# Usage: prefix.sh <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
prefix=$1
work=$2
mkdir -p "$work"
trap _wine_cleanup EXIT
start_xvfb "$work"
export WINEPREFIX=$prefix
wineserver -k >/dev/null 2>&1
rm -rf "$prefix"
timeout 120 wineboot -i >/dev/null 2>&1 || fail "wineboot -i"
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
  fail "setting Managed=N"
fonts=/usr/share/wine/fonts
[[ -f $fonts/marlett.ttf ]] || fail "no $fonts/marlett.ttf (package fonts-wine)"
cp "$fonts"/* "$prefix/drive_c/windows/Fonts/" || fail "copying Wine's fonts"
timeout 60 wineserver -w
ok "prefix $prefix"
