#!/bin/sh
# Fetches the original source tarball of Debian's glfw3 package into DEST-DIR.
#
#   scripts/fetch-glfw-source.sh DEST-DIR
#
# Debian has no MinGW build of GLFW, so the Windows build compiles GLFW
# itself from the same release that Debian ships. The source package comes
# from the archive(s) this machine already uses: a private sources list with
# deb-src lines for the same URIs, suites and components as the machine's own
# "deb" sources (one-line *.list files and deb822 *.sources files), and
# private state and cache directories under DEST-DIR. The system's apt
# configuration and package lists are not touched.
#
# Prints the path of the downloaded *.orig.tar.* on its last line.
set -eu

dest=${1:?usage: fetch-glfw-source.sh DEST-DIR}
package=glfw3

mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
work=$dest/apt
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
sources=$work/sources.list
: > "$sources"

# One-line format: "deb [options] URI SUITE COMPONENT...".
add_list_file() {
    sed -e 's/#.*//' "$1" | while read -r type rest; do
        [ "$type" = deb ] || continue
        echo "deb-src $rest" >> "$sources"
    done
}

# deb822 format: stanzas separated by blank lines.
add_sources_file() {
    awk -v out="$sources" '
        function flush() {
            if (types ~ /(^| )deb( |$)/ && uris != "" && suites != "" && enabled != "no") {
                n = split(uris, u, " "); m = split(suites, s, " ")
                opts = (signed != "") ? "[signed-by=" signed "] " : ""
                for (i = 1; i <= n; i++)
                    for (j = 1; j <= m; j++)
                        print "deb-src " opts u[i] " " s[j] " " components >> out
            }
            types = uris = suites = components = signed = enabled = ""
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        {
            key = tolower($1); sub(/:$/, "", key)
            value = $0; sub(/^[^:]*:[ \t]*/, "", value)
            if (key == "types") types = value
            else if (key == "uris") uris = value
            else if (key == "suites") suites = value
            else if (key == "components") components = value
            else if (key == "signed-by") signed = value
            else if (key == "enabled") enabled = tolower(value)
        }
        END { flush() }
    ' "$1"
}

[ -f /etc/apt/sources.list ] && add_list_file /etc/apt/sources.list
for f in /etc/apt/sources.list.d/*.list; do [ -f "$f" ] && add_list_file "$f"; done
for f in /etc/apt/sources.list.d/*.sources; do [ -f "$f" ] && add_sources_file "$f"; done

if [ ! -s "$sources" ]; then
    echo "fetch-glfw-source: no apt sources found on this machine" >&2
    exit 1
fi

apt_private() {
    apt-get -q \
        -o Dir::Etc::SourceList="$sources" \
        -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$work/lists" \
        -o Dir::Cache="$work/cache" \
        -o APT::Sandbox::User=root \
        "$@"
}

# A source that has no deb-src index (for example a security suite without
# this package) only warns; the download below is what must succeed.
apt_private update >"$work/update.log" 2>&1 || true
(cd "$dest" && apt_private source --download-only "$package") >"$work/source.log" 2>&1 || {
    cat "$work/update.log" "$work/source.log" >&2
    exit 1
}

tarball=$(ls "$dest"/${package}_*.orig.tar.* 2>/dev/null | head -n 1)
if [ -z "$tarball" ]; then
    echo "fetch-glfw-source: no original tarball of $package was downloaded" >&2
    exit 1
fi
echo "$tarball"
