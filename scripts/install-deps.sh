#!/usr/bin/env bash
# Installs the Debian packages that building and testing Korvane needs, when any is missing.
#
#   scripts/install-deps.sh            the Linux build: compiler, Qt 6, GoogleTest, ...
#   scripts/install-deps.sh --windows  the Windows build under Wine: MinGW-w64, Wine, Xvfb,
#                                      xmodmap and the GoogleTest sources; fails (status 1)
#                                      when they cannot be installed
#   scripts/install-deps.sh --fuzz     clang and its runtime with libFuzzer, for scripts/fuzz.sh;
#                                      fails (status 1) when they cannot be installed
set -euo pipefail

if [ "${1:-}" = "--windows" ]; then
    packages=(g++-mingw-w64-x86-64 wine wine64 xvfb x11-xserver-utils googletest
              nlohmann-json3-dev)
elif [ "${1:-}" = "--fuzz" ]; then
    packages=(clang libclang-rt-14-dev)
else
    packages=(cmake ninja-build g++ pkg-config python3 qt6-base-dev libgl-dev
              libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
