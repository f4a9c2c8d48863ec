#!/usr/bin/env bash
# Runs the wizard on the offscreen platform through every page of the bundled
# tunnel job and of a road job, clicking its buttons as a user would, and saves
# a PNG of each page into docs/screenshots/ (the README shows them).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then bash scripts/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target vialto-screenshots >/dev/null
QT_QPA_PLATFORM=offscreen build/bin/vialto-screenshots docs/screenshots
