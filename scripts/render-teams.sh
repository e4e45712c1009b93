#!/usr/bin/env bash
# Renders the registered teams dialog with the sample list into docs/teams.png, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-render-teams -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/velmorin-render-teams" docs/teams.png
echo "docs/teams.png written"
