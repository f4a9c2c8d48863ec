#!/usr/bin/env bash
# Unpacks Debian's source package of the pugixml version installed here (the
# one the Linux build links) into the folder given and prints the source
# tree's path; the Windows cross build compiles it in. Does nothing but print
# the path when the tree is already there. apt needs a deb-src entry for this:
# when none is configured, one is added in a file of its own,
# /etc/apt/sources.list.d/vialto-deb-src.sources, built from the configured
# deb entries (that, and refreshing the package lists, needs root).
set -euo pipefail
dest=${1:?usage: fetch-pugixml-source.sh FOLDER}

version=$(dpkg-query -W -f='${source:Version}' libpugixml-dev)
upstream=${version#*:}
upstream=${upstream%-*}
tree="$dest/pugixml-$upstream"
if [ -f "$tree/src/pugixml.cpp" ]; then
    echo "$tree"
    exit 0
fi

sources_file=/etc/apt/sources.list.d/vialto-deb-src.sources

has_deb_src() {
    grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/
}

# The configured deb entries, as deb-src entries in the deb822 form.
deb_src_entries() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && [ "$f" != "$sources_file" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        # One-line entries "deb [options] URI suite components...".
        sed -nE 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+([^[:space:]]+)[[:space:]]+(.*)$/Types: deb-src\nURIs: \2\nSuites: \3\nComponents: \4\n/p' "$f"
    done
}

if ! apt-cache showsrc pugixml 2>/dev/null | grep -qx "Version: $version"; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "fetch-pugixml-source: apt knows no source of pugixml $version; run as root" \
             "(it adds a deb-src entry and refreshes the package lists)" >&2
        exit 1
    fi
    if ! has_deb_src; then
        entries=$(deb_src_entries)
        if [ -z "$entries" ]; then
            entries=$'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        fi
        printf '# Source packages, for the Windows build (scripts/fetch-pugixml-source.sh).\n%s\n' \
            "$entries" > "$sources_file"
    fi
    apt-get update -qq
fi

mkdir -p "$dest"
# apt-get source downloads into the current folder and unpacks with dpkg-source.
(cd "$dest" && apt-get source -qq "pugixml=$version" >/dev/null 2>&1) || {
    echo "fetch-pugixml-source: apt-get source pugixml=$version failed" >&2
    exit 1
}
[ -f "$tree/src/pugixml.cpp" ] || { echo "fetch-pugixml-source: no $tree/src/pugixml.cpp" >&2; exit 1; }
echo "$tree"
