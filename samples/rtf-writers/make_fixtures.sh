#!/usr/bin/env bash
# Regenerates the RTF writer fixtures of this folder: the tables of our own
# sample reports (horizontal, vertical and cross-section), laid out as people
# lay them out in word processors (see make_sources.py), saved as RTF by
# widely used writers:
#   pandoc     pandoc 2.17 from the HTML source
#   lo-html    LibreOffice 7.4 headless from the HTML source
#   lo-docx    LibreOffice 7.4 headless from the DOCX source
#   lo-odt     LibreOffice 7.4 headless from the ODT source
#   abiword    AbiWord 3.0 from the ODT source (its HTML import does not end)
# The long cross-section listing comes from pandoc alone.
# The fixtures are named <writer>_<reader>_<layout>.rtf. Run by hand from the
# repository root when pandoc, LibreOffice and AbiWord are installed; the
# outputs are committed, and neither this script nor the writers are part of
# the build or of CI.
set -euo pipefail
cd "$(dirname "$0")"
out=fixtures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 make_sources.py "$work/src"
rm -rf "$out"
mkdir -p "$out"

# LibreOffice keeps its profile in the work folder, away from any user's; one
# run converts every source of a kind.
lo() {
    local kind=$1 filter=$2
    mkdir -p "$work/lo-$kind"
    soffice -env:UserInstallation=file://"$work/profile" --headless ${filter:+--infilter="$filter"} \
        --convert-to rtf --outdir "$work/lo-$kind" "${sources[@]/%/.$kind}" >/dev/null 2>&1
    for name in "${names[@]}"; do
        mv "$work/lo-$kind/$name.rtf" "$out/lo-${kind}_$name.rtf"
    done
}

# The long cross-section listing (all 271 stations) is written by the writer
# that writes it most compactly only: the others add nothing but megabytes.
names=()
sources=()
for source in "$work"/src/*.html; do
    name=$(basename "$source" .html)
    pandoc -s -f html -t rtf "$source" -o "$out/pandoc_$name.rtf"
    [ "$name" = cr_long ] && continue
    names+=("$name")
    sources+=("$work/src/$name")
done
lo html "HTML (StarWriter)"
lo docx ""
lo odt ""
for name in "${names[@]}"; do
    (cd "$work" && timeout 120 abiword --to=rtf -o "$work/abi.rtf" "$work/src/$name.odt")
    mv "$work/abi.rtf" "$out/abiword_$name.rtf"
done
ls "$out" | wc -l
