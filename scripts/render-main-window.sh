#!/usr/bin/env bash
# Renders the main window after the typical use into docs/main-window.png, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-render-window -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/velmorin-render-window" docs/main-window.png
echo "docs/main-window.png written"
