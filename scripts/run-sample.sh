#!/usr/bin/env bash
# Does all set-up, builds the converter and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then bash scripts/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
out=$(mktemp -d)
set +e
build/bin/vialto-converter -reg -o "\"$out/registration record.txt\""
code=$?
set -e
echo "vialto-converter -reg exited with $code and wrote $out/registration record.txt:"
cat "$out/registration record.txt"
