#!/usr/bin/env bash
# Builds the engine, vialto-convert and every non-GUI test as 64-bit Windows
# programs with MinGW-w64, runs the tests under Wine through CTest, and
# converts every sample job with the Windows vialto-convert.exe, requiring the
# very bytes that the Linux vialto-convert writes. Input and output names
# beyond the ANSI code page ("Año 2026/Túnel ñ.plt", "Łódź Ω.plt") go through
# both programs too.
#
# Folders: build-windows/ (the cross build, pugixml's source and the Wine
# prefix), build/ (the Linux vialto-convert, built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
out=build-windows
linux=build

if [ "$(id -u)" -eq 0 ]; then bash scripts/install-deps.sh; fi

started=$SECONDS
stage_start=$SECONDS
stage() {
    echo "== $1"
    stage_start=$SECONDS
}
stage_time() { echo "-- $1: $((SECONDS - stage_start)) s"; }

# Wine: a prefix of our own, quiet, and never offering to install Mono or
# Gecko. File names are passed in UTF-8, so the locale must be a UTF-8 one.
export WINEPREFIX=${VIALTO_WINEPREFIX:-$root/$out/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

stage "Wine prefix"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    WINEARCH=win64 wineboot --init >/dev/null 2>&1 || true
    wineserver --wait
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "test-windows: Wine could not set up $WINEPREFIX" >&2; exit 1; }
stage_time "Wine prefix ready"

stage "cross build"
pugixml=$(bash scripts/fetch-pugixml-source.sh "$out/deps")
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${launcher[@]}" \
      -DVIALTO_PUGIXML_SOURCE_DIR="$root/$pugixml" \
      -DVIALTO_GOOGLETEST_SOURCE_DIR=/usr/src/googletest \
      -DVIALTO_WITH_QT=OFF -DVIALTO_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" -j "$jobs"
stage_time "cross build"

stage "tests under Wine"
ctest --test-dir "$out" -j "$jobs" --output-on-failure
stage_time "tests under Wine"

stage "sample jobs: Windows documents against the Linux ones"
if [ ! -x "$linux/bin/vialto-convert" ]; then
    cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$linux" -j "$jobs" --target vialto-convert >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux" "$work/windows"
failed=0
compare() { # name, then the arguments both programs get
    local name=$1
    shift
    "$linux/bin/vialto-convert" "$@" -o "$work/linux/$name.xml" >"$work/linux/$name.log" 2>&1 || {
        echo "FAIL $name: the Linux program failed"; cat "$work/linux/$name.log"; failed=1; return; }
    wine "$out/bin/vialto-convert.exe" "$@" -o "$work/windows/$name.xml" \
        >"$work/windows/$name.log" 2>&1 || {
        echo "FAIL $name: the Windows program failed"; cat "$work/windows/$name.log"; failed=1; return; }
    if cmp -s "$work/linux/$name.xml" "$work/windows/$name.xml"; then
        echo "ok   $name ($(wc -c <"$work/linux/$name.xml") bytes)"
    else
        echo "FAIL $name: the documents differ"
        cmp "$work/linux/$name.xml" "$work/windows/$name.xml" || true
        failed=1
    fi
}
for job in samples/jobs/*.job; do
    compare "$(basename "$job" .job)" --job-file "$job"
done

# Names beyond the ANSI code page, in a folder named with one, read and written
# by both programs. Windows paths use "\" for the folders, Linux ones "/".
names="$work/Año 2026"
mkdir -p "$names"
cp samples/listings/road.plt "$names/Túnel ñ.plt"
cp samples/listings/road.alz "$names/Łódź Ω.alz"
cp samples/tunnel/profiles.xml "$names/Perfiles ñ.xml"
for platform in linux windows; do
    if [ $platform = linux ]; then
        program=("$linux/bin/vialto-convert") dir="$names" sep=/
    else
        program=(wine "$out/bin/vialto-convert.exe") dir="Z:${names//\//\\}" sep='\'
    fi
    "${program[@]}" --job tunnel --hz "$dir${sep}Túnel ñ.plt" --vt "$dir${sep}Łódź Ω.alz" \
        --tunnel "$dir${sep}Perfiles ñ.xml" -o "$dir${sep}Salida ñ $platform.xml" \
        >"$work/$platform-names.log" 2>&1 || {
        echo "FAIL names on $platform"; cat "$work/$platform-names.log"; failed=1; }
done
if cmp -s "$names/Salida ñ linux.xml" "$names/Salida ñ windows.xml" &&
    grep -q 'Salida ñ windows.xml' "$work/windows-names.log"; then
    echo "ok   names beyond the ANSI code page"
else
    echo "FAIL names beyond the ANSI code page: the documents or the printed names differ"
    failed=1
fi
# On a console the names show as themselves, not as their bytes read in the
# console's code page ("Salida Ã±"); script(1) gives the program a terminal.
shown=$(cd "$names" && script -qec "wine '$root/$out/bin/vialto-convert.exe' --job tunnel \
    --hz 'Túnel ñ.plt' --vt 'Łódź Ω.alz' --tunnel 'Perfiles ñ.xml' -o 'Salida ñ console.xml'" \
    /dev/null | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g')
if grep -q 'Wrote Salida ñ console.xml' <<<"$shown"; then
    echo "ok   names shown on a console"
else
    echo "FAIL names shown on a console:"
    echo "$shown" | tail -n 3
    failed=1
fi
stage_time "sample jobs"
[ $failed -eq 0 ] || exit 1

echo "== Windows build passed in $((SECONDS - started)) s"
