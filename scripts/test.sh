#!/usr/bin/env bash
# Does all set-up and runs every test: the source format check, the unit and
# end-to-end tests in a normal build, the Windows build of the same tests under
# Wine with every sample job compared with the Linux document, the tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target
# for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${VIALTO_FUZZ_SECONDS:-5}
# Each stage says how long it took, so a slow CI run shows where its time went.
stage() {
    [ -n "${stage_name:-}" ] && echo "-- ${stage_name}: $((SECONDS - stage_began)) s"
    stage_name=$1
    stage_began=$SECONDS
    echo "== $1"
}

if [ "$(id -u)" -eq 0 ]; then bash scripts/install-deps.sh; fi

stage "format (clang-format -i with the repository's .clang-format mends it)"
find src tests apps bench fuzz \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run -Werror

stage "build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
stage "tests"
ctest --test-dir build -j "$jobs" --output-on-failure -LE gui
stage "window tests (wizard and editors) on the offscreen platform, no display needed"
QT_QPA_PLATFORM=offscreen ctest --test-dir build -j "$jobs" --output-on-failure -L gui

stage "Windows build, tests under Wine"
bash scripts/test-windows.sh

stage "tests under address and undefined-behaviour sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Asan -DVIALTO_BUILD_BENCH=OFF \
      -DVIALTO_WITH_QT=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan -j "$jobs" --output-on-failure

if command -v clang++ >/dev/null 2>&1 && ls fuzz/*.cpp >/dev/null 2>&1; then
    stage "fuzz targets, ${fuzz_seconds} s each"
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_CXX_COMPILER=clang++ -DVIALTO_FUZZ=ON -DVIALTO_BUILD_TESTS=OFF \
          -DVIALTO_BUILD_BENCH=OFF -DVIALTO_WITH_QT=OFF \
          -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
    cmake --build build-fuzz -j "$jobs"
    for src in fuzz/*.cpp; do
        name=$(basename "$src" .cpp)
        corpus=$(mktemp -d)
        seeds="fuzz/corpus/$name"
        [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
        echo "-- $name"
        build-fuzz/bin/"$name" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
            -max_len=65536 "$corpus" 2>&1 | tail -n 2
        rm -rf "$corpus"
    done
fi
stage "done"
echo "== all tests passed in ${SECONDS} s"
