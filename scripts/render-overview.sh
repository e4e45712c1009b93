#!/usr/bin/env bash
# Renders the round-1 overview dialog for the window's defaults into docs/overview.png, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-render-overview -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/velmorin-render-overview" docs/overview.png
echo "docs/overview.png written"
