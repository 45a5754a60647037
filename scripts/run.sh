#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it. Extra arguments go to korvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev --target korvane
exec build/dev/src/app/korvane "$@"
