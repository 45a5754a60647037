#!/usr/bin/env bash
# Line and branch coverage of src/ by the whole test suite (GUI tests included), with gcovr.
#   scripts/coverage.sh [SOURCE_DIR [BUILD_DIR]]
# SOURCE_DIR defaults to this checkout; BUILD_DIR to SOURCE_DIR/build/coverage. Prints gcovr's
# summary; the full per-file table is left in BUILD_DIR/coverage.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
src="$(cd "${1:-$here}" && pwd)"
build="${2:-$src/build/coverage}"
command -v gcovr >/dev/null || { echo "gcovr is missing (apt-get install gcovr)" >&2; exit 1; }
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DKORVANE_GUI=ON -DKORVANE_TESTS=ON -DKORVANE_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="--coverage" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
      -DCMAKE_SHARED_LINKER_FLAGS="--coverage" >/dev/null
cmake --build "$build"
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" --output-on-failure || true
gcovr -r "$src" --object-directory "$build" --filter "$src/src/" \
      --exclude-unreachable-branches --exclude-throw-branches -j 2 \
      --txt "$build/coverage.txt" --print-summary
