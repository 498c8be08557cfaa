# A fresh root of a Debian release, made by mmdebstrap from the archive this
# machine's apt uses, with /proc, /sys, /dev and /dev/pts mounted so that
# builds, X servers and X clients run inside it. Sourced by scripts/package
# (the Debian 13 package) and tests/hosts/release_hosts.sh (the packages
# installed and run under the real hosts). Needs root.
#
#   root_namespace "$0" "$@"           first: the script again, in a mount namespace of its own
#   root_create DIR SUITE PACKAGE...   DIR made afresh, mounted, package lists kept
#   root_bind DIR PATH                 PATH of this machine, read-only at PATH inside
#   root_run DIR COMMAND...            COMMAND inside, in a clean environment
#   root_remove DIR                    everything under DIR unmounted, then DIR removed
#
# A caller removes its root on every way out: trap 'root_remove "$dir"' EXIT.

# The longest a root may take to make: 2-3 minutes where the archive answers.
root_create_bound=600

# The roots' mounts live in a mount namespace of the script's own: they never
# show in the machine's mount table nor propagate to it (where / is a shared
# mount, as under systemd, a bind of /dev would pass on every mount made
# below it), and they go with the script however it ends.
root_namespace() {  # root_namespace SCRIPT ARG...
  [[ -n "${LUMERIDGE_ROOT_NAMESPACE:-}" ]] && return 0
  export LUMERIDGE_ROOT_NAMESPACE=1
  exec unshare --mount --propagation private "$@"
}

# The archive of this machine's own Debian sources (deb822 or one-line form;
# not the security archive): the same archive serves every release.
debian_mirror() {
  local url
  url=$(awk '/^URIs:/ {uris = $2} /^Suites:/ {suites = $0}
    /^$/ {if (uris != "" && suites !~ /security/) {print uris; exit}; uris = ""; suites = ""}
    END {if (uris != "" && suites !~ /security/) print uris}' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
    head -1)
  [[ -n "$url" ]] || url=$(awk '$1 == "deb" && $0 !~ /security/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
  [[ -n "$url" ]] || { echo "debian-root: no Debian archive in /etc/apt/sources.list*" >&2; return 1; }
  echo "$url"
}

# The mount points under DIR, deepest first.
root_mounts() {
  local dir
  dir=$(realpath -m "$1")
  awk -v d="$dir" '$5 == d || index($5, d "/") == 1 {print $5}' /proc/self/mountinfo | sort -r
}

root_create() {  # root_create DIR SUITE PACKAGE...
  local dir=$1 suite=$2 mirror log
  shift 2
  root_remove "$dir" || return 1
  mkdir -p "$(dirname "$dir")"
  mirror=$(debian_mirror) || return 1
  log=$(mktemp)
  # The package lists stay: the caller installs more with apt.
  # A root made for one run needs no fsync after every file dpkg writes.
  # In a session of its own, so that root_remove can end it with all it
  # started (apt, dpkg) should the caller end first. An archive that cannot
  # be reached, or one that stalls, ends it within the bound; apt's own
  # retries would otherwise go on for a long time.
  local status=0
  setsid timeout --kill-after=30 "$root_create_bound" mmdebstrap --variant=apt --skip=cleanup/apt/lists \
    --dpkgopt=force-unsafe-io --aptopt='Acquire::Retries "3"' --aptopt='Acquire::http::Timeout "60"' \
    --include="$(IFS=,; echo "$*")" "$suite" "$dir" "$mirror" >"$log" 2>&1 &
  root_builder=$!
  wait "$root_builder" || status=$?
  root_builder=
  if ((status != 0)); then
    tail -20 "$log" >&2; rm -f "$log"
    if ((status == 124 || status == 137)); then
      echo "debian-root: mmdebstrap $suite from $mirror did not finish within $root_create_bound s" >&2
    else
      echo "debian-root: mmdebstrap $suite from $mirror failed" >&2
    fi
    return 1
  fi
  rm -f "$log"
  mount -t proc proc "$dir/proc" &&
    mount -t sysfs sysfs "$dir/sys" &&
    mount --bind /dev "$dir/dev" &&
    mount --bind /dev/pts "$dir/dev/pts" &&
    mount -t tmpfs tmpfs "$dir/dev/shm"
}

root_bind() {  # root_bind DIR PATH
  local inside="$1$2"
  mkdir -p "$inside" && mount --bind "$2" "$inside" && mount -o remount,bind,ro "$inside"
}

root_run() {  # root_run DIR COMMAND...
  local dir=$1
  shift
  chroot "$dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive "$@"
}

root_remove() {  # root_remove DIR
  local dir=$1 point
  if [[ -n "${root_builder:-}" ]]; then
    kill -TERM -- "-$root_builder" 2>/dev/null
    wait "$root_builder" 2>/dev/null
    root_builder=
  fi
  [[ -e "$dir" ]] || return 0
  # Whatever still runs inside (an X server of a failed test) was started
  # here, in this root, and holds its mounts.
  local real pid
  real=$(realpath "$dir")
  for pid in /proc/[0-9]*; do
    [[ "$(readlink "$pid/root" 2>/dev/null)" == "$real" ]] && kill -KILL "${pid#/proc/}" 2>/dev/null
  done
  for point in $(root_mounts "$dir"); do
    umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null
  done
  if [[ -n "$(root_mounts "$dir")" ]]; then
    echo "debian-root: $dir is still mounted; not removed" >&2
    return 1
  fi
  # Never across into another file system, should a mount have appeared.
  rm -rf --one-file-system "$dir"
}
