#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full build with
# warnings as errors, then the engine again under the address and undefined-behaviour sanitizers,
# then a short round of fuzzing of every file reader (scripts/fuzz.sh), then the Windows build
# (engine, korvane-cli and their tests, cross-compiled with MinGW-w64) under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

if scripts/install-deps.sh --fuzz; then
    scripts/fuzz.sh
else
    echo "Fuzzing skipped: clang or its libFuzzer runtime (libclang-rt-14-dev) could not be" \
         "installed (scripts/install-deps.sh --fuzz)" >&2
fi

if scripts/install-deps.sh --windows; then
    cmake --preset mingw
    cmake --build --preset mingw
    # The Wine desktop (an Xvfb and a Wine server) starts with the first test and ends here.
    trap 'scripts/wine-desktop.sh --stop' EXIT
    ctest --preset mingw
else
    echo "Windows tests skipped: MinGW-w64, Wine, Xvfb or xmodmap could not be installed" \
         "(scripts/install-deps.sh --windows)" >&2
fi
