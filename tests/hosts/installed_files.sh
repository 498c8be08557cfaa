#!/usr/bin/env bash
# The installed host files: the install tree and the .deb hold exactly the
# layout the hosts look in, the XML and the desktop file are what
# XScreenSaver, MATE and Xfce read, and --add-to-xscreensaver edits a
# temporary ~/.xscreensaver as promised.
#   installed_files.sh INSTALL_DIR BUILD_DIR
set -uo pipefail
inst=$1 build=$2
export hack=$inst/libexec/xscreensaver/lumeridge
scratch=$(mktemp -d)
trap 'chmod -R u+rwx "$scratch"; rm -rf "$scratch"' EXIT
failures=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  if "$@" >"$scratch/out" 2>&1; then echo "ok   $what"; else echo "FAIL $what"; sed 's/^/     /' "$scratch/out"; failures=$((failures + 1)); fi
}

layout="bin/lumeridge
libexec/xscreensaver/lumeridge
share/applications/screensavers/lumeridge.desktop
share/doc/lumeridge/changelog.gz
share/doc/lumeridge/copyright
share/man/man6/lumeridge.6x.gz
share/xscreensaver/config/lumeridge.xml"

# --- the install tree and the package ----------------------------------------
check "install tree layout" diff <(echo "$layout") <(cd "$inst" && find . ! -type d | sed 's|^\./||' | sort)
(cd "$build" && cpack -G DEB -B "$scratch/deb" >/dev/null 2>&1)
deb=$(ls "$scratch"/deb/lumeridge_*_amd64.deb 2>/dev/null)
check "package layout (dpkg-deb -c)" diff <(echo "$layout" | sed 's|^|usr/|') \
  <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
check "package control" bash -c "dpkg-deb -f '$deb' Section Recommends Depends |
  grep -qx 'Section: x11' && dpkg-deb -f '$deb' Recommends | grep -qx 'xscreensaver | mate-screensaver' &&
  dpkg-deb -f '$deb' Depends | grep -q libglfw3"
check "package version names the release it was built on" bash -c ". /etc/os-release;
  dpkg-deb -f '$deb' Version | grep -qx '[0-9.]*+deb'\$VERSION_ID && zcat '$inst/share/doc/lumeridge/changelog.gz' |
  head -1 | grep -q \"(\$(dpkg-deb -f '$deb' Version)) \$VERSION_CODENAME;\""
check "lumeridge on PATH is the program" bash -c "[ \"\$(readlink -f '$inst/bin/lumeridge')\" = \"\$(readlink -f '$hack')\" ] &&
  dpkg-deb -c '$deb' | grep -q ' ./usr/bin/lumeridge -> ../libexec/xscreensaver/lumeridge\$' &&
  env -u DISPLAY PATH='$inst/bin':/usr/bin:/bin lumeridge --help | grep -q -- --photos"
check "package desktop file names /usr/libexec" bash -c "dpkg-deb --fsys-tarfile '$deb' |
  tar -xO ./usr/share/applications/screensavers/lumeridge.desktop | grep -qx 'Exec=/usr/libexec/xscreensaver/lumeridge --root'"

