#!/usr/bin/env bash
# Does all set-up, builds the converter and runs the main job: the bundled
# tunnel job (the configured job type) converted into a LandXML document.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then bash scripts/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target vialto-convert vialto-converter >/dev/null
out=$(mktemp -d)/tunnel.xml
build/bin/vialto-convert --job-file samples/jobs/tunnel.job -o "$out"
echo
echo "The document's first lines:"
head -n 12 "$out"
echo "... ($(wc -l < "$out") lines, $(wc -c < "$out") bytes in $out)"
