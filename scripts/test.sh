#!/usr/bin/env bash
# Installs what is missing (Debian), then configures, builds and runs the whole
# test suite. Usage: scripts/test.sh [preset]   (default preset: dev)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset "$preset" -DG3GEOM_WERROR=ON
cmake --build --preset "$preset" -j "$jobs"
ctest --preset "$preset" -j "$jobs"
