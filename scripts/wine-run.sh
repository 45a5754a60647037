#!/usr/bin/env bash
# Runs a Windows program under Wine on the project's Wine desktop (scripts/wine-desktop.sh),
# with its exit status. The MinGW build's tests and build steps run programs through this.
set -euo pipefail
desktop="$("$(dirname "$0")/wine-desktop.sh")"
eval "$desktop"
exec wine "$@"
