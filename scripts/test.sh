#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full build with
# warnings as errors, then the engine again under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan
