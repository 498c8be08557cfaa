#!/usr/bin/env bash
# A release's package as its users get it: installed with apt in a fresh root
# of that Debian release, then run the way the README says and under that
# release's real screensaver hosts. The test programs of BUILD_DIR (a linux
# tree; it and the source tree are read-only inside the root) drive the
# installed program ($LUMERIDGE_UNDER_TEST). Run by scripts/test --full; needs root.
#
#   release_hosts.sh bookworm DEB BUILD_DIR   Debian 12: XScreenSaver 6.06, mate-screensaver 1.26
#   release_hosts.sh trixie DEB BUILD_DIR     Debian 13 (GLFW 3.4): XScreenSaver 6.09,
#                                             xfce4-screensaver 4.18, /s and host mode, also
#                                             in a Wayland session's environment
#
# Prints each host's start-to-picture and stop times ("[ figure ]") and the
# checks that failed; exit 0 only if all passed.
set -uo pipefail
source_tree="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$source_tree/scripts/debian-root.sh"
root_namespace "$(realpath "$0")" "$@"
suite=$1
# Without its package (scripts/package failed) there is nothing to test: no
# root is made for it.
[[ -f ${2:-} ]] || { echo "release_hosts: no package ${2:-}" >&2; exit 1; }
deb=$(realpath "$2")
build=$(realpath "$3")
chroot=$(dirname "$build")/roots/$suite-hosts
trap 'root_remove "$chroot"' EXIT

# The X tools and window manager the end-to-end tests use, and the hosts.
packages=(xvfb xdotool x11-xserver-utils openbox dbus passwd xscreensaver)
case $suite in
  bookworm) packages+=(mate-screensaver libglib2.0-bin) ;;
  # Xorg with the dummy driver: the e2e suite's two monitors.
  trixie) packages+=(xfce4-screensaver xserver-xorg-core xserver-xorg-video-dummy) ;;
  *) echo "release_hosts: no hosts for $suite" >&2; exit 2 ;;
esac
t0=$SECONDS
root_create "$chroot" "$suite" "${packages[@]}" || exit 1
echo "release_hosts: $suite root in $((SECONDS - t0)) s"
cp "$deb" "$chroot/tmp/"
# apt's notes (debconf's among them) are shown only when it fails.
if ! out=$(root_run "$chroot" timeout 600 apt-get install -y -qq "/tmp/$(basename "$deb")" 2>&1); then
  tail -20 <<<"$out" >&2
  echo "release_hosts: apt could not install $(basename "$deb")" >&2
  exit 1
fi
# The test programs name files of the source tree too (the Xorg
# configuration of the two-monitor tests).
root_bind "$chroot" "$source_tree"
[[ $build == "$source_tree"/* ]] || root_bind "$chroot" "$build"
echo "release_hosts: $(root_run "$chroot" dpkg-query -W -f '${Package} ${Version}' lumeridge) installed with apt"

failures=0
check() {  # check WHAT COMMAND... (run inside the root)
  local what=$1 out
  shift
  if out=$(root_run "$chroot" timeout 60 "$@" 2>&1); then
    echo "ok   $what"
  else
    echo "FAIL $what"
    sed 's/^/     /' <<<"$out" | tail -40
    failures=$((failures + 1))
  fi
}
# A test program of the build tree against the installed lumeridge.
suite_of() {  # suite_of WHAT PROGRAM [FILTER]
  local what=$1 program=$build/$2 filter=${3:-*} out
  if out=$(root_run "$chroot" LUMERIDGE_UNDER_TEST=/usr/bin/lumeridge timeout 600 "$program" \
      --gtest_filter="$filter" 2>&1); then
    # A host the release does not have is skipped (xfce4-screensaver on 12,
    # mate-screensaver on 13): said, so that a pass is not read as more.
    local ran skipped
    ran=$(grep -o '[0-9]* tests\? from [0-9]* test suites\? ran' <<<"$out")
    skipped=$(grep -oE '^\[  SKIPPED \] [0-9]+ tests?,' <<<"$out" | grep -oE '[0-9]+')
    echo "ok   $what ($ran${skipped:+, $skipped of them skipped})"
  else
    echo "FAIL $what"
    grep -E -A12 '^\[ RUN|Failure' <<<"$out" | grep -v '^\[       OK' | tail -80 | sed 's/^/     /'
    failures=$((failures + 1))
  fi
  # The start-to-picture and stop times; not the suites' other figures.
  grep -E '^\[ figure \].*(picture|gone)' <<<"$out" | sed "s/^/     $suite: /"
}

# The README's and the manual's commands as typed.
check "lumeridge --help on PATH" sh -c 'lumeridge --help | grep -q -- "--add-to-xscreensaver"'
check "lumeridge --add-to-xscreensaver" sh -c 'export HOME=$(mktemp -d) && lumeridge --add-to-xscreensaver >/dev/null &&
  grep -q "\"Lumeridge\" lumeridge --root" "$HOME/.xscreensaver"'
check "the desktop file names the installed program" \
  grep -qx 'Exec=/usr/libexec/xscreensaver/lumeridge --root' /usr/share/applications/screensavers/lumeridge.desktop
suite_of "lumeridge /s --photos DIR, lumeridge --root --photos DIR" tests/e2e/background_e2e_tests 'Backgrounds.Photos*'

suite_of "XScreenSaver" tests/hosts/xscreensaver_e2e_tests
suite_of "mate-screensaver and xfce4-screensaver" tests/hosts/session_hosts_e2e_tests
suite_of "host mode, also in a Wayland session's environment" tests/e2e/host_e2e_tests
if [[ $suite == trixie ]]; then
  # GLFW 3.4: the whole shell, and a Wayland session's environment.
  suite_of "/s and the other modes, two monitors" tests/e2e/shell_e2e_tests
fi

echo "release_hosts: $suite: $failures failed, $((SECONDS - t0)) s"
exit $((failures > 0))
