#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it: off Windows on the simulated desktop,
# with the demo mission loaded in the simulated DromEd. Extra arguments go to korvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev --target korvane korvane_demo_mission
exec build/dev/src/app/korvane "$@"
