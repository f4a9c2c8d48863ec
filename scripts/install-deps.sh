#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test, fuzz and
# run. Safe to run again: packages already present are left alone, and the
# package lists are refreshed only when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build make
    libgtest-dev libgmock-dev libbenchmark-dev
    libpugixml-dev
    qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
    libxml2-utils
    clang libclang-rt-14-dev clang-format
    xvfb
    python3 time
    # the Windows build (scripts/test-windows.sh): cross compiler, Wine, the
    # GoogleTest sources, and dpkg-dev to unpack pugixml's source package
    g++-mingw-w64-x86-64-posix wine wine64 googletest dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