# --- the files the hosts read -------------------------------------------------
xml=$inst/share/xscreensaver/config/lumeridge.xml
desktop=$inst/share/applications/screensavers/lumeridge.desktop
check "XML well formed" xmllint --noout "$xml"
check "XML names the program and --root" bash -c "
  [ \"\$(xmllint --xpath 'string(/screensaver/@name)' '$xml')\" = lumeridge ] &&
  [ \"\$(xmllint --xpath 'count(/screensaver/command[@arg=\"--root\"])' '$xml')\" = 1 ] &&
  [ -n \"\$(xmllint --xpath 'string(/screensaver/_description)' '$xml')\" ]"
# Every switch the settings dialog can add is one the program accepts
# (with --help, as mate-screensaver validates arguments).
args=$(xmllint --xpath '//*[not(self::number)]/@arg | //@arg-set | //@arg-unset' "$xml" |
  sed 's/^ *[a-z-]*="\(.*\)"$/\1/; s/%/\/tmp/')
check "XML switches accepted" env -u DISPLAY "$hack" $args --help
# The frame-rate slider at both ends; its default (which the settings dialog
# leaves off the command line) is the program's own.
slider() { xmllint --xpath "string(//number[@id='delay']/@$1)" "$xml"; }
check "XML frame rate accepted" bash -c "for v in $(slider low) $(slider high); do
  env -u DISPLAY '$hack' --root --delay \$v --help >/dev/null || exit 1; done"
check "XML frame rate default is the program's" bash -c "[ '$(slider convert)' = invert ] &&
  env -u DISPLAY '$hack' --help | grep -q 'default $(slider default):'"
check "desktop file validates" desktop-file-validate "$desktop"
check "desktop file Exec, TryExec, Categories" bash -c "grep -qx 'Exec=$hack --root' '$desktop' &&
  grep -qx 'TryExec=$hack' '$desktop' && grep -qx 'Categories=Screensaver;' '$desktop'"
check "man page" bash -c "gzip -t '$inst/share/man/man6/lumeridge.6x.gz' &&
  zcat '$inst/share/man/man6/lumeridge.6x.gz' | grep -q 'add\\\\-to\\\\-xscreensaver'"

# --- --add-to-xscreensaver on a temporary home --------------------------------
add() { HOME=$1 "$hack" --add-to-xscreensaver; }
home=$scratch/new; mkdir "$home"
check "no file: created with Lumeridge first" bash -c "$(declare -f add); add '$home' &&
  sed -n '/^programs:/{n;p;q}' '$home/.xscreensaver' | grep -q '\"Lumeridge\" $hack --root'"
if [ -r /etc/X11/app-defaults/XScreenSaver ]; then
  check "no file: the system list follows" grep -q 'maze --root' "$home/.xscreensaver"
fi

home=$scratch/existing; mkdir "$home"
printf '# XScreenSaver Preferences File\ntimeout:\t0:10:00\nprograms:\t\t\\\n  GL: gears --root \\n\\\n  maze --root \\n\\\n\nmode:\trandom\n' >"$home/.xscreensaver"
cp "$home/.xscreensaver" "$scratch/original"
check "existing file: added" bash -c "$(declare -f add); add '$home'"
check "existing file: every other line kept" diff <(cat "$scratch/original") <(grep -v '"Lumeridge"' "$home/.xscreensaver")
check "existing file: backup" cmp "$scratch/original" "$home/.xscreensaver.bak"
cp "$home/.xscreensaver" "$scratch/once"
check "second run changes nothing" bash -c "$(declare -f add); add '$home' | grep -q 'already' && cmp '$scratch/once' '$home/.xscreensaver'"

home=$scratch/garbled; mkdir "$home"
head -c 300 "$hack" >"$home/.xscreensaver"; cp "$home/.xscreensaver" "$scratch/garbled.orig"
check "unparseable file: refused with a message, untouched" bash -c "$(declare -f add); ! add '$home' 2>'$scratch/err';
  grep -q 'left untouched' '$scratch/err' && cmp '$scratch/garbled.orig' '$home/.xscreensaver' && [ ! -e '$home/.xscreensaver.bak' ]"
home=$scratch/directory; mkdir -p "$home/.xscreensaver"
check "a folder in its place: refused" bash -c "$(declare -f add); ! add '$home' 2>/dev/null && [ -d '$home/.xscreensaver' ]"
if [ "$(id -u)" -ne 0 ]; then  # root reads any file
  home=$scratch/unreadable; mkdir "$home"; echo 'programs: \' >"$home/.xscreensaver"; chmod 000 "$home/.xscreensaver"
  check "unreadable file: refused" bash -c "$(declare -f add); ! add '$home' 2>/dev/null"
fi

[ "$failures" -eq 0 ] && echo "all installed-file checks passed" || echo "$failures checks failed"
exit $((failures > 0))
