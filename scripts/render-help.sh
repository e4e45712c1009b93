#!/usr/bin/env bash
# Renders the guide (F1) at its first section into docs/help.png, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-render-help -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/velmorin-render-help" docs/help.png
echo "docs/help.png written"
