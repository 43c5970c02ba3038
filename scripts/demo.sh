#!/usr/bin/env bash
# Installs what is missing (Debian), builds the release preset and runs the
# demo: a report on stdout and demo.svg in the current folder (or --out DIR).
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
repo=$(pwd)
scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset release
cmake --build --preset release -j "$jobs" --target g3tool
cd "$here"
exec "$repo/build/release/tools/g3tool/g3tool" demo "$@"
